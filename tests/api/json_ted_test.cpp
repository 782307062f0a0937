// libtedskit's JSON and virtual TEDS files: out, back in, and edited by hand.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tedskit/tedskit.h"

namespace {

using nlohmann::ordered_json;

const char* const kTemplates = TEDSKIT_SOURCE_DIR "/data";

std::string fileText(const std::string& name) {
  std::ifstream in(std::string(TEDSKIT_SOURCE_DIR) + "/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Template 25 laid out by the TDL engine; its stream ends with the end selector and the
// bit that announces user text (1 1 1).
const std::string kTemplate25 =
    "memory: B5000000000000000064000018000000000000C00100000E00000000000000000000000000000000\n"
    "register: 0000000000000000\n";

using Handle = std::unique_ptr<tedskit_teds, void (*)(tedskit_teds*)>;

// The handle, or null with the result code in *result.
Handle open(const std::string& input, tedskit_input kind = TEDSKIT_INPUT_AUTO, int32_t* result = nullptr) {
  tedskit_teds* teds = nullptr;
  const int32_t code = tedskit_teds_open(kTemplates, input.data(), input.size(), kind, 0, &teds);
  if (result != nullptr) *result = code;
  return Handle(teds, tedskit_teds_free);
}

std::string owned(char* text, size_t size = std::string::npos) {
  std::string copy = size == std::string::npos ? std::string(text) : std::string(text, size);
  tedskit_string_free(text);
  return copy;
}

std::string jsonOf(const tedskit_teds* teds) {
  char* text = nullptr;
  EXPECT_EQ(tedskit_teds_json(teds, &text), TEDSKIT_OK) << tedskit_last_error();
  return text == nullptr ? "" : owned(text);
}

std::string textOf(const tedskit_teds* teds) {
  char* text = nullptr;
  EXPECT_EQ(tedskit_teds_text(teds, &text), TEDSKIT_OK) << tedskit_last_error();
  return text == nullptr ? "" : owned(text);
}

std::string tedOf(const tedskit_teds* teds) {
  char* bytes = nullptr;
  size_t size = 0;
  EXPECT_EQ(tedskit_teds_ted(teds, &bytes, &size), TEDSKIT_OK) << tedskit_last_error();
  return bytes == nullptr ? "" : owned(bytes, size);
}

std::string display(const tedskit_teds* teds, const char* label) {
  int32_t index = -1;
  EXPECT_EQ(tedskit_teds_field_index(teds, label, &index), TEDSKIT_OK) << label;
  const char* text = "";
  tedskit_field_display(teds, index, &text);
  return text;
}

ordered_json& field(ordered_json& document, const std::string& label) {
  for (auto& f : document["fields"]) {
    if (f["label"] == label) return f;
  }
  throw std::runtime_error("no field " + label);
}

const std::vector<std::string>& images() {
  static const std::vector<std::string> all = {
      fileText("examples/accelerometer.hex"), fileText("examples/microphone.hex"),
      fileText("examples/loadcell.hex"), fileText("examples/triaxial.hex"), kTemplate25};
  return all;
}

// The library keeps the TDL engine switched on once it was used; every image goes round
// twice, so that each is read back with the engine on and off.
TEST(TedsJson, EveryImageComesBackFromItsJsonInBothEngineStates) {
  for (int round = 0; round < 2; ++round) {
    for (const auto& image : images()) {
      const Handle teds = open(image);
      ASSERT_NE(teds, nullptr) << tedskit_last_error();
      const std::string json = jsonOf(teds.get());
      const Handle back = open(json, round == 0 ? TEDSKIT_INPUT_AUTO : TEDSKIT_INPUT_JSON);
      ASSERT_NE(back, nullptr) << tedskit_last_error();
      EXPECT_EQ(textOf(back.get()), textOf(teds.get()));
      const std::string again = jsonOf(back.get());  // the same but for its "source"
      EXPECT_EQ(again.substr(again.find("\"image\": {")), json.substr(json.find("\"image\": {")));
      const char* note = nullptr;
      ASSERT_EQ(tedskit_teds_note(back.get(), &note), TEDSKIT_OK);
      EXPECT_STREQ(note, "");
    }
  }
}

// A TDL layout lists the select cases it met, the description engine none; the list is
// output only, and the JSON still reads back to the same image.
TEST(TedsJson, SelectCasesOfATdlLayout) {
  EXPECT_FALSE(ordered_json::parse(jsonOf(open(fileText("examples/accelerometer.hex")).get())).contains("select_cases"));
  const std::string tdl =
      "memory: B5000000000000000064000018000000000000C00100000E00000000000000000000000000000000\n"
      "register: 0000000000000000\n";
  const std::string json = jsonOf(open(tdl).get());
  const ordered_json cases = ordered_json::parse(json)["select_cases"];
  ASSERT_EQ(cases.size(), 3u);
  EXPECT_EQ(cases[0], ordered_json({{"description", "Transducer type"}, {"case", "Acceleration"}, {"index", 0},
                                    {"by_field", false}}));
  EXPECT_EQ(cases[2]["description"], "Transfer function");
  ordered_json again = ordered_json::parse(jsonOf(open(json).get()));
  ordered_json first = ordered_json::parse(json);
  again.erase("source");
  first.erase("source");
  EXPECT_EQ(again, first);
}

TEST(TedsJson, TypedValuesTemplateAndImages) {
  const Handle teds = open(fileText("examples/accelerometer.hex"));
  ordered_json document = ordered_json::parse(jsonOf(teds.get()));
  EXPECT_EQ(document["schema_version"], 1);
  EXPECT_EQ(document["template"]["engine"], "description");
  EXPECT_EQ(document["template"]["id"], 0);
  EXPECT_EQ(document["checksum_ok"], true);
  EXPECT_EQ(document["image"]["register"], "12C0664408190010");
  const auto& sensitivity = field(document, "Sensitivity @ Fref");
  EXPECT_TRUE(sensitivity["value"].is_number_float());
  double exact = 0;
  int32_t index = -1;
  tedskit_teds_field_index(teds.get(), "Sensitivity @ Fref", &index);
  tedskit_field_real(teds.get(), index, &exact);
  EXPECT_EQ(sensitivity["value"].get<double>(), exact);  // not the rounded display
  EXPECT_EQ(sensitivity["display"], "0.0102012");
  EXPECT_EQ(sensitivity["units"], "V/(m/s^2)");
  EXPECT_EQ(sensitivity["bits"], 16);
  EXPECT_EQ(field(document, "Serial no.")["value"], 1048601);
  EXPECT_EQ(field(document, "Sensitivity direction (x,y,z)")["value"], "z");
  EXPECT_EQ(field(document, "Sensitivity direction (x,y,z)")["index"], 2);
  EXPECT_EQ(field(document, "Calibration date")["value"], "2025-03-14");
  EXPECT_EQ(field(document, "User data (ascii)")["type"], "text");

  const Handle tdl = open(kTemplate25);
  EXPECT_EQ(ordered_json::parse(jsonOf(tdl.get()))["template"]["engine"], "tdl");
}

// Exactly the edits: every other field keeps its value.
TEST(TedsJson, HandEditsAreSetEachCheckedAndNothingElseChanges) {
  struct Edit {
    const char* label;
    const char* member;
    ordered_json value;
    const char* shown;
  };
  const Edit edits[] = {
      {"Meas. position ID", "value", 99, "99"},
      {"Sensitivity direction (x,y,z)", "value", "x", "x"},
      {"Sensitivity direction (x,y,z)", "index", 1, "y"},
      {"Calibration date", "value", "2021-05-06", "5/6/2021"},
      {"Calibration date", "value", "7/8/2022", "7/8/2022"},
      {"Reference temperature", "value", 25.0, "25.0"},
      {"User data (ascii)", "value", "LAB-9", "LAB-9"},
  };
  const Handle original = open(fileText("examples/accelerometer.hex"));
  const std::string json = jsonOf(original.get());
  int32_t count = 0;
  tedskit_teds_field_count(original.get(), &count);
  for (const auto& edit : edits) {
    ordered_json document = ordered_json::parse(json);
    field(document, edit.label)[edit.member] = edit.value;
    const Handle edited = open(document.dump());
    ASSERT_NE(edited, nullptr) << edit.label << ": " << tedskit_last_error();
    EXPECT_EQ(display(edited.get(), edit.label), edit.shown);
    for (int32_t i = 0; i < count; ++i) {
      const char *label = nullptr, *before = nullptr, *after = nullptr;
      tedskit_field_label(original.get(), i, &label);
      if (std::string(label) == edit.label) continue;
      tedskit_field_display(original.get(), i, &before);
      tedskit_field_display(edited.get(), i, &after);
      EXPECT_STREQ(after, before) << edit.label << " changed " << label;
    }
  }
  // An identification field and a quantised value are set with their notes.
  ordered_json document = ordered_json::parse(json);
  field(document, "Serial no.")["value"] = 4711;
  field(document, "Fref")["value"] = 100;
  const Handle noted = open(document.dump());
  ASSERT_NE(noted, nullptr) << tedskit_last_error();
  const char* note = nullptr;
  tedskit_teds_note(noted.get(), &note);
  EXPECT_NE(std::string(note).find("\"Serial no.\" identifies the sensor"), std::string::npos) << note;
  EXPECT_NE(std::string(note).find("\"Fref\" is stored as"), std::string::npos) << note;
}

TEST(TedsJson, RefusedEditsAndMalformedInputSayWhy) {
  struct Case {
    std::string input;
    int32_t code;
    const char* says;
  };
  const Handle teds = open(fileText("examples/accelerometer.hex"));
  const std::string json = jsonOf(teds.get());
  const auto with = [&](const char* label, const char* member, ordered_json value) {
    ordered_json document = ordered_json::parse(json);
    field(document, label)[member] = std::move(value);
    return document.dump();
  };
  ordered_json unknown = ordered_json::parse(json);
  unknown["fields"].push_back({{"label", "Colour"}, {"value", "red"}});
  ordered_json version = ordered_json::parse(json);
  version["schema_version"] = 2;
  ordered_json otherRegister = ordered_json::parse(json);
  otherRegister["image"]["register"] = "0000000000000000";
  ordered_json noImage = ordered_json::parse(json);
  noImage.erase("image");
  const Case cases[] = {
      {with("Meas. position ID", "value", 2048), TEDSKIT_ERR_VALUE, "\"Meas. position ID\" takes 0 to 2047"},
      {with("Meas. position ID", "value", "abc"), TEDSKIT_ERR_VALUE, "Meas. position ID"},
      {with("Calibration date", "value", "2020-02-30"), TEDSKIT_ERR_VALUE, "Calibration date"},
      {with("Sensitivity direction (x,y,z)", "value", "w"), TEDSKIT_ERR_VALUE, "takes one of x, y, z"},
      {with("Sensitivity direction (x,y,z)", "index", 7), TEDSKIT_ERR_VALUE, "Sensitivity direction"},
      {with("Sensitivity @ Fref", "value", 173), TEDSKIT_ERR_VALUE, "not 173"},
      {unknown.dump(), TEDSKIT_ERR_LABEL, "no field labelled \"Colour\""},
      {version.dump(), TEDSKIT_ERR_INPUT, "schema version 2"},
      {otherRegister.dump(), TEDSKIT_ERR_INPUT, "\"register\" differs"},
      {noImage.dump(), TEDSKIT_ERR_INPUT, "no \"image\""},
      {"{\"image\": {\"memory\": \"2D1", TEDSKIT_ERR_INPUT, "not valid JSON"},
      {"[1, 2]", TEDSKIT_ERR_INPUT, "not an object"},
  };
  for (const auto& c : cases) {
    int32_t result = 0;
    const tedskit_input kind = c.input[0] == '[' ? TEDSKIT_INPUT_JSON : TEDSKIT_INPUT_AUTO;
    const Handle refused = open(c.input, kind, &result);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(result, c.code) << c.says << ": " << tedskit_last_error();
    EXPECT_NE(std::string(tedskit_last_error()).find(c.says), std::string::npos) << tedskit_last_error();
  }
}

std::string sevenBitText(const std::string& text) {
  std::string bits;
  for (const char c : text) {
    for (int b = 0; b < 7; ++b) bits += static_cast<char>((c >> b) & 1);
  }
  return bits;
}

// Every end of stream a writer may leave, read alike and written back bit for bit.
TEST(TedFile, EveryEndOfStreamReadsAndComesBackBitForBit) {
  const Handle base = open(kTemplate25);
  const std::string emptyUserArea = tedOf(base.get());
  ASSERT_EQ(emptyUserArea.substr(emptyUserArea.size() - 3), std::string("\1\1\1"));
  struct Case {
    const char* what;
    std::string file;
    const char* userText;
  };
  const Case cases[] = {
      {"no user area", emptyUserArea.substr(0, emptyUserArea.size() - 1), ""},
      {"empty user area", emptyUserArea, ""},
      {"user text", emptyUserArea + sevenBitText("HELLO"), "HELLO"},
      {"zero padding", emptyUserArea + std::string(21, '\0'), ""},
  };
  for (const auto& c : cases) {
    for (const auto kind : {TEDSKIT_INPUT_AUTO, TEDSKIT_INPUT_TED}) {
      const Handle teds = open(c.file, kind);
      ASSERT_NE(teds, nullptr) << c.what << ": " << tedskit_last_error();
      int32_t id = -1;
      tedskit_teds_template(teds.get(), nullptr, &id, nullptr, nullptr);
      EXPECT_EQ(id, 25) << c.what;
      EXPECT_EQ(display(teds.get(), "User data (ascii)"), c.userText) << c.what;
      EXPECT_EQ(display(teds.get(), "Meas. position ID"), display(base.get(), "Meas. position ID")) << c.what;
      EXPECT_EQ(tedOf(teds.get()), c.file) << c.what;
    }
  }
  // Without a user area the end selector is no text, and an edit does not make it one.
  const Handle none = open(cases[0].file);
  ASSERT_EQ(tedskit_teds_set(none.get(), "Meas. position ID", "7", nullptr), TEDSKIT_OK)
      << tedskit_last_error();
  EXPECT_EQ(display(none.get(), "User data (ascii)"), "");

  // A Basic TEDS with every kind of value, through a file and back.
  const Handle example = open(fileText("examples/accelerometer.hex"));
  const Handle again = open(tedOf(example.get()));
  ASSERT_NE(again, nullptr) << tedskit_last_error();
  EXPECT_EQ(textOf(again.get()), textOf(example.get()));
}

TEST(TedFile, WrongFilesAreRefusedWithTheReason) {
  const Handle base = open(kTemplate25);
  const std::string file = tedOf(base.get());
  std::string otherVersion = file;
  otherVersion[3 * 8 + 0] = 0;  // '3' becomes '2'
  std::string notABit = file;
  notABit[50] = 2;
  const std::pair<std::string, const char*> cases[] = {
      {otherVersion, "header [v03]"},
      {notABit, "bit 10 of the virtual TEDS file is 2"},
      {file.substr(0, 40 + 30), "at least 66 bits"},
      {file + std::string(30000, '\0'), "at most"},
      {"memory: 00", "header [v03]"},
  };
  for (const auto& [input, says] : cases) {
    int32_t result = 0;
    const Handle refused = open(input, TEDSKIT_INPUT_TED, &result);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(result, TEDSKIT_ERR_INPUT) << says;
    EXPECT_NE(std::string(tedskit_last_error()).find(says), std::string::npos) << tedskit_last_error();
  }
}

}  // namespace
