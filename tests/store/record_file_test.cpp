// Record files: what a save writes, and that every kind of record reads back as saved.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "../support/scratch_dir.h"
#include "record_file_fixture.h"

namespace {

using namespace storetest;

// "ieee_temp_v10.tdl" is opened relative to the current directory.
const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new tedskittest::InDirectoryEnvironment(kDataDir));

// The shipped IEPE accelerometer image, decoded by the description engine.
std::unique_ptr<TaggedFieldArray> decodedAccelerometer() {
  const char* memory = "2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000";
  const char* appRegister = "12C0664408190010";
  const char* form = nullptr;
  int32_t valid = 0;
  EXPECT_EQ(0,
            QUILLON_DecodeRAWTedsToTemplateForm(kDataDir.c_str(), memory, appRegister, 0, &form, &valid, 0));
  auto tagged = newTagged();
  EXPECT_EQ(0, QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, tagged.get(), 1));
  return tagged;
}

struct Stored {
  std::unique_ptr<TaggedFieldArray> record;
  int32_t channel;
  int32_t unit;
};

TEST(RecordFile, EveryKindOfRecordReadsBackAsSavedWithEitherDelimiter) {
  const sccontrolstruct scc = selectCases({0, 0, 1});

  std::vector<Stored> stored;
  stored.push_back({decodedAccelerometer(), 0, 0});
  stored.push_back({laidOut(CALDEN_DESCRIPTOR_MANUFACTURER, 3, 17), 2, -1});
  stored.push_back({laidOut(CALDEN_DESCRIPTOR_LMS, 118), -1, 5});
  stored.push_back({laidOut(CALDEN_DESCRIPTOR_LMS, 117), -1, -1});
  stored.push_back({laidOutV10(25, scc), 4, 1});
  for (std::size_t i = 1; i < stored.size(); ++i) {
    fillValues(stored[i].record->array, i == 1 ? 17 : 18);
  }

  const int32_t handle = CreateNewStoredDataStruct();
  std::vector<Carried> expected;
  for (const Stored& s : stored) {
    ASSERT_GT(s.record->array.numItems, 5);
    ASSERT_EQ(0, Calden(handle, s.record->kind, &s.record->array, s.channel, s.unit));
    expected.push_back(carried(s.record->kind, s.channel, s.unit, s.record->array));
  }

  ScratchDir dir;
  for (const char delimiter : {',', ';'}) {
    SCOPED_TRACE(delimiter);
    ASSERT_EQ(0, ChangeDelimiter(delimiter));
    const std::string path = dir.file("records.txt");
    ASSERT_EQ(0, save(handle, path, 0, 1, scc));
    const std::string text = readText(path);
    EXPECT_EQ(0u, text.find(std::string("IEEE 1451.4 Template") + delimiter + "0\n"));

    ASSERT_EQ(0, ChangeDelimiter(delimiter == ',' ? '|' : ','));  // reading takes the file's
    const int32_t readBack = CreateNewStoredDataStruct();
    ASSERT_EQ(0, read(readBack, path));
    EXPECT_EQ(expected, storedRecords(readBack));
  }
  ASSERT_EQ(0, ChangeDelimiter(','));
  EXPECT_EQ(0, getTEDSCurrentFormat());  // reading leaves the engine as it found it
}

// A record built by hand, to pin down the written text.
std::unique_ptr<TEDSTemplateFieldArrayStruct> handMadeRecord() {
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0, sizeof *array);
  std::snprintf(array->templateName, sizeof array->templateName, "Geometry, hand made");
  array->templateID = 118;
  struct Item {
    const char* label;
    const char* value;
    int32_t datatype;
    const char* units;
  };
  const Item items[] = {{"Manufacturer", "18", 1, ""}, {"Direction", "3", 7, ""},
                        {"Sign", "1", 201, ""},        {"Selector", "0", 202, ""},
                        {"Location X", "1,5", 6, "m"}, {"Empty direction", "", 7, ""}};
  for (const Item& item : items) {
    TEDSTemplateFieldStruct& target = array->items[array->numItems++];
    std::snprintf(target.label, sizeof target.label, "%s", item.label);
    std::snprintf(target.value, sizeof target.value, "%s", item.value);
    target.datatype = item.datatype;
    std::snprintf(target.units, sizeof target.units, "%s", item.units);
  }
  return array;
}

