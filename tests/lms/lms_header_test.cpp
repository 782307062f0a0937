// The header both LMS layouts share, checked through each layout's exports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lms_fixture.h"

namespace {

using namespace lmstest;

struct Layout {
  const char* name;
  uint32_t templateId;
  int32_t (*decode)(const uint8_t*);
  int32_t (*encode)(uint8_t*);
  int32_t (*fill)(TEDSTemplateFieldArrayStruct*, int32_t);
  int32_t (*read)(const TEDSTemplateFieldArrayStruct*);
};

const Layout kGeometry{"Geometry",
                       118,
                       PELLAM_DecodeGeometryLMSTeds,
                       PELLAM_EncodeGeometryTEDS,
                       PELLAM_FillFieldArrayStructWithGeometry,
                       PELLAM_ReadGeometryFieldArrayStruct};
const Layout kFree{"Free",
                   117,
                   PELLAM_DecodeFreeTEDS,
                   PELLAM_EncodeFreeTEDS,
                   PELLAM_FillFieldArrayStructWithFree,
                   PELLAM_ReadFreeFieldArrayStruct};

enum Item { kManufacturer, kModel, kVersionLetter, kVersionNumber, kSerial, kDate, kSensitivity, kFref };

struct BitRange {
  unsigned first;
  unsigned width;
};
constexpr BitRange kBits[] = {{0, 12}, {12, 16}, {28, 5}, {33, 6}, {39, 25}, {74, 16}, {90, 16}, {106, 8}};

class LmsHeader : public testing::TestWithParam<Layout> {
 protected:
  // Loads the layout's state from an image whose header field `item` holds `raw`.
  void decodeWith(Item item, uint32_t raw) {
    Image image = lmsImage(GetParam().templateId);
    setBits(image, kBits[item].first, kBits[item].width, raw);
    ASSERT_EQ(1, GetParam().decode(image.data()));
  }

  std::string shown(Item item) {
    GetParam().fill(array.get(), 1);
    return value(*array, item);
  }

  // Fills the array from the state, replaces one text, reads it back and returns the
  // header field as the encoder writes it.
  uint32_t readBack(Item item, const std::string& text) {
    GetParam().fill(array.get(), 1);
    setValue(*array, item, text);
    EXPECT_EQ(0, GetParam().read(array.get()));
    Image image{};
    EXPECT_EQ(1, GetParam().encode(image.data()));
    return getBits(image, kBits[item].first, kBits[item].width);
  }

