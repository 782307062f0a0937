// Reading and changing single fields of a field array by label.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "engine_test_support.h"

using namespace enginetest;

namespace {

const char* kForm =
    "Template Accessor fixture\n"
    "abstract Line one.\n"
    "abstract Line two.\n"
    "\"Manufacturer\",\"RO\",\"14\",\"Manufacturer\",DATA,18\n"
    "\"Model number\",\"RO\",\"15\",\"UNINT\", \"00000\",DATA,352\n"
    "\"Version letter\",\"RO\",\"5\",\"Chr5\",DATA,c\n"
    "\"Version number\",\"RO\",\"6\",\"UNINT\", \"00\",DATA,3\n"
    "\"Serial no.\",\"RO\",\"24\",\"UNINT\", \"00000000\",DATA,1048601\n"
    "selector 8, 5\n"
    "\"Sensitivity @ Fref\",\"RW\",\"16\",\"ConRelRes\",1,0.1,0,\"0.0000\",\"mV/g\",DATA,10.5\n"
    "\"Fref\",\"RW\",\"8\",\"ConRelRes\",1,0.1,0,\"000.0\",\"Hz\",DATA,159.2\n"
    "\"F hp electrical\",\"RW\",\"8\",\"ConRelRes\",1,0.1,0,\"0.00\",\"Hz\",DATA,0.3\n"
    "\"Sensitivity direction (x,y,z)\",\"RW\",\"2\",\"Direction\",DATA,2\n"
    "\"Phase invertion (0: 0\xB0, 1: 180\xB0)\",\"RW\",\"1\",\"UNINT\",\"0\",DATA,1\n"
    "\"Meas. position ID\",\"RW\",\"11\",\"UNINT\",\"0000\",DATA,-7\n"
    "\"Calibration date\",\"RW\",\"16\",\"DATE\",DATA,7/4/99\n"
    "\"User data (ascii)\",\"RW\",\"8\",\"ASCII\",DATA,\"hello\"\n"
    "EndTemplate";

class Accessors : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(kForm, array.get(), 1), 0);
  }
  std::string text(const char* fieldLabel) {
    char buffer[64];
    EXPECT_GE(DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), fieldLabel, 5, buffer, sizeof buffer), 0);
    return buffer;
  }
  FieldArrayPtr array = makeArray();
};

TEST_F(Accessors, UnfilledArrayAndUnknownLabel) {
  auto unfilled = makeArray();
  char buffer[16];
  int32_t value = 0;
  EXPECT_EQ(DORVIA_GetTEDSDataFromTemplateFieldArray(unfilled.get(), "Fref", 1, &value, 0),
            DORVIA_ERR_NOT_FILLED);
  EXPECT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(unfilled.get(), "Fref", 1, &value), DORVIA_ERR_NOT_FILLED);
  EXPECT_EQ(DORVIA_GetTEDSSensitivity(unfilled.get()), static_cast<float>(DORVIA_ERR_NOT_FILLED));
  EXPECT_EQ(DORVIA_GetTEDSTemplateName(unfilled.get(), buffer, sizeof buffer), DORVIA_ERR_NOT_FILLED);
  EXPECT_EQ(DORVIA_GetTEDSTemplateIndex(unfilled.get()), DORVIA_ERR_NOT_FILLED);
  EXPECT_EQ(DORVIA_GetTEDSMeasPosID(unfilled.get()), DORVIA_ERR_NOT_FILLED);

  EXPECT_EQ(DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Nope", 1, &value, 0),
            DORVIA_ERR_LABEL_NOT_FOUND);
  EXPECT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(array.get(), "Nope", 1, &value),
            DORVIA_ERR_LABEL_NOT_FOUND);
  EXPECT_EQ(DORVIA_GetIndexFromTemplateFieldArray(array.get(), "Nope"), -1);
  EXPECT_EQ(DORVIA_GetIndexFromTemplateFieldArray(array.get(), "sERIAL NO."), 4);
  EXPECT_EQ(DORVIA_GetTEDSFreqHPElectrical(nullptr), static_cast<float>(DORVIA_ERR_MISSING_ARGUMENT));

  // A record whose item count is garbage is searched only within the record.
  array->numItems = 1 << 30;
  EXPECT_EQ(DORVIA_GetIndexFromTemplateFieldArray(array.get(), "Nope"), -1);
}

