// MTS records: saved under the MTS type line and read back, laid out by the MTS template
// file of the current directory, as the records that were saved.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record_file_fixture.h"

namespace {

using namespace storetest;

std::string unitsOf(const TEDSTemplateFieldArrayStruct& array, const std::string& label) {
  for (int32_t i = 0; i < array.numItems; ++i) {
    if (label == array.items[i].label) return array.items[i].units;
  }
  return "(no such item)";
}

TEST(MtsRecordFile, SavedRecordsReadBackAsSavedAndSaveAgainUnchanged) {
  const InDirectory inData(kDataDir);
  struct Case {
    const char* name;
    std::vector<int32_t> selectCases;
    const char* sensitivityUnits;
  };
  const Case cases[] = {{"force", {0}, "\"V/N\""}, {"moment", {1}, "\"V/(N m)\""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const sccontrolstruct scc = selectCases(c.selectCases);
    const auto record = mtsRecord(scc);
    ASSERT_EQ(c.sensitivityUnits, unitsOf(*record, "Sensitivity @ Fref"));
    const int32_t handle = CreateNewStoredDataStruct();
    ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, record.get(), 2, 0));
    ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, record.get(), -1, -1));

    ScratchDir dir;
    ASSERT_EQ(0, save(handle, dir.file("mts.txt"), 0, 1, scc));
    const std::string text = readText(dir.file("mts.txt"));
    EXPECT_EQ(0u, text.find("MTS Template,64\nMTS SWIFT Wheel Force Transducer,999,1," +
                            std::to_string(c.selectCases[0]) + "\n"));

    const int32_t readBack = CreateNewStoredDataStruct();
    ASSERT_EQ(0, read(readBack, dir.file("mts.txt")));
    EXPECT_EQ(storedRecords(handle), storedRecords(readBack));
    ASSERT_EQ(0, save(readBack, dir.file("again.txt"), 0, 1, scc));
    EXPECT_EQ(text, readText(dir.file("again.txt")));
  }
  EXPECT_EQ(0, getTEDSCurrentFormat());
}

// Older files name the MTS template by its ID on the chip. Such a record is the MTS
// template's (ID 199), saved again under the standard type line, and that reads back.
TEST(MtsRecordFile, ABlockWithTheChipIDReadsAsTheMtsTemplate) {
  const InDirectory inData(kDataDir);
  const sccontrolstruct scc = selectCases({1});
  const auto record = mtsRecord(scc);
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_STANDARD, record.get(), 0, -1));
  ScratchDir dir;
  ASSERT_EQ(0, save(handle, dir.file("saved.txt"), 0, 1, scc));
  std::string text = readText(dir.file("saved.txt"));
  const std::string savedID = ",999,";
  text.replace(text.find(savedID), savedID.size(), ",4,");
  writeText(dir.file("older.txt"), text);

  const int32_t older = CreateNewStoredDataStruct();
  ASSERT_EQ(0, read(older, dir.file("older.txt")));
  auto expected = storedRecords(handle);
  ASSERT_EQ(1u, expected.size());
  expected[0].templateID = 199;
  EXPECT_EQ(expected, storedRecords(older));

  ASSERT_EQ(0, save(older, dir.file("resaved.txt"), 0, 1, scc));
  EXPECT_EQ(0u, readText(dir.file("resaved.txt")).find("IEEE 1451.4 Template,0\n"));
  const int32_t resaved = CreateNewStoredDataStruct();
  ASSERT_EQ(0, read(resaved, dir.file("resaved.txt")));
  EXPECT_EQ(expected, storedRecords(resaved));
}

}  // namespace
