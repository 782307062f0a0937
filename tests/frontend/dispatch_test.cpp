// Form texts and tagged arrays dispatched by template: LMS to pellam, the rest to the
// engine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frontend_fixture.h"
#include "tedskit/dorvia.h"
#include "tedskit/pellam.h"
#include "tedskit/quillon.h"

namespace {

using namespace frontendtest;

// Loads the LMS state of the image's template through a front-end decode.
void decodeLms(const LmsImage& image) {
  const std::string hex = toHex(image.data(), 32);
  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(
      QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, hex.c_str(), "0000000000000000", 0, &form, &valid, 1), 0);
}

LmsImage geometrySample() {
  LmsImage image = lmsImage(118);
  setBits(image, 0, 12, 2047);
  setBits(image, 39, 25, 1234567);
  setBits(image, 182, 16, 65535);  // location X -0.001 m
  setBits(image, 247, 9, 359);
  return image;
}

TEST(QuillonEncode, LmsFormTextsEncodeTheLmsStateAsBytesOrHex) {
  struct Case {
    LmsImage image;
    const char* form;
  } cases[] = {{geometrySample(), "LMS Geometry"}, {lmsImage(117), "LMS Free"}};
  for (const Case& c : cases) {
    decodeLms(c.image);
    const char* bytes = nullptr;
    EXPECT_EQ(QUILLON_EncodeTemplateFormToRawTEDS(c.form, &bytes, 1), 1);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::memcmp(bytes, c.image.data(), 32), 0) << c.form;
    // The rest of the 2560-byte buffer stays zero.
    EXPECT_EQ(bytes[2559], 0);

    const char* hex = nullptr;
    EXPECT_EQ(QUILLON_EncodeTemplateFormToRawTEDS(c.form, &hex, 0), 1);
    EXPECT_EQ(std::string(hex), toHex(c.image.data(), 32)) << c.form;
  }
}

TEST(QuillonEncode, OtherTextsGoToTheEngine) {
  const HexImage standard = readExample("accelerometer.hex");
  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, standard.memory.c_str(),
                                                standard.appRegister.c_str(), 0, &form, &valid, 0),
            0);
  const char* hex = nullptr;
  EXPECT_EQ(QUILLON_EncodeTemplateFormToRawTEDS(form, &hex, 0), 0);
  EXPECT_EQ(std::string(hex), standard.memory.substr(0, 64));
  EXPECT_EQ(QUILLON_EncodeTemplateFormToRawTEDS("Nonsense", &hex, 0), 1);
  EXPECT_EQ(QUILLON_EncodeTemplateFormToRawTEDS(nullptr, &hex, 0), QUILLON_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(QUILLON_EncodeTemplateFormToRawTEDS("LMS Free", nullptr, 0), QUILLON_ERR_MISSING_ARGUMENT);
}

TEST(QuillonFormToArray, LmsTextsGiveKindThreeMarkedArrays) {
  decodeLms(geometrySample());
  auto array = newTaggedArray();
  EXPECT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray("LMS Geometry", array.get(), 0), 3);
  EXPECT_EQ(array->kind, 3);
  EXPECT_EQ(array->array.templateID, 118);
  EXPECT_EQ(array->array.numItems, 19);
  // The values come even with the values flag clear, and the accessors read them.
  EXPECT_STREQ(array->array.items[15 - 2].value, "-0.001");
  char serial[32];
  EXPECT_EQ(DORVIA_GetTEDSSerialNumberStr(&array->array, serial, sizeof serial), 7);
  EXPECT_STREQ(serial, "1234567");

  decodeLms(lmsImage(117));
  EXPECT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray("LMS Free", array.get(), 1), 3);
  EXPECT_EQ(array->array.templateID, 117);
  EXPECT_EQ(array->array.numItems, 9);
  EXPECT_EQ(array->array.validMarker, TEDS_FIELD_ARRAY_VALID);
}

TEST(QuillonArrayToForm, LmsArraysWriteTheirNameAndTheirValuesIntoTheState) {
  struct Case {
    int32_t templateID;
    const char* name;
  } cases[] = {{117, "LMS Free"}, {118, "LMS Geometry"}};
  for (const Case& c : cases) {
    decodeLms(lmsImage(static_cast<uint32_t>(c.templateID)));
    auto array = newTaggedArray();
    // The LMS fill reports the state's selector: 3 once an image has been decoded.
    ASSERT_EQ(QUILLON_SetTEDSTemplate(array.get(), kDataDir, 3, c.templateID, 0), 3);
    array->kind = 3;
    std::strcpy(array->array.items[4].value, "424242");  // serial number

    const auto fits = static_cast<int32_t>(std::strlen(c.name) + 1);
    char text[32] = "untouched";
    EXPECT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text, fits - 1),
              QUILLON_ERR_BUFFER_TOO_SMALL)
        << c.name;
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text, fits), 0) << c.name;
    EXPECT_STREQ(text, c.name);

    LmsImage image{};
    (c.templateID == 117 ? PELLAM_EncodeFreeTEDS : PELLAM_EncodeGeometryTEDS)(image.data());
    LmsImage expected = lmsImage(static_cast<uint32_t>(c.templateID));
    setBits(expected, 39, 25, 424242);
    // The empty texts of the other items leave the state's zeros in place.
    EXPECT_EQ(toHex(image.data(), 32), toHex(expected.data(), 32)) << c.name;
  }
}

