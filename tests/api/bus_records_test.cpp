// libtedskit's bus and record-file exports on copies of the bundled simulated bus: the
// chip chosen by ROM ID or channel, several and none named in the failure, writes
// refused before a byte goes out, dry runs, and record files saved and loaded.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scratch_dir.h"
#include "tedskit/tedskit.h"

namespace {

namespace fs = std::filesystem;

const char* const kTemplates = TEDSKIT_SOURCE_DIR "/data";
constexpr const char* kSensorRom = "2DE1A5E10D0000FE";
constexpr const char* kSecondRom = "2D420000000000CC";
constexpr const char* kSwitchRom = "12AA000000000012";
constexpr const char* kBlankRom = "2D770000000000CA";

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string sensor() { return slurp(fs::path(TEDSKIT_SOURCE_DIR) / "examples" / "sensor.bus"); }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

std::string behindChannel(const std::string& device, int channel) {
  return replaced(device, "  serial", "  channel " + std::to_string(channel) + "\n  serial");
}

std::string secondSensor() { return replaced(sensor(), "serial 00000DE1A5E1", "serial 000000000042"); }

// The switch, the sensor behind channel 2 and a blank DS2431 behind 3.
std::string triaxial() {
  return "device DS2406\n  serial 0000000000AA\nend\n" + behindChannel(sensor(), 2) +
         behindChannel("device DS2431\n  serial 000000000077\nend\n", 3);
}

struct Bus {
  tedskittest::ScratchDir dir{"tedskit-bus"};
  fs::path file;
  tedskit_bus* bus = nullptr;
  explicit Bus(const std::string& content) : file(dir.file("test.bus")) {
    std::ofstream(file, std::ios::binary) << content;
    EXPECT_EQ(tedskit_bus_open(file.c_str(), &bus), TEDSKIT_OK) << tedskit_last_error();
  }
  ~Bus() { tedskit_bus_free(bus); }
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;

