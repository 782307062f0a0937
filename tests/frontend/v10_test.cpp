// The front end in the V1.0 (TDL) state. One engine and one state per process, so this
// binary keeps its tests in the order they are written.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "../support/scratch_dir.h"
#include "frontend_fixture.h"
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

namespace {

using namespace frontendtest;

// "ieee_temp_v10.tdl" is opened relative to the current directory.
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(
    new tedskittest::InDirectoryEnvironment(std::filesystem::path(TEDSKIT_SOURCE_DIR) / "data"));

constexpr char kHere[] = ".";
// The V1.0 engine takes an 8-byte register and 2568 bytes of memory.
constexpr std::size_t kV10MemorySize = 2568;

int32_t itemIndex(const TaggedFieldArray& array, const char* label) {
  return DORVIA_GetIndexFromTemplateFieldArray(&array.array, label);
}

std::string valueOf(const TaggedFieldArray& array, const char* label) {
  char value[64] = "";
  DORVIA_GetTEDSDataFromTemplateFieldArray(&array.array, label, 5, value, sizeof value);
  return value;
}

TEST(QuillonV10, TheSwitchChangesWhatTheTemplateListShows) {
  IDNameNode* first = nullptr;
  EXPECT_EQ(QUILLON_GetTemplateIDNames(kHere, 0, 0, &first), 3);
  EXPECT_EQ(first->id, 0);

  ASSERT_EQ(QUILLON_SetTEDSV10SupportState(1), 0);
  EXPECT_EQ(getTEDSCurrentFormat(), 1);
  EXPECT_EQ(QUILLON_GetTemplateIDNames(kHere, 0, 0, &first), 6);
  EXPECT_EQ(first->id, -1);
  EXPECT_STREQ(first->name, "");
  std::vector<int32_t> ids;
  for (const IDNameNode* node = first->next; node != nullptr; node = node->next) ids.push_back(node->id);
  EXPECT_EQ(ids, (std::vector<int32_t>{25, 26, 27, 28, 33, 39}));
  EXPECT_STREQ(first->next->name, "Accelerometer & Force");
  // The kind does not matter to the engine's list, except that 3 stays the LMS list.
  EXPECT_EQ(QUILLON_GetTemplateIDNames(kHere, 7, 0, &first), 6);
  EXPECT_EQ(QUILLON_GetTemplateIDNames(kHere, 3, 0, &first), 2);
  EXPECT_EQ(first->id, 117);
}

struct V10Image {
  std::vector<uint8_t> appRegister;
  std::vector<uint8_t> memory;
};

// Field array to form text to image through the front end: the V1.0 engine's exchange
// buffer holds the register and then the memory.
V10Image writeBack(TaggedFieldArray& array) {
  char text[16] = "unchanged";
  EXPECT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(&array, text, sizeof text), 0);
  const char* encoded = nullptr;
  EXPECT_EQ(QUILLON_EncodeTemplateFormToRawTEDS(text, &encoded, 1), 1);
  if (encoded == nullptr) return {};
  V10Image image{std::vector<uint8_t>(encoded, encoded + 8), std::vector<uint8_t>(kV10MemorySize, 0)};
  std::memcpy(image.memory.data(), encoded + 8, 2552);
  return image;
}

std::unique_ptr<TaggedFieldArray> readSensor(const V10Image& image) {
  const char* form = nullptr;
  int32_t valid = 0;
  EXPECT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kHere, image.memory.data(), image.appRegister.data(), 1,
                                                &form, &valid, 1),
            0);
  EXPECT_EQ(valid, 1);
  auto array = newTaggedArray();
  array->kind = 1;
  EXPECT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1), 0);
  return array;
}

// A sensor of template 25 (accelerometer, all select cases on their first case) with a
// valid value in every field.
V10Image accelerometerSensor() {
  sccontrolstruct firstCases{3, 0, {0, 0, 0}};
  EXPECT_EQ(setTemplateSCC(&firstCases), 1);
  auto array = newTaggedArray();
  EXPECT_EQ(QUILLON_SetTEDSTemplate(array.get(), kHere, 0, 25, 0), 0);
  EXPECT_EQ(array->array.templateID, 25);
  for (int32_t i = 0; i < array->array.numItems; ++i) {
    TEDSTemplateFieldStruct& item = array->array.items[i];
    std::strcpy(item.value, item.datatype == TEDS_DT_DATE   ? "6/30/2021"
                            : item.datatype == TEDS_DT_CHR5 ? "B"
                                                            : "2");
  }
  return writeBack(*array);
}

