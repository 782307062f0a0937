// The road of one sensor through the front end: read, edit, write back, read again.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frontend_fixture.h"
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

namespace {

using namespace frontendtest;

// Byte input for a decode: the image at the front of the engine's 513 bytes.
std::vector<uint8_t> byteMemory(const char* image, std::size_t size) {
  std::vector<uint8_t> memory(513, 0);
  std::memcpy(memory.data(), image, size);
  return memory;
}

std::string text(int32_t (*get)(const TEDSTemplateFieldArrayStruct*, char*, int32_t),
                 const TaggedFieldArray& array) {
  char buffer[128];
  EXPECT_GE(get(&array.array, buffer, sizeof buffer), 0);
  return buffer;
}

TEST(QuillonRoad, StandardSensorEditedAndWrittenBack) {
  const HexImage sensor = readExample("accelerometer.hex");
  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, sensor.memory.c_str(), sensor.appRegister.c_str(),
                                                0, &form, &valid, 1),
            0);
  auto array = newTaggedArray();
  ASSERT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1), 0);
  EXPECT_EQ(array->kind, 0);
  const std::string model = text(DORVIA_GetTEDSModelNumberStr, *array);
  const std::string date = text(DORVIA_GetTEDSCalibrationDateStr, *array);

  ASSERT_EQ(DORVIA_SetTEDSSerialNumberStr(&array->array, "98765"), 0);
  ASSERT_EQ(QUILLON_SetTEDSUserDataStr(array.get(), "bay 4"), 0);
  char edited[16384];
  ASSERT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), edited, sizeof edited), 0);
  const char* image = nullptr;
  ASSERT_EQ(QUILLON_EncodeTemplateFormToRawTEDS(edited, &image, 1), 0);

  const std::vector<uint8_t> memory = byteMemory(image, 128);
  const uint8_t* appRegister = memory.data() + 1;  // the Basic TEDS follows the checksum
  ASSERT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, memory.data(), appRegister, 1, &form, &valid, 1),
            0);
  auto reread = newTaggedArray();
  ASSERT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, reread.get(), 1), 0);
  EXPECT_EQ(text(DORVIA_GetTEDSSerialNumberStr, *reread), "98765");
  EXPECT_EQ(text(DORVIA_GetTEDSUserDataStr, *reread), "bay 4");
  EXPECT_EQ(text(DORVIA_GetTEDSModelNumberStr, *reread), model);
  EXPECT_EQ(text(DORVIA_GetTEDSCalibrationDateStr, *reread), date);
}

TEST(QuillonRoad, LmsGeometrySensorEditedAndWrittenBack) {
  LmsImage sensor = lmsImage(118);
  setBits(sensor, 0, 12, 21);
  setBits(sensor, 39, 25, 777);
  setBits(sensor, 181, 1, 1);       // locations in centimetres
  setBits(sensor, 182, 16, 65535);  // X -0.01 m
  const std::string hex = toHex(sensor.data(), 32);
  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(
      QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, hex.c_str(), "0000000000000000", 0, &form, &valid, 0), 0);
  ASSERT_STREQ(form, "LMS Geometry");

  auto array = newTaggedArray();
  ASSERT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1), 3);
  char location[16];
  ASSERT_EQ(
      DORVIA_GetTEDSDataFromTemplateFieldArray(&array->array, "Location X", 5, location, sizeof location), 5);
  EXPECT_STREQ(location, "-0.01");
  ASSERT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(&array->array, "Location X", 5, "-1.5"), 0);
  ASSERT_EQ(DORVIA_SetTEDSSerialNumberStr(&array->array, "778"), 0);

  char name[16];
  ASSERT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), name, sizeof name), 0);
  const char* image = nullptr;
  ASSERT_EQ(QUILLON_EncodeTemplateFormToRawTEDS(name, &image, 1), 1);

  LmsImage expected = sensor;
  setBits(expected, 39, 25, 778);
  setBits(expected, 182, 16, 65536 - 150);
  EXPECT_EQ(toHex(reinterpret_cast<const uint8_t*>(image), 32), toHex(expected.data(), 32));

  const std::vector<uint8_t> memory = byteMemory(image, 32);
  ASSERT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, memory.data(), memory.data(), 1, &form, &valid, 1),
            0);
  auto reread = newTaggedArray();
  ASSERT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, reread.get(), 1), 3);
  EXPECT_EQ(text(DORVIA_GetTEDSSerialNumberStr, *reread), "778");
  EXPECT_STREQ(reread->array.items[13].value, "-1.50");
}

}  // namespace