  // The result of reading, with the handle freed; the message in error.
  int32_t read(const char* device, int32_t channel, std::string* error = nullptr, int32_t* templateId = nullptr) {
    tedskit_teds* teds = nullptr;
    const int32_t result = tedskit_bus_read(bus, kTemplates, device, channel, 0, &teds);
    if (error != nullptr) *error = tedskit_last_error();
    if (teds != nullptr && templateId != nullptr) tedskit_teds_template(teds, nullptr, templateId, nullptr, nullptr);
    tedskit_teds_free(teds);
    return result;
  }
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(BusApi, ScanShowsTheSwitchAndItsChannels) {
  Bus t(triaxial());
  int32_t count = 0;
  ASSERT_EQ(tedskit_bus_scan(t.bus, &count), TEDSKIT_OK) << tedskit_last_error();
  ASSERT_EQ(count, 3);
  struct Expected {
    const char* rom;
    int32_t family;
    const char* model;
    int32_t channel, holdsTeds;
  } expected[] = {{kSwitchRom, 0x12, "DS2406 switch", 0, 0},
                  {kSensorRom, 0x2D, "DS2431", 2, 1},
                  {kBlankRom, 0x2D, "DS2431", 3, 1}};
  for (int32_t i = 0; i < count; ++i) {
    const char *rom = nullptr, *model = nullptr;
    int32_t family = 0, channel = -1, holds = -1;
    ASSERT_EQ(tedskit_bus_chip(t.bus, i, &rom, &family, &model, &channel, &holds), TEDSKIT_OK);
    EXPECT_STREQ(rom, expected[i].rom);
    EXPECT_EQ(family, expected[i].family);
    EXPECT_STREQ(model, expected[i].model);
    EXPECT_EQ(channel, expected[i].channel);
    EXPECT_EQ(holds, expected[i].holdsTeds);
  }
  EXPECT_EQ(tedskit_bus_chip(t.bus, 3, nullptr, nullptr, nullptr, nullptr, nullptr), TEDSKIT_ERR_ARGUMENT);
}

TEST(BusApi, ReadChoosesTheChipOrSaysWhichThereAre) {
  Bus t(triaxial());
  const std::string before = slurp(t.file);
  struct Case {
    const char* device;
    int32_t channel;
    int32_t result;
    std::string message;
  } cases[] = {
      {nullptr, 0, TEDSKIT_ERR_NO_CHIP,
       std::string("connects channel 2: DS2431 ") + kSensorRom + ", 3: DS2431 " + kBlankRom +
           "; choose one with channel N"},
      {nullptr, 2, TEDSKIT_OK, ""},
      {kSensorRom, 0, TEDSKIT_OK, ""},
      {"2de1a5e10d0000fe", 2, TEDSKIT_OK, ""},
      {kSensorRom, 3, TEDSKIT_ERR_NO_CHIP, "is not behind channel 3"},
      {kBlankRom, 0, TEDSKIT_ERR_NO_CHIP, "is blank (every byte FFh): it holds no TEDS"},
      {kSwitchRom, 0, TEDSKIT_ERR_NO_CHIP, "holds no TEDS"},
      {kSecondRom, 0, TEDSKIT_ERR_NO_CHIP, std::string("no chip ") + kSecondRom},
      {"2DE1A5E1", 0, TEDSKIT_ERR_ARGUMENT, "device takes a ROM ID"},
      {"2DE1A5E10D0000FF", 0, TEDSKIT_ERR_ARGUMENT, "the CRC of 2DE1A5E10D0000FF does not check"},
      {nullptr, 4, TEDSKIT_ERR_ARGUMENT, "channel takes 1, 2 or 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.device != nullptr ? c.device : "any") + " channel " + std::to_string(c.channel));
    std::string error;
    int32_t templateId = -1;
    EXPECT_EQ(t.read(c.device, c.channel, &error, &templateId), c.result) << error;
    EXPECT_TRUE(has(error, c.message)) << error;
    if (c.result == TEDSKIT_OK) {
      EXPECT_EQ(templateId, 25);
    }
  }
  EXPECT_EQ(slurp(t.file), before);
}

TEST(BusApi, SeveralChipsAreNamedUntilOneIsChosen) {
  Bus t(sensor() + secondSensor());
  std::string error;
  EXPECT_EQ(t.read(nullptr, 0, &error), TEDSKIT_ERR_SEVERAL_CHIPS);
  EXPECT_TRUE(has(error, std::string("2 TEDS chips on the bus")) && has(error, kSensorRom) && has(error, kSecondRom))
      << error;
  EXPECT_EQ(t.read(kSecondRom, 0, &error), TEDSKIT_OK) << error;
}

TEST(BusApi, BadBusNamesFailOnOpen) {
  for (const char* name : {"nope:where", "/no/such/dir/test.bus"}) {
    tedskit_bus* bus = nullptr;
    EXPECT_EQ(tedskit_bus_open(name, &bus), TEDSKIT_ERR_BUS) << name;
    EXPECT_EQ(bus, nullptr);
    EXPECT_TRUE(has(tedskit_last_error(), name)) << tedskit_last_error();
  }
}

struct Teds {
  tedskit_teds* teds = nullptr;
  Teds(tedskit_bus* bus, const char* device = nullptr) {
    EXPECT_EQ(tedskit_bus_read(bus, kTemplates, device, 0, 0, &teds), TEDSKIT_OK) << tedskit_last_error();
  }
  explicit Teds(const std::string& text) {
    EXPECT_EQ(tedskit_teds_open(kTemplates, text.data(), text.size(), TEDSKIT_INPUT_AUTO, 0, &teds), TEDSKIT_OK)
        << tedskit_last_error();
  }
  ~Teds() { tedskit_teds_free(teds); }
  Teds(const Teds&) = delete;
  Teds& operator=(const Teds&) = delete;
  std::string display(const char* label) const {
    int32_t index = -1;
    const char* text = "";
    EXPECT_EQ(tedskit_teds_field_index(teds, label, &index), TEDSKIT_OK) << label;
    tedskit_field_display(teds, index, &text);
    return text;
  }
};

struct Written {
  tedskit_bus_written* written = nullptr;
  ~Written() { tedskit_bus_written_free(written); }
  std::vector<std::vector<std::string>> changes() const {
    std::vector<std::vector<std::string>> out;
    int32_t count = 0;
    tedskit_bus_written_change_count(written, &count);
    for (int32_t i = 0; i < count; ++i) {
      const char *label = nullptr, *before = nullptr, *after = nullptr;
      tedskit_bus_written_change(written, i, &label, &before, &after);
      out.push_back({label, before != nullptr ? before : "(none)", after != nullptr ? after : "(none)"});
    }
    return out;
  }
};

TEST(BusApi, ADryRunShowsTheChangesAndAWriteMakesThem) {
  Bus t(sensor());
  Teds teds(t.bus);
  ASSERT_EQ(tedskit_teds_set(teds.teds, "Calibration date", "2026-03-02", nullptr), TEDSKIT_OK);
  const std::string before = slurp(t.file);
  {
    Written dry;
    ASSERT_EQ(tedskit_bus_write(t.bus, kTemplates, teds.teds, nullptr, 0, TEDSKIT_WRITE_DRY_RUN, &dry.written),
              TEDSKIT_OK)
        << tedskit_last_error();
    int32_t done = -1, locks = -1, state = -1;
    const char *summary = nullptr, *text = nullptr;
    ASSERT_EQ(tedskit_bus_written_info(dry.written, &done, &summary, &locks, &state, &text), TEDSKIT_OK);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(locks, 0);
    EXPECT_EQ(state, 0);
    EXPECT_TRUE(has(summary, std::string("template 25 to the DS2431 ") + kSensorRom)) << summary;
    EXPECT_STREQ(text, "Changes:\n  Calibration date: 1/15/2026 -> 3/2/2026\n");
    EXPECT_EQ(dry.changes(), (std::vector<std::vector<std::string>>{{"Calibration date", "1/15/2026", "3/2/2026"}}));
    EXPECT_EQ(slurp(t.file), before);
  }
  Written real;
  ASSERT_EQ(tedskit_bus_write(t.bus, kTemplates, teds.teds, kSensorRom, 0, 0, &real.written), TEDSKIT_OK)
      << tedskit_last_error();
  int32_t done = 0;
  tedskit_bus_written_info(real.written, &done, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(done, 1);
  EXPECT_NE(slurp(t.file), before);
  EXPECT_EQ(Teds(t.bus).display("Calibration date"), "3/2/2026");
}

TEST(BusApi, AWriteThatCannotSucceedLeavesTheChipUntouched) {
  Bus plain(sensor());
  const std::string image = [&] {
    Teds teds(plain.bus);
    char* text = nullptr;
    tedskit_teds_text(teds.teds, &text);
    std::string copy = text;
    tedskit_string_free(text);
    return copy;
  }();
  // A wrong checksum byte: refused unless forced.
  Teds corrupt(replaced(image, "memory: 23", "memory: 24"));
  Bus protectedPage(replaced(sensor(), "memory 0080 00 00 00 00", "memory 0080 55 00 00 00"));
  Teds edited(image);
  ASSERT_EQ(tedskit_teds_set(edited.teds, "Serial no.", "4711", nullptr), TEDSKIT_OK);
  struct Case {
    const char* what;
    Bus& bus;
    tedskit_teds* teds;
    int32_t flags;
    int32_t result;
    std::string message;
  } cases[] = {
      {"checksum", plain, corrupt.teds, 0, TEDSKIT_ERR_REFUSED, "checksum does not match"},
      {"checksum, dry run", plain, corrupt.teds, TEDSKIT_WRITE_DRY_RUN, TEDSKIT_ERR_REFUSED, "nothing written"},
      {"protected page", protectedPage, edited.teds, 0, TEDSKIT_ERR_REFUSED,
       std::string("page 0 of DS2431 ") + kSensorRom + " is write-protected: nothing written"},
      {"unknown flag", plain, edited.teds, 8, TEDSKIT_ERR_ARGUMENT, "unknown write flags"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = slurp(c.bus.file);
    Written written;
    EXPECT_EQ(tedskit_bus_write(c.bus.bus, kTemplates, c.teds, nullptr, 0, c.flags, &written.written), c.result);
    EXPECT_TRUE(has(tedskit_last_error(), c.message)) << tedskit_last_error();
    EXPECT_EQ(written.written, nullptr);
    EXPECT_EQ(slurp(c.bus.file), before);
  }
  Written forced;
  EXPECT_EQ(tedskit_bus_write(plain.bus, kTemplates, corrupt.teds, nullptr, 0, TEDSKIT_WRITE_FORCE, &forced.written),
            TEDSKIT_OK)
      << tedskit_last_error();
}

std::string exampleText(const char* name) { return slurp(fs::path(TEDSKIT_SOURCE_DIR) / "examples" / name); }

int32_t recordCount(const std::string& file, int32_t* skipped = nullptr, std::string* reason = nullptr) {
  tedskit_records* records = nullptr;
  if (tedskit_records_load(file.c_str(), kTemplates, &records) != TEDSKIT_OK) return -1;
  int32_t count = 0, broken = 0;
  tedskit_records_count(records, &count);
  tedskit_records_skipped_count(records, &broken);
  if (skipped != nullptr) *skipped = broken;
  if (reason != nullptr && broken > 0) {
    int64_t line = 0;
    const char* why = "";
    tedskit_records_skipped(records, 0, &line, &why);
    *reason = std::to_string(line) + ": " + why;
  }
  tedskit_records_free(records);
  return count;
}

TEST(RecordsApi, SavedRecordsLoadBackAndAnExistingFileIsKept) {
  tedskittest::ScratchDir dir("tedskit-records");
  const std::string file = dir.file("rig.txt");
  Teds accelerometer(exampleText("accelerometer.hex"));
  Teds microphone(exampleText("microphone.hex"));
  ASSERT_EQ(tedskit_teds_set(accelerometer.teds, "Calibration date", "2026-03-02", nullptr), TEDSKIT_OK);
  const tedskit_teds* both[] = {accelerometer.teds, microphone.teds};
  ASSERT_EQ(tedskit_records_save(file.c_str(), kTemplates, both, 2, 0), TEDSKIT_OK) << tedskit_last_error();
  const std::string saved = slurp(file);

  EXPECT_EQ(tedskit_records_save(file.c_str(), kTemplates, both, 1, 0), TEDSKIT_ERR_FILE);
  EXPECT_TRUE(has(tedskit_last_error(), "the file exists")) << tedskit_last_error();
  EXPECT_EQ(slurp(file), saved);
  const std::string notes = dir.file("notes.txt");
  std::ofstream(notes) << "Some notes about the rig that are not records at all\n";
  EXPECT_EQ(tedskit_records_save(notes.c_str(), kTemplates, both, 1, 1), TEDSKIT_ERR_FILE);
  EXPECT_EQ(slurp(notes), "Some notes about the rig that are not records at all\n");

  ASSERT_EQ(tedskit_records_save(file.c_str(), kTemplates, both + 1, 1, 1), TEDSKIT_OK) << tedskit_last_error();
  tedskit_records* records = nullptr;
  ASSERT_EQ(tedskit_records_load(file.c_str(), kTemplates, &records), TEDSKIT_OK) << tedskit_last_error();
  int32_t count = 0, skipped = -1;
  tedskit_records_count(records, &count);
  tedskit_records_skipped_count(records, &skipped);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(skipped, 0);
  tedskit_teds* first = nullptr;
  int32_t channel = 0, unit = 0;
  ASSERT_EQ(tedskit_records_get(records, 0, &first, &channel, &unit), TEDSKIT_OK);
  int32_t index = -1;
  const char* date = "";
  tedskit_teds_field_index(first, "Calibration date", &index);
  tedskit_field_display(first, index, &date);
  EXPECT_STREQ(date, "3/2/2026");
  EXPECT_EQ(channel, -1);
  EXPECT_EQ(unit, -1);
  tedskit_teds_free(first);
  EXPECT_EQ(tedskit_records_get(records, 3, &first, nullptr, nullptr), TEDSKIT_ERR_ARGUMENT);
  tedskit_records_free(records);

  EXPECT_EQ(recordCount(dir.file("missing.txt")), -1);
  EXPECT_TRUE(has(tedskit_last_error(), "missing.txt: cannot read the records")) << tedskit_last_error();
}

TEST(RecordsApi, ChannelAndUnitNumbersAreSavedWithEachRecord) {
  tedskittest::ScratchDir dir("tedskit-records");
  const std::string file = dir.file("rig.txt");
  Teds accelerometer(exampleText("accelerometer.hex"));
  Teds microphone(exampleText("microphone.hex"));
  const tedskit_teds* both[] = {accelerometer.teds, microphone.teds};
  const int32_t negative[] = {-2, 0};
  EXPECT_EQ(tedskit_records_save_numbered(file.c_str(), kTemplates, both, negative, nullptr, 2, 0),
            TEDSKIT_ERR_ARGUMENT);
  EXPECT_TRUE(has(tedskit_last_error(), "record 0: a channel number is 0 or more (-1: none), not -2"));
  EXPECT_FALSE(std::filesystem::exists(file));

  const int32_t channels[] = {3, -1}, units[] = {7, 0};
  ASSERT_EQ(tedskit_records_save_numbered(file.c_str(), kTemplates, both, channels, units, 2, 0), TEDSKIT_OK)
      << tedskit_last_error();
  tedskit_records* records = nullptr;
  ASSERT_EQ(tedskit_records_load(file.c_str(), kTemplates, &records), TEDSKIT_OK) << tedskit_last_error();
  for (int32_t i = 0; i < 2; ++i) {
    tedskit_teds* record = nullptr;
    int32_t channel = -5, unit = -5;
    ASSERT_EQ(tedskit_records_get(records, i, &record, &channel, &unit), TEDSKIT_OK);
    EXPECT_EQ(channel, channels[i]);
    EXPECT_EQ(unit, units[i]);
    tedskit_teds_free(record);
  }
  tedskit_records_free(records);
}

TEST(RecordsApi, ABrokenBlockIsSkippedAndSaysWhy) {
  tedskittest::ScratchDir dir("tedskit-records");
  const std::string file = dir.file("rig.txt");
  Teds accelerometer(exampleText("accelerometer.hex"));
  Teds microphone(exampleText("microphone.hex"));
  const tedskit_teds* both[] = {accelerometer.teds, microphone.teds};
  ASSERT_EQ(tedskit_records_save(file.c_str(), kTemplates, both, 2, 0), TEDSKIT_OK) << tedskit_last_error();
  const std::string broken = replaced(slurp(file), "\"Model number\",4507,", "\"Model number\",99999,");
  std::ofstream(file, std::ios::binary) << broken;
  int32_t skipped = 0;
  std::string reason;
  EXPECT_EQ(recordCount(file, &skipped, &reason), 1);
  EXPECT_EQ(skipped, 1);
  EXPECT_EQ(reason, "1: the record of template 0 holds a value it cannot: \"Model number\" takes 0 to 32767, not 99999");
}

TEST(SelectCasesApi, TheCasesOfATdlTemplateAndTheFieldThatChoosesOne) {
  tedskit_teds* teds = nullptr;
  ASSERT_EQ(tedskit_teds_new(kTemplates, 0, 33, 0, 0, &teds), TEDSKIT_OK) << tedskit_last_error();
  int32_t count = 0;
  ASSERT_EQ(tedskit_teds_select_case_count(teds, &count), TEDSKIT_OK);
  ASSERT_GE(count, 1);
  const char *description = nullptr, *caseText = nullptr;
  int32_t value = -1, field = -2;
  ASSERT_EQ(tedskit_teds_select_case(teds, 0, &description, &value, &caseText, &field), TEDSKIT_OK);
  EXPECT_STREQ(description, "Physical measurand");
  ASSERT_GE(field, 0);
  // Chosen through its field, the case is in force in the image.
  const char* second = nullptr;
  ASSERT_EQ(tedskit_field_choice(teds, field, 1, &second), TEDSKIT_OK);
  const std::string choice = second;
  ASSERT_EQ(tedskit_teds_set(teds, description, choice.c_str(), nullptr), TEDSKIT_OK) << tedskit_last_error();
  ASSERT_EQ(tedskit_teds_select_case_count(teds, &count), TEDSKIT_OK);
  ASSERT_EQ(tedskit_teds_select_case(teds, 0, nullptr, &value, &caseText, nullptr), TEDSKIT_OK);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(caseText, choice);
  tedskit_teds_free(teds);

  // The description engine lays out no select cases.
  Teds accelerometer(exampleText("accelerometer.hex"));
  ASSERT_EQ(tedskit_teds_select_case_count(accelerometer.teds, &count), TEDSKIT_OK);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(tedskit_teds_select_case(accelerometer.teds, 0, nullptr, nullptr, nullptr, nullptr), TEDSKIT_ERR_ARGUMENT);
}

}  // namespace