TEST(QuillonArrayToForm, OtherArraysGoToTheEngine) {
  auto array = newTaggedArray();
  ASSERT_EQ(QUILLON_SetTEDSTemplate(array.get(), kDataDir, 0, 12, 0), 0);
  // Kind 3 with a template that is not LMS still goes to the engine.
  array->kind = 3;
  char text[8192];
  EXPECT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text, sizeof text), 0);
  EXPECT_EQ(std::string(text).rfind("Template Microphone", 0), 0u);
  EXPECT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text, 20),
            QUILLON_ERR_BUFFER_TOO_SMALL);
}

TEST(QuillonSetTemplate, KindsChooseTheDescriptionFileOrTheLmsLayout) {
  // The LMS fills report the state's selector, 3 after a decode.
  decodeLms(lmsImage(117));
  decodeLms(lmsImage(118));
  ScratchDir empty;
  struct Case {
    const char* dir;
    int32_t kind;
    int32_t templateID;
    int32_t manufacturerID;
    int32_t result;
    const char* name;
    int32_t numItems;
  } cases[] = {
      {kDataDir, 0, 24, 0, 0, "Load cell, strain-gauge bridge", 13},
      {kDataDir, 1, 3, 17, 0, "Triaxial accelerometer, one channel of three", 11},
      {empty.path().c_str(), 3, 117, 0, 3, "LMS Free Format", 9},
      {empty.path().c_str(), 3, 118, 0, 3, "LMS Geometry", 19},
      {empty.path().c_str(), 0, 24, 0, -11, "", 0},
      {kDataDir, 0, 5, 0, -12, "", 0},
      {kDataDir, 2, 0, 0, QUILLON_ERR_MISSING_ARGUMENT, "", 0},
  };
  for (const Case& c : cases) {
    auto array = newTaggedArray();
    array->kind = 7;
    EXPECT_EQ(QUILLON_SetTEDSTemplate(array.get(), c.dir, c.kind, c.templateID, c.manufacturerID), c.result)
        << c.kind << "/" << c.templateID;
    EXPECT_STREQ(array->array.templateName, c.name);
    EXPECT_EQ(array->array.numItems, c.numItems);
    EXPECT_EQ(array->kind, 7);
    if (c.kind == 3) {
      EXPECT_EQ(array->array.validMarker, TEDS_FIELD_ARRAY_VALID);
      EXPECT_STREQ(array->array.items[0].value, "");
    }
  }
  EXPECT_EQ(QUILLON_SetTEDSTemplate(nullptr, kDataDir, 0, 0, 0), QUILLON_ERR_MISSING_ARGUMENT);
}

TEST(QuillonPassThrough, AccessorsWorkOnTheTaggedArray) {
  auto array = newTaggedArray();
  ASSERT_EQ(QUILLON_SetTEDSTemplate(array.get(), kDataDir, 0, 0, 0), 0);
  EXPECT_EQ(QUILLON_SetTEDSUserDataStr(array.get(), "rig 4"), 0);
  char text[64];
  EXPECT_EQ(DORVIA_GetTEDSUserDataStr(&array->array, text, sizeof text), 5);
  EXPECT_EQ(QUILLON_GetTEDSTemplateName(array.get(), text, sizeof text), 34);
  EXPECT_STREQ(text, "Accelerometer, IEPE voltage output");
  EXPECT_EQ(DORVIA_SetTEDSManufacturerIndex(&array->array, 19), 0);
  EXPECT_EQ(QUILLON_GetTEDSManufacturerStr(array.get(), kDataDir, text, sizeof text), 7);
  EXPECT_STREQ(text, "Kistler");
  EXPECT_EQ(QUILLON_ConvertTEDSManufactureIndexToString(kDataDir, 18, text, sizeof text), 33);
  EXPECT_STREQ(text, "Velmora - member of Quorvel group");
  EXPECT_EQ(QUILLON_GetTEDSTemplateName(nullptr, text, sizeof text), QUILLON_ERR_MISSING_ARGUMENT);
}

}  // namespace
