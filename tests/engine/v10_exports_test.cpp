// The V1.0 exports work on one engine per process, so this binary keeps its tests in
// the order they are written: the first one sees the library as loaded.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <unistd.h>

#include "../support/scratch_dir.h"
#include "tedskit/dorvia.h"
#include "v10_fixture.h"

namespace {

using namespace engine_test;

// "ieee_temp_v10.tdl" is opened relative to the current directory.
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(
    new tedskittest::InDirectoryEnvironment(std::filesystem::path(TEDSKIT_SOURCE_DIR) / "data"));

int32_t fieldIndexOf(const TEDSTemplateFieldArrayStruct& array, const char* label) {
  for (int i = 0; i < array.numItems; ++i) {
    if (std::strcmp(array.items[i].label, label) == 0) return i;
  }
  return -1;
}

TEST(V10State, BeforeAnyEngineEverythingRefusesThenTheSwitchCreatesOne) {
  auto array = newArray();
  std::array<uint8_t, 8> appreg{};
  std::vector<uint8_t> memory(kTedsMemorySize, 0);
  EXPECT_EQ(getTEDSCurrentFormat(), 0);
  EXPECT_EQ(gTedsinfoptr, nullptr);
  EXPECT_EQ(DORVIA_SetTEDSV10SupportState(0), -1);
  EXPECT_EQ(setV10APPandMemory(appreg.data(), memory.data()), -1);
  EXPECT_EQ(getV10APPandMemory(appreg.data(), memory.data()), -1);
  EXPECT_EQ(DORVIA_FormatTEDSV10FromRaw(array.get()), -1);
  EXPECT_EQ(DORVIA_FormatTEDSV10FromFieldArray(array.get()), -1);
  EXPECT_EQ(DORVIA_SetTEDSFieldArrayStructToTemplate("", 25, 0, 0, array.get()), -1);
  EXPECT_EQ(getCurrentTemplates(), 0);
  EXPECT_EQ(DORVIA_getEnumerationCount(7), 0);
  EXPECT_STREQ(DORVIA_getIndexedEnumeration(7, 0), "");

  EXPECT_EQ(DORVIA_SetTEDSV10SupportState(1), 0);
  EXPECT_EQ(getTEDSCurrentFormat(), 1);
  CTEDSInfo* engine = gTedsinfoptr;
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(DORVIA_SetTEDSV10SupportState(1), 0);
  EXPECT_EQ(gTedsinfoptr, engine);  // kept, not reloaded
  EXPECT_EQ(engine->GetTemplateFilesHeld(), 1);
  EXPECT_EQ(DORVIA_SetTEDSV10SupportState(0), -1);  // no template chosen yet
  EXPECT_EQ(getTEDSCurrentFormat(), 0);
}

TEST(V10Templates, ListAndAlternates) {
  ASSERT_EQ(DORVIA_SetTEDSV10SupportState(1), 0);
  ASSERT_EQ(getCurrentTemplates(), 6);
  const int32_t expectedIDs[] = {25, 26, 27, 28, 33, 39};
  for (int32_t i = 0; i < 6; ++i) {
    char name[256] = "";
    int32_t id = -1;
    ASSERT_EQ(getTemplateItem(i, name, &id), 0);
    EXPECT_EQ(id, expectedIDs[i]);
    EXPECT_GT(std::strlen(name), 0u);
  }
  char name[256];
  int32_t id;
  EXPECT_EQ(getTemplateItem(0, name, &id), 0);
  EXPECT_STREQ(name, "Accelerometer & Force");
  EXPECT_EQ(getTemplateItem(6, name, &id), -1);
  EXPECT_EQ(getTemplateItem(-1, name, &id), -1);

  const std::pair<int32_t, int32_t> alternates[] = {{0, 25}, {2, -1},  {17, 28}, {33, -1},
                                                    {28, 1}, {30, -1}, {-4, -1}};
  for (auto [n, expected] : alternates) EXPECT_EQ(DORVIA_GetAlternateTemplate(n), expected) << n;
}

TEST(V10Templates, SelectCaseRecordHandOver) {
  ASSERT_EQ(DORVIA_SetTEDSV10SupportState(1), 0);
  sccontrolstruct in{3, 0, {1, -1, 1}};
  EXPECT_EQ(setTemplateSCC(&in), 1);
  sccontrolstruct out{};
  EXPECT_EQ(getTemplateSCC(&out), 1);
  EXPECT_EQ(out.count, 3);
  EXPECT_EQ(out.values[0], 1);
  EXPECT_EQ(out.values[1], 0);  // "not chosen" is taken as 0
  EXPECT_EQ(out.values[2], 1);

  sccontrolstruct seventeen{17, 0, {0}};
  EXPECT_EQ(setTemplateSCC(&seventeen), 0);
  out.count = 99;
  EXPECT_EQ(getTemplateSCC(&out), 0);
  EXPECT_EQ(out.count, 0);
  EXPECT_EQ(setTemplateSCC(nullptr), 0);
  EXPECT_EQ(getTemplateSCC(nullptr), 0);
}

TEST(V10Templates, LayoutEnumerationsAndSelectCaseTable) {
  ASSERT_EQ(DORVIA_SetTEDSV10SupportState(1), 0);
  auto array = newArray();
  array->templateID = 0;  // old template 0: template 25, all select cases on case 0
  ASSERT_EQ(DORVIA_FormatTEDSV10FromTemplateOnly(array.get()), 0);
  EXPECT_EQ(array->templateID, 25);

  const int32_t direction = fieldIndexOf(*array, "Sensitivity direction (x,y,z)");
  ASSERT_GE(direction, 5);
  EXPECT_EQ(DORVIA_getEnumerationCount(direction), 4);
  EXPECT_STREQ(DORVIA_getIndexedEnumeration(direction, 2), "z");
  EXPECT_STREQ(DORVIA_getIndexedEnumeration(direction, 4), "");
  EXPECT_STREQ(DORVIA_getEnumerationDescription(direction), "Axis");
  // Property 0 of this layout, a number: no enumeration. Basic rows and indices past
  // the fields have no property at all.
  EXPECT_EQ(DORVIA_getEnumerationCount(5), 0);
  EXPECT_STREQ(DORVIA_getEnumerationDescription(5), "");
  for (int32_t k : {-1, 0, 4, array->numItems, 100000}) {
    EXPECT_EQ(DORVIA_getEnumerationCount(k), 0) << k;
    EXPECT_STREQ(DORVIA_getIndexedEnumeration(k, 0), "") << k;
    EXPECT_STREQ(DORVIA_getEnumerationDescription(k), "") << k;
  }

  ASSERT_EQ(getSCCStructure(), 3);
  char description[256], case0[256], case1[256];
  ASSERT_EQ(getSCCData(0, description, case0, case1), 0);
  EXPECT_STREQ(description, "Transducer type");
  EXPECT_STREQ(case0, "Acceleration");
  EXPECT_STREQ(case1, "Force");
  EXPECT_EQ(getSCCData(3, description, case0, case1), -1);
  EXPECT_EQ(getSCCData(-1, description, case0, case1), -1);

  // Any state: IDs above 24 go to the V1.0 engine.
  ASSERT_EQ(DORVIA_SetTEDSV10SupportState(0), 0);  // template 25 on 0, 0, 0 is old template 0
  ASSERT_EQ(DORVIA_SetTEDSFieldArrayStructToTemplate("", 27, 0, 0, array.get()), 0);
  EXPECT_EQ(array->templateID, 27);
  EXPECT_GE(fieldIndexOf(*array, "Polarization voltage"), 5);
  EXPECT_EQ(DORVIA_SetTEDSFieldArrayStructToTemplate("", 77, 0, 0, array.get()), -1);
}

TEST(V10Templates, UserChosenCaseIsSetThroughTheTemplateState) {
  ASSERT_EQ(DORVIA_SetTEDSV10SupportState(1), 0);
  auto array = newArray();
  // The first layout of a process takes the select-case values given with setTemplateSCC;
  // a change of template starts from the new template's own row, which is what this shows.
  array->templateID = 0;
  ASSERT_EQ(DORVIA_FormatTEDSV10FromTemplateOnly(array.get()), 0);
  array->templateID = 33;
  ASSERT_EQ(DORVIA_FormatTEDSV10FromTemplateOnly(array.get()), 0);
  const int32_t measurand = fieldIndexOf(*array, "Physical measurand");
  ASSERT_GE(measurand, 5);
  EXPECT_EQ(array->items[measurand].datatype, TEDS_DT_ENUMERATION);
  EXPECT_GE(DORVIA_getEnumerationCount(measurand), 5);  // one enumerate per case
  EXPECT_STREQ(DORVIA_getIndexedEnumeration(measurand, 2), "strain");

  EXPECT_EQ(DORVIA_SetTemplateState(measurand, 4), 1);
  EXPECT_EQ(DORVIA_SetTemplateState(measurand, 99), 0);
  EXPECT_EQ(DORVIA_SetTemplateState(2, 1), 0);  // a Basic TEDS row
  ASSERT_EQ(DORVIA_FormatTEDSV10FromTemplateOnly(array.get()), 0);
  EXPECT_STREQ(array->items[fieldIndexOf(*array, "Min physical value")].units, "\"N\"");
}

// Decode, convert, edit, convert back and encode, all through the exports.
TEST(V10Cycle, WholeRoadThroughTheExports) {
  ASSERT_EQ(DORVIA_SetTEDSV10SupportState(1), 0);
  CTDLTemplate* tdl = gTedsinfoptr->GetTemplateCollection(-1)->findTemplate(25);
  ASSERT_NE(tdl, nullptr);
  ImageGenerator image(*tdl, 3, 0, 25);

  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(DORVIA_DecodeRawTEDSToTemplateForm("templates", image.memory().data(), image.appreg().data(), 1,
                                               &form, &valid),
            0);
  EXPECT_EQ(valid, 1);
  ASSERT_NE(form, nullptr);
  EXPECT_STREQ(form, "");
  EXPECT_STREQ(gTedsinfoptr->oldTemplateFilename, "templates/TemplateDescription.txt");

  auto array = newArray();
  ASSERT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1), 0);
  EXPECT_EQ(array->validMarker, TEDS_FIELD_ARRAY_VALID);
  EXPECT_EQ(array->templateID, 25);
  ASSERT_EQ(DORVIA_SetTEDSSerialNumberStr(array.get(), "654321"), 0);
  ASSERT_EQ(DORVIA_SetTEDSDataToTemplateFieldArray(array.get(), "Cal Period", 5, "365"), 0);

  char text[16] = "unchanged";
  ASSERT_EQ(DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text, sizeof text), 0);
  EXPECT_STREQ(text, "");
  const char* encoded = nullptr;
  ASSERT_EQ(DORVIA_EncodeTemplateFormToRawTEDS(text, &encoded, 1), 1);
  ASSERT_NE(encoded, nullptr);

  std::array<uint8_t, 8> appreg = image.appreg();
  int32_t cursor = 40;  // serial number: 24 bits from bit 40
  for (int i = 0; i < 24; ++i, ++cursor) {
    const auto bit = static_cast<uint8_t>(1u << (cursor % 8));
    appreg[static_cast<size_t>(cursor / 8)] =
        static_cast<uint8_t>(((654321u >> i) & 1u) ? appreg[cursor / 8] | bit : appreg[cursor / 8] & ~bit);
  }
  std::vector<uint8_t> memory = image.memory();
  const FieldSpot period = image.spots().at("Cal Period");
  for (int i = 0; i < period.width; ++i) {
    const int p = period.position + i;
    const auto bit = static_cast<uint8_t>(1u << (p % 8));
    memory[static_cast<size_t>(p / 8)] =
        static_cast<uint8_t>(((365u >> i) & 1u) ? memory[p / 8] | bit : memory[p / 8] & ~bit);
  }
  setChecksum(appreg, memory);
  EXPECT_EQ(0, std::memcmp(encoded, appreg.data(), 8));
  EXPECT_EQ(0, std::memcmp(encoded + 8, memory.data(), 2552));

  // Back to the description engine: the matching old template number, if any.
  const std::vector<int32_t>& sc = image.selectCaseValues();
  const int32_t matching = DORVIA_SetTEDSV10SupportState(0);
  if (sc[0] == 0 && sc[1] == 0) {
    EXPECT_EQ(matching, sc[2]);  // old templates 0 and 1
  } else {
    EXPECT_EQ(matching, -1);
  }
}

TEST(V10Cycle, HexadecimalImagesAndMissingEngineImagesAreRefused) {
  ASSERT_EQ(DORVIA_SetTEDSV10SupportState(1), 0);
  const char* form = nullptr;
  int32_t valid = 7;
  EXPECT_EQ(DORVIA_DecodeRawTEDSToTemplateForm("", "00", "00", 0, &form, &valid),
            DORVIA_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(valid, 0);
  auto array = newArray();
  EXPECT_EQ(DORVIA_FormatTEDSV10FromFieldArray(nullptr), DORVIA_ERR_NOT_FILLED);
  EXPECT_EQ(DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), nullptr, 0),
            DORVIA_ERR_NOT_FILLED);
  DORVIA_SetTEDSV10SupportState(0);
}

}  // namespace