TEST(RecordFile, WritesTheBlockFormat) {
  const int32_t handle = CreateNewStoredDataStruct();
  const auto array = handMadeRecord();
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, array.get(), 0, 0));
  // A standard record with template ID 999 is how callers mark an MTS record.
  auto mts = std::make_unique<TEDSTemplateFieldArrayStruct>(*array);
  mts->templateID = 999;
  mts->numItems = 1;
  std::snprintf(mts->templateName, sizeof mts->templateName, "Wheel force");
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, mts.get(), -1, -1));
  ScratchDir dir;
  ASSERT_EQ(0, save(handle, dir.file("block.txt"), 0, 1, selectCases({2, -1, 5})));
  EXPECT_EQ(
      "LMS Template,3\n"
      "Geometry, hand made,118,3,2,-1,5\n"
      "1,1,\"Manufacturer\",Velmora - member of Quorvel group(18),\n"
      "1,1,\"Direction\",N/A,\n"
      "1,1,\"Sign\",-,\n"
      "1,1,\"Selector\",automotive resolution,\n"
      "1,1,\"Location X\",1,5,m\n"
      "1,1,\"Empty direction\",,\n"
      "\n\n"
      "MTS Template,64\n"
      "Wheel force,999,3,2,-1,5\n"
      "\"Manufacturer\",Velmora - member of Quorvel group(18),\n"
      "\n\n",
      readText(dir.file("block.txt")));
}

TEST(RecordFile, ChannelAndUnitNumbersAreWrittenOneUpAndReadBackAsStored) {
  struct Case {
    int32_t channel;
    int32_t unit;
    const char* prefix;
  };
  const Case cases[] = {
      {0, 0, "1,1,\""}, {2, -1, "3,\""}, {-1, 5, "6,0,\""}, {-1, -1, "\""}, {-7, 3, "4,-6,\""}};
  const auto record = laidOut(CALDEN_DESCRIPTOR_LMS, 117);
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.prefix);
    const int32_t handle = CreateNewStoredDataStruct();
    ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, c.channel, c.unit));
    ASSERT_EQ(0, save(handle, dir.file("numbers.txt")));
    const std::string text = readText(dir.file("numbers.txt"));
    EXPECT_NE(std::string::npos, text.find(std::string("\n") + c.prefix + "Manufacturer\""));
    EXPECT_NE(std::string::npos, text.find(std::string("\n") + c.prefix + "Meas. position ID\""));

    const int32_t readBack = CreateNewStoredDataStruct();
    ASSERT_EQ(0, read(readBack, dir.file("numbers.txt")));
    const auto records = storedRecords(readBack);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(c.channel, records[0].channel);
    EXPECT_EQ(c.unit, records[0].unit);
  }
}

TEST(RecordFile, ManufacturerNamesMayHoldTheDelimiterAndParentheses) {
  ScratchDir dir;
  writeText(dir.file("Manufacture.txt"), "18,\"Acme, (Europe) Ltd\"\n");
  const auto record = laidOut(CALDEN_DESCRIPTOR_LMS, 117);
  std::snprintf(record->array.items[0].value, sizeof record->array.items[0].value, "18");
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, -1, -1));
  const std::string path = dir.file("records.txt");
  sccontrolstruct none{};
  ASSERT_EQ(0, SaveTEDSReadToFile(handle, path.c_str(), 0, dir.file("").c_str(), 0, none));
  EXPECT_NE(std::string::npos, readText(path).find("\"Manufacturer\",Acme, (Europe) Ltd(18),\n"));

  const int32_t readBack = CreateNewStoredDataStruct();
  ASSERT_EQ(0, read(readBack, path));
  ASSERT_EQ(1, GetNumberOfSavedItems(readBack));
  EXPECT_EQ("18", storedRecords(readBack)[0].values[0]);
}

// One save of records of several manufacturers, in runs and alternating: each block names its own.
TEST(RecordFile, EachBlockNamesItsOwnManufacturer) {
  ScratchDir dir;
  writeText(dir.file("Manufacture.txt"), "18,\"Acme\"\n19,\"Borel\"\n");
  const int32_t handle = CreateNewStoredDataStruct();
  const char* ids[] = {"18", "18", "19", "18", "19", "19"};
  for (const char* id : ids) {
    const auto record = laidOut(CALDEN_DESCRIPTOR_LMS, 117);
    std::snprintf(record->array.items[0].value, sizeof record->array.items[0].value, "%s", id);
    ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, -1, -1));
  }
  const std::string path = dir.file("records.txt");
  sccontrolstruct none{};
  ASSERT_EQ(0, SaveTEDSReadToFile(handle, path.c_str(), 0, dir.file("").c_str(), 0, none));
  std::string names;
  const std::string text = readText(path);
  for (auto at = text.find("\"Manufacturer\","); at != std::string::npos;
       at = text.find("\"Manufacturer\",", at + 1)) {
    names += text.substr(at + 15, text.find('(', at) - at - 15) + ";";
  }
  EXPECT_EQ("Acme;Acme;Borel;Acme;Borel;Borel;", names);
}