TEST(QuillonV10, SensorRoadThroughTheV10Engine) {
  ASSERT_EQ(QUILLON_SetTEDSV10SupportState(0), -1);  // no template chosen yet
  // A manufacturer's template decoded in the description state saves kind 1 ...
  const HexImage triaxial = readExample("triaxial.hex");
  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kHere, triaxial.memory.c_str(), triaxial.appRegister.c_str(),
                                                0, &form, &valid, 0),
            0);
  ASSERT_EQ(QUILLON_SetTEDSV10SupportState(1), 0);

  // ... which the V1.0 state replaces by the standard kind.
  auto array = readSensor(accelerometerSensor());
  EXPECT_EQ(array->kind, 0);
  EXPECT_EQ(array->array.templateID, 25);
  EXPECT_EQ(valueOf(*array, "Serial no."), "2");
  EXPECT_EQ(valueOf(*array, "Calibration date"), "6/30/2021");

  ASSERT_EQ(DORVIA_SetTEDSSerialNumberStr(&array->array, "654321"), 0);
  ASSERT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(&array->array, "Cal Period", 5, "365"), 0);
  auto reread = readSensor(writeBack(*array));
  EXPECT_EQ(valueOf(*reread, "Serial no."), "654321");
  EXPECT_EQ(valueOf(*reread, "Cal Period"), "365");
  EXPECT_EQ(valueOf(*reread, "Calibration date"), "6/30/2021");

  const int32_t direction = itemIndex(*reread, "Sensitivity direction (x,y,z)");
  ASSERT_GE(direction, 5);
  EXPECT_EQ(QUILLON_getEnumerationCount(direction), 4);
  EXPECT_STREQ(QUILLON_getIndexedEnumeration(direction, 2), "z");
  EXPECT_STREQ(QUILLON_getEnumerationDescription(direction), "Axis");
}

TEST(QuillonV10, LmsImagesAreStillRecognised) {
  ASSERT_EQ(QUILLON_SetTEDSV10SupportState(1), 0);
  std::vector<uint8_t> memory(kV10MemorySize, 0);
  const LmsImage geometry = lmsImage(118);
  std::memcpy(memory.data(), geometry.data(), 32);
  const uint8_t appRegister[8] = {};
  const char* form = nullptr;
  int32_t valid = 0;
  // The V1.0 engine takes any image, so an LMS image counts as read by both.
  EXPECT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kHere, memory.data(), appRegister, 1, &form, &valid, 1), 1);
  EXPECT_STREQ(form, "LMS Geometry");
  auto array = newTaggedArray();
  EXPECT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1), 3);
  EXPECT_EQ(array->kind, 3);
  EXPECT_EQ(array->array.templateID, 118);
}

TEST(QuillonV10, SwitchingBackRestoresTheDescriptionEngine) {
  ASSERT_EQ(QUILLON_SetTEDSV10SupportState(1), 0);
  auto array = newTaggedArray();
  ASSERT_EQ(QUILLON_SetTEDSTemplate(array.get(), kHere, 0, 25, 0), 0);
  QUILLON_SetTEDSV10SupportState(0);
  EXPECT_EQ(getTEDSCurrentFormat(), 0);
  IDNameNode* first = nullptr;
  EXPECT_EQ(QUILLON_GetTemplateIDNames(kHere, 0, 0, &first), 3);
  // The kind saved before the switch was replaced while in the V1.0 state.
  ASSERT_EQ(QUILLON_SetTEDSTemplate(array.get(), kHere, 0, 12, 0), 0);
  char form[16384];
  ASSERT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), form, sizeof form), 0);
  array->kind = 9;
  ASSERT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1), 0);
  EXPECT_EQ(array->kind, 0);
  EXPECT_STREQ(array->array.templateName, "Microphone, prepolarized free-field with preamplifier");
}

}  // namespace