  std::unique_ptr<TEDSTemplateFieldArrayStruct> array = newArray();
};

TEST_P(LmsHeader, ShowsEachFieldInItsFormat) {
  struct Case {
    Item item;
    uint32_t raw;
    const char* text;
  };
  const std::vector<Case> cases = {
      {kManufacturer, 4095, "4095"},   {kModel, 65535, "65535"},         {kVersionLetter, 1, "A"},
      {kVersionLetter, 0, "@"},        {kVersionLetter, 31, "_"},        {kVersionNumber, 63, "63"},
      {kSerial, 33554431, "33554431"}, {kDate, 0, "1/1/1998"},           {kDate, 365, "1/1/1999"},
      {kDate, 789, "2/29/2000"},       {kDate, 790, "3/1/2000"},         {kDate, 1095, "12/31/2000"},
      {kSensitivity, 0, "0.000000"},   {kSensitivity, 2311, "0.000001"}, {kFref, 0, "7.991035"},
      {kFref, 100, "145.874324"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    decodeWith(c.item, c.raw);
    EXPECT_EQ(c.text, shown(c.item));
  }
}

TEST_P(LmsHeader, ReadsEachFieldBack) {
  struct Case {
    Item item;
    const char* text;
    uint32_t raw;
  };
  const std::vector<Case> cases = {
      {kManufacturer, "17", 17},        {kManufacturer, "4097", 1},  // cut to 12 bits when encoding
      {kModel, " +42xyz", 42},          {kVersionLetter, "A", 1},
      {kVersionLetter, "Zulu", 26},     {kVersionNumber, "7", 7},
      {kSerial, "123456", 123456},      {kDate, "1/1/1998", 0},
      {kDate, "2/29/2000", 789},        {kDate, "3/1/2000", 790},
      {kDate, "12/31/1997", 65535},  // the day before the epoch wraps to 16 bits
      {kSensitivity, "0.000001", 2311}, {kSensitivity, "0.0000005", 0},
      {kFref, "7.991035", 0},           {kFref, "145.874324", 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    decodeWith(kManufacturer, 0);
    EXPECT_EQ(c.raw, readBack(c.item, c.text));
  }
}

TEST_P(LmsHeader, TextsThatDoNotParseKeepThePreviousValue) {
  struct Case {
    Item item;
    const char* text;
  };
  const std::vector<Case> cases = {
      {kManufacturer, ""},
      {kManufacturer, "abc"},
      {kModel, "99999999999"},  // does not fit 32 bits
      {kModel, "+-3"},
      {kVersionLetter, ""},
      {kDate, "2/29"},
      {kDate, "13/1/2000"},
      {kDate, "0/1/2000"},
      {kDate, "2-29-2000"},
      {kSensitivity, "-0.000001"},
      {kSensitivity, "0"},
      {kSensitivity, "nan"},
      {kSensitivity, "1e999"},  // beyond a double
      {kFref, "inf"},
      {kFref, "Hz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    decodeWith(c.item, 5);
    EXPECT_EQ(5u, readBack(c.item, c.text));
  }
}

TEST_P(LmsHeader, ValueTextsAreReadNoFurtherThanTheirSixtyFourBytes) {
  decodeWith(kModel, 3);
  GetParam().fill(array.get(), 1);
  // 60 blanks and "1234" fill the value with no terminator; digits follow in memory.
  TEDSTemplateFieldStruct& item = array->items[kModel];
  std::memset(item.value, ' ', sizeof item.value);
  std::memcpy(item.value + sizeof item.value - 4, "1234", 4);
  std::memcpy(&item.datatype, "5678", 4);
  EXPECT_EQ(0, GetParam().read(array.get()));
  Image image{};
  GetParam().encode(image.data());
  EXPECT_EQ(1234u, getBits(image, 12, 16));
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, LmsHeader, testing::Values(kGeometry, kFree),
                         [](const testing::TestParamInfo<Layout>& info) {
                           return std::string(info.param.name);
                         });

// The two layouts differ in how a sensitivity below the base value rounds back.
TEST(LmsSensitivityRounding, GeometryTakesTheNearerIndexFreeFormatTruncates) {
  auto array = newArray();
  // ln(0.998) / ln(1.0003) is -6.67: the nearer integer is -7, -6.67 + 0.5 truncates to -6.
  const std::string text = "0.000000499";

  ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(lmsImage(118).data()));
  PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1);
  setValue(*array, kSensitivity, text);
  PELLAM_ReadGeometryFieldArrayStruct(array.get());
  EXPECT_EQ(65536u - 7u, getBits(encodeGeometry(), 90, 16));

  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(lmsImage(117).data()));
  PELLAM_FillFieldArrayStructWithFree(array.get(), 1);
  setValue(*array, kSensitivity, text);
  PELLAM_ReadFreeFieldArrayStruct(array.get());
  EXPECT_EQ(65536u - 6u, getBits(encodeFree(), 90, 16));
}

TEST(LmsStates, GeometryAndFreeFormatKeepSeparateStates) {
  Image geometry = lmsImage(118);
  setBits(geometry, 0, 12, 5);
  Image free = lmsImage(117);
  setBits(free, 0, 12, 9);
  ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(geometry.data()));
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(free.data()));

  auto array = newArray();
  PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1);
  EXPECT_EQ("5", value(*array, kManufacturer));
  PELLAM_FillFieldArrayStructWithFree(array.get(), 1);
  EXPECT_EQ("9", value(*array, kManufacturer));
}

TEST(LmsArguments, NullPointersAreRefusedWithoutTouchingTheState) {
  Image image = lmsImage(118);
  setBits(image, 0, 12, 77);
  ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(image.data()));

  EXPECT_EQ(0, PELLAM_DecodeGeometryLMSTeds(nullptr));
  EXPECT_EQ(0, PELLAM_DecodeFreeTEDS(nullptr));
  EXPECT_EQ(PELLAM_MISSING_ARGUMENT, PELLAM_EncodeGeometryTEDS(nullptr));
  EXPECT_EQ(PELLAM_MISSING_ARGUMENT, PELLAM_EncodeFreeTEDS(nullptr));
  EXPECT_EQ(PELLAM_MISSING_ARGUMENT, PELLAM_FillFieldArrayStructWithGeometry(nullptr, 1));
  EXPECT_EQ(PELLAM_MISSING_ARGUMENT, PELLAM_FillFieldArrayStructWithFree(nullptr, 0));
  EXPECT_EQ(PELLAM_MISSING_ARGUMENT, PELLAM_ReadGeometryFieldArrayStruct(nullptr));
  EXPECT_EQ(PELLAM_MISSING_ARGUMENT, PELLAM_ReadFreeFieldArrayStruct(nullptr));

  EXPECT_EQ(image, encodeGeometry());
}

}  // namespace