TEST(RecordFile, AppendingTwiceGivesEveryBlockTwice) {
  const auto first = laidOut(CALDEN_DESCRIPTOR_LMS, 117);
  const auto second = laidOut(CALDEN_DESCRIPTOR_STANDARD, 0);
  fillValues(first->array, 18);
  fillValues(second->array, 17);
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &first->array, 1, 2));
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, &second->array, 3, 4));

  ScratchDir dir;
  const std::string path = dir.file("appended.txt");
  ASSERT_EQ(0, save(handle, path, 1));
  const std::string once = readText(path);
  ASSERT_EQ(0, save(handle, path, 1));
  EXPECT_EQ(once + once, readText(path));

  const int32_t readBack = CreateNewStoredDataStruct();
  ASSERT_EQ(0, read(readBack, path));
  const auto original = storedRecords(handle);
  EXPECT_EQ((std::vector<Carried>{original[0], original[1], original[0], original[1]}),
            storedRecords(readBack));
}

TEST(RecordFile, AReadIntoAnUnknownHandleStoresNothing) {
  ScratchDir dir;
  const auto record = laidOut(CALDEN_DESCRIPTOR_LMS, 117);
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, 0, 0));
  ASSERT_EQ(0, save(handle, dir.file("one.txt")));
  const int32_t next = CreateNewStoredDataStruct() + 1;

  EXPECT_EQ(CALDEN_INVALID_HANDLE, read(-1, dir.file("one.txt")));
  EXPECT_EQ(CALDEN_INVALID_HANDLE, read(next, dir.file("one.txt")));
  EXPECT_EQ(CALDEN_INVALID_HANDLE, GetNumberOfSavedItems(next));
  EXPECT_EQ(1, GetNumberOfSavedItems(handle));
}

TEST(RecordFile, FilesThatCannotBeOpened) {
  ScratchDir dir;
  const int32_t handle = CreateNewStoredDataStruct();
  EXPECT_EQ(CALDEN_FILE_NOT_FOUND, read(handle, dir.file("missing.txt")));
  EXPECT_EQ(CALDEN_FILE_NOT_FOUND, read(handle, dir.file("")));
  EXPECT_EQ(CALDEN_FILE_NOT_FOUND, save(handle, dir.file("no/such/folder.txt")));
  EXPECT_EQ(CALDEN_FILE_NOT_FOUND, save(handle, dir.file("")));
  EXPECT_EQ(CALDEN_FILE_NOT_FOUND, save(handle, ""));
  EXPECT_EQ(CALDEN_FILE_NOT_FOUND, read(handle, ""));
  EXPECT_EQ(CALDEN_INVALID_HANDLE, save(-1, dir.file("never.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("never.txt")));

  writeText(dir.file("empty.txt"), "");
  EXPECT_EQ(0, read(handle, dir.file("empty.txt")));
  EXPECT_EQ(0, GetNumberOfSavedItems(handle));
  // A handle without records writes an empty file.
  EXPECT_EQ(0, save(handle, dir.file("none.txt")));
  EXPECT_EQ("", readText(dir.file("none.txt")));
}

TEST(RecordFile, ADelimiterRefusedLeavesSavesWithThePreviousOne) {
  const auto record = laidOut(CALDEN_DESCRIPTOR_LMS, 117);
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, -1, -1));
  ASSERT_EQ(0, ChangeDelimiter(';'));
  EXPECT_EQ(CALDEN_INVALID_PARAMETER, ChangeDelimiter('\0'));
  ScratchDir dir;
  ASSERT_EQ(0, save(handle, dir.file("semicolon.txt")));
  ASSERT_EQ(0, ChangeDelimiter(','));
  const std::string expectedStart = "LMS Template;3\nLMS Free Format;117\n\"Manufacturer\";";
  EXPECT_EQ(expectedStart, readText(dir.file("semicolon.txt")).substr(0, expectedStart.size()));
}

}  // namespace
