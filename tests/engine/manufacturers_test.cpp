// Manufacturer IDs and names, from "Manufacture.txt" or the built-in table.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "engine_test_support.h"

using namespace enginetest;

namespace {

std::string nameOf(const std::string& dir, int32_t id) {
  char buffer[128];
  const int32_t length = DORVIA_ConvertTEDSManufactureIndexToString(dir.c_str(), id, buffer, sizeof buffer);
  EXPECT_EQ(length, static_cast<int32_t>(std::strlen(buffer)));
  return buffer;
}

TEST(Manufacturers, BuiltInTableWithoutTheFile) {
  ScratchDir empty;
  EXPECT_EQ(nameOf(empty.path(), 18), "Velmora - member of Quorvel group");
  EXPECT_EQ(nameOf(empty.path(), 0), "IEEE 1451.4 full compliant with IEEE 1451.2");
  EXPECT_EQ(nameOf(empty.path(), 9), "Future Use (9)");
  EXPECT_EQ(nameOf(empty.path(), 30), "Unknown Manufacture");
  EXPECT_EQ(nameOf(empty.path(), -1), "Unknown Manufacture");
  char small[4];
  EXPECT_EQ(DORVIA_ConvertTEDSManufactureIndexToString(empty.path().c_str(), 19, small, 4),
            DORVIA_ERR_BUFFER_TOO_SMALL);
  EXPECT_STREQ(small, "Kis");
}

TEST(Manufacturers, FileLinesMalformedLinesAndEnd) {
  ScratchDir dir;
  dir.write("Manufacture.txt",
            "* comment, \"Not a name\"\n"
            "  \t40, \"Forty\"\n"
            "41 \"no comma\"\n"
            "abc, \"not a number\"\n"
            "42,\n"
            "43, \"\"\n"
            "44 , x \"Forty-four\" trailing\n"
            "40, \"Forty again\"\n"
            "45, \"Unclosed\n"
            "EndTemplate\n"
            "46, \"After the end\"\n");
  EXPECT_EQ(nameOf(dir.path() + "/", 40), "Forty");
  EXPECT_EQ(nameOf(dir.path(), 44), "Forty-four");
  EXPECT_EQ(nameOf(dir.path(), 45), "Unclosed");
  for (int id : {0, 18, 41, 42, 43, 46}) EXPECT_EQ(nameOf(dir.path(), id), "Unknown Manufacture") << id;
}

TEST(Manufacturers, ShippedFileMatchesTheBuiltInTable) {
  ScratchDir empty;
  for (int id = 0; id <= 23; ++id) {
    EXPECT_EQ(nameOf(sourcePath("data"), id), nameOf(empty.path(), id)) << id;
  }
}

TEST(Manufacturers, NameToIDThroughTheFieldArray) {
  auto array = makeArray();
  ASSERT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(
                "\"Manufacturer\",\"RO\",\"14\",\"Manufacturer\",DATA,0\nEndTemplate", array.get(), 1),
            0);
  ScratchDir empty;
  EXPECT_EQ(DORVIA_SetTEDSManufacturerStr(array.get(), empty.path().c_str(), "wilcoxon"), 0);
  EXPECT_EQ(DORVIA_GetTEDSManufacturerIndex(array.get()), 21);
  EXPECT_EQ(DORVIA_SetTEDSManufacturerStr(array.get(), empty.path().c_str(), "Nobody"), -1);
  EXPECT_EQ(DORVIA_GetTEDSManufacturerIndex(array.get()), 21);

  ScratchDir dir;
  dir.write("Manufacture.txt", "50, \"Acme Sensors\"\n51, \"ACME SENSORS\"\nEndTemplate\n52, \"Late\"\n");
  EXPECT_EQ(DORVIA_SetTEDSManufacturerStr(array.get(), dir.path().c_str(), "acme sensors"), 0);
  EXPECT_EQ(DORVIA_GetTEDSManufacturerIndex(array.get()), 50);
  EXPECT_EQ(DORVIA_SetTEDSManufacturerStr(array.get(), dir.path().c_str(), "Late"), -1);

  char name[64];
  EXPECT_EQ(DORVIA_GetTEDSManufacturerStr(array.get(), dir.path().c_str(), name, sizeof name), 12);
  EXPECT_STREQ(name, "Acme Sensors");
}

TEST(Manufacturers, ChangedFileIsReadAgain) {
  ScratchDir dir;
  dir.write("Manufacture.txt", "60, \"Before\"\n");
  EXPECT_EQ(nameOf(dir.path(), 60), "Before");
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  dir.write("Manufacture.txt", "60, \"After\"\n");
  EXPECT_EQ(nameOf(dir.path(), 60), "After");
  std::filesystem::remove(dir.file("Manufacture.txt"));
  EXPECT_EQ(nameOf(dir.path(), 18), "Velmora - member of Quorvel group");
}

}  // namespace