TEST_F(Accessors, GenericGetByValueType) {
  char c = 0;
  EXPECT_EQ(DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Version letter", 0, &c, 0), 0);
  EXPECT_EQ(c, 'c');
  int32_t i32 = 0;
  DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Meas. position ID", 1, &i32, 0);
  EXPECT_EQ(i32, -7);
  int16_t i16 = 0;
  DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Meas. position ID", 2, &i16, 0);
  EXPECT_EQ(i16, -7);
  float f = 0;
  DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Fref", 3, &f, 0);
  EXPECT_FLOAT_EQ(f, 159.2f);
  double d = 0;
  DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Fref", 4, &d, 0);
  EXPECT_DOUBLE_EQ(d, 159.2);
  uint16_t u16 = 0;
  DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Model number", 6, &u16, 0);
  EXPECT_EQ(u16, 352);
  uint32_t u32 = 0;
  DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Serial no.", 7, &u32, 0);
  EXPECT_EQ(u32, 1048601u);
  EXPECT_EQ(text("User data (ascii)"), "hello");
  int32_t untouched = 99;
  EXPECT_EQ(DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Fref", 9, &untouched, 0), 0);
  EXPECT_EQ(untouched, 99);
}

TEST_F(Accessors, GenericSetByValueType) {
  struct Case {
    int32_t type;
    const void* value;
    const char* expected;
  };
  const char letter = 'z';
  const int32_t i32 = -123456;
  const int16_t i16 = -300;
  const float f = 2.5f;
  const double d = 0.125;
  const uint16_t u16 = 65535;
  const uint32_t u32 = 4000000000u;
  const Case cases[] = {
      {0, &letter, "zRT"},     {8, &letter, "zRT"},     {1, &i32, "-123456"}, {2, &i16, "-300"},
      {3, &f, "2.5000000000"}, {4, &d, "0.1250000000"}, {5, "text", "text"},  {6, &u16, "65535"},
      {7, &u32, "4000000000"}, {9, &i32, "START"},
  };
  for (const Case& c : cases) {
    DORVIA_SetTEDSUserDataStr(array.get(), "START");
    EXPECT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(array.get(), "User data (ascii)", c.type, c.value), 0);
    EXPECT_EQ(text("User data (ascii)"), c.type == 0 || c.type == 8 ? "zTART" : c.expected) << c.type;
  }
  EXPECT_EQ(DORVIA_SetTEDSUserDataStr(array.get(), std::string(100, 'x').c_str()), 0);
  EXPECT_EQ(text("User data (ascii)"), std::string(63, 'x'));
}

TEST_F(Accessors, TextCopiesFollowTheSizeRule) {
  char buffer[64];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(DORVIA_GetTEDSSerialNumberStr(array.get(), buffer, 1), DORVIA_ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(DORVIA_GetTEDSSerialNumberStr(array.get(), buffer, 4), DORVIA_ERR_BUFFER_TOO_SMALL);
  EXPECT_STREQ(buffer, "104");
  EXPECT_EQ(DORVIA_GetTEDSSerialNumberStr(array.get(), buffer, 8), 7);
  EXPECT_EQ(DORVIA_GetTEDSSerialNumberStr(array.get(), buffer, -1), 7);
  EXPECT_STREQ(buffer, "1048601");
  EXPECT_EQ(DORVIA_GetTEDSTemplateName(array.get(), buffer, sizeof buffer), 16);
  EXPECT_STREQ(buffer, "Accessor fixture");
  EXPECT_EQ(DORVIA_GetTEDSAbstractStr(array.get(), buffer, sizeof buffer), 20);
  EXPECT_STREQ(buffer, "Line one.\nLine two.\n");
  EXPECT_EQ(DORVIA_GetTEDSTemplateIndex(array.get()), 5);
}

TEST_F(Accessors, NamedNumericFields) {
  EXPECT_FLOAT_EQ(DORVIA_GetTEDSSensitivity(array.get()), 10.5f);
  EXPECT_FLOAT_EQ(DORVIA_GetTEDSFreqReference(array.get()), 159.2f);
  EXPECT_FLOAT_EQ(DORVIA_GetTEDSFreqHPElectrical(array.get()), 0.3f);
  EXPECT_EQ(DORVIA_GetTEDSSensitivityDirection(array.get()), 2);
  EXPECT_EQ(DORVIA_GetTEDSPhaseInversionID(array.get()), 1);
  EXPECT_EQ(DORVIA_GetTEDSManufacturerIndex(array.get()), 18);

  EXPECT_EQ(DORVIA_SetTEDSSensitivity(array.get(), 9.75f), 0);
  EXPECT_EQ(text("Sensitivity @ Fref"), "9.7500000000");
  EXPECT_EQ(DORVIA_SetTEDSPhaseInversionID(array.get(), 0), 0);
  EXPECT_EQ(DORVIA_GetTEDSPhaseInversionID(array.get()), 0);
  EXPECT_EQ(DORVIA_SetTEDSMeasPosID(array.get(), 1023), 0);
  EXPECT_EQ(DORVIA_GetTEDSMeasPosID(array.get()), 1023);
  EXPECT_EQ(DORVIA_SetTEDSManufacturerIndex(array.get(), 21), 0);
  EXPECT_EQ(DORVIA_GetTEDSManufacturerIndex(array.get()), 21);
}

TEST_F(Accessors, ModelString) {
  char buffer[32];
  EXPECT_EQ(DORVIA_GetTEDSModelStr(array.get(), '-', buffer, sizeof buffer), 7);
  EXPECT_STREQ(buffer, "352-c-3");

  struct Case {
    const char* text;
    int32_t expected;
  };
  for (const Case& c : {Case{"352-c-03", 0}, Case{"352c03", -83}, Case{"352-C-03", -83}, Case{"352-c-", -83},
                        Case{"", -83}}) {
    EXPECT_EQ(DORVIA_SetTEDSModelStr(array.get(), c.text), c.expected) << c.text;
  }
  EXPECT_EQ(DORVIA_GetTEDSModelStr(array.get(), ' ', buffer, sizeof buffer), 8);
  EXPECT_STREQ(buffer, "352 c 03");
}

TEST_F(Accessors, CalibrationDateAsCalendarTime) {
  std::tm day{};
  day.tm_year = 99;
  day.tm_mon = 6;
  day.tm_mday = 4;
  day.tm_hour = 12;
  day.tm_isdst = -1;
  const int64_t expected = std::mktime(&day);
  EXPECT_EQ(DORVIA_GetTEDSCalibrationDateTimeT(array.get()), expected);
  EXPECT_EQ(DORVIA_SetTEDSCalibrationDateTimeT(array.get(), expected), 0);
  EXPECT_EQ(text("Calibration date"), "7/4/1999");
  EXPECT_EQ(DORVIA_GetTEDSCalibrationDateTimeT(array.get()), expected);

  DORVIA_SetTEDSCalibrationDateStr(array.get(), "7/4");
  EXPECT_EQ(DORVIA_GetTEDSCalibrationDateTimeT(array.get()), DORVIA_ERR_NOT_THREE_PARTS);
  DORVIA_SetTEDSCalibrationDateStr(array.get(), "7//1999");
  EXPECT_EQ(DORVIA_GetTEDSCalibrationDateTimeT(array.get()), DORVIA_ERR_NOT_THREE_PARTS);
}

}  // namespace
