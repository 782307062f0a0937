// LMS geometry TEDS: recognition, the 19 items, location scaling and round trips.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lms_fixture.h"

namespace {

using namespace lmstest;

constexpr unsigned kSelectorBit = 181;
constexpr unsigned kLocationXBit = 182;
constexpr unsigned kLocationYBit = 198;
constexpr unsigned kLocationZBit = 214;

void setName(Image& image, unsigned firstBit, const char (&name)[5]) {
  for (unsigned i = 0; i < 4; ++i) {
    setBits(image, firstBit + 8 * i, 8, static_cast<uint8_t>(name[i]));
  }
}

// A sensor with a value in every field.
Image sampleImage() {
  Image image = lmsImage(118);
  setBits(image, 0, 12, 17);
  setBits(image, 12, 16, 1234);
  setBits(image, 28, 5, 2);
  setBits(image, 33, 6, 5);
  setBits(image, 39, 25, 123456);
  setBits(image, 74, 16, 789);
  setBits(image, 90, 16, 2311);
  setBits(image, 106, 8, 100);
  setName(image, 114, "ACC1");
  setName(image, 146, "N042");
  setBits(image, 178, 1, 1);
  setBits(image, 179, 2, 2);
  setBits(image, kSelectorBit, 1, 0);
  setBits(image, kLocationXBit, 16, 1500);
  setBits(image, kLocationYBit, 16, 65535);
  setBits(image, kLocationZBit, 15, 16385);
  setBits(image, 229, 9, 90);
  setBits(image, 238, 9, 180);
  setBits(image, 247, 9, 359);
  return image;
}

TEST(LmsGeometry, RecognisesSelector3WithTemplate118Only) {
  const Image loaded = sampleImage();
  struct Case {
    uint32_t selector;
    uint32_t templateId;
    int32_t result;
  };
  for (const Case c : {Case{3, 118, 1}, Case{2, 118, 0}, Case{1, 118, 0}, Case{3, 117, 0}, Case{3, 119, 0}}) {
    SCOPED_TRACE(testing::Message() << c.selector << "/" << c.templateId);
    ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(loaded.data()));
    Image other = lmsImage(c.templateId, c.selector);
    setBits(other, 0, 12, 99);
    EXPECT_EQ(c.result, PELLAM_DecodeGeometryLMSTeds(other.data()));
    EXPECT_EQ(c.result ? other : loaded, encodeGeometry());
  }
}

TEST(LmsGeometry, EncodeGivesBackEveryBitOfTheDecodedImage) {
  std::mt19937 random(118);
  for (int round = 0; round < 200; ++round) {
    Image image;
    for (uint8_t& byte : image) {
      byte = static_cast<uint8_t>(random());
    }
    setBits(image, 64, 2, 3);
    setBits(image, 66, 8, 118);
    ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(image.data()));
    ASSERT_EQ(image, encodeGeometry());
  }
}

TEST(LmsGeometry, FillShowsEveryFieldOfTheState) {
  ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(sampleImage().data()));
  auto array = newArray();
  EXPECT_EQ(3, PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1));

  const std::vector<std::string> expected = {
      "17", "1234", "B", "5",     "123456", "2/29/2000", "0.000001", "145.874324", "ACC1", "N042",
      "1",  "2",    "0", "1.500", "-0.001", "-16.383",   "90",       "180",        "359"};
  ASSERT_EQ(19, array->numItems);
  for (int i = 0; i < 19; ++i) {
    EXPECT_EQ(expected[static_cast<std::size_t>(i)], value(*array, i)) << "item " << i;
  }
  EXPECT_EQ(118, array->templateID);
  EXPECT_STREQ("LMS Geometry", array->templateName);
}

TEST(LmsGeometry, FillWithoutValuesLaysOutTheItemsAndLeavesValidMarker) {
  struct Row {
    const char* label;
    int32_t datatype;
    const char* units;
    int32_t width;
    const char* line;
  };
  const std::vector<Row> rows = {
      {"Manufacturer", 1, "", 0, R"("Manufacturer","RO","12")"},
      {"Model number", 2, "", 0, R"("Model Number","RO","16")"},
      {"Version letter", 3, "", 0, R"("Version Letter","RO","5")"},
      {"Version number", 2, "", 0, R"("Version Number","RO","6")"},
      {"Serial no.", 2, "", 0, R"("Serial No","RO","25")"},
      {"Calibration date", 4, "", 0, R"("Calibration Date","RO","16")"},
      {"Sensitivity @ Fref", 5, R"x("V/(m/s_)")x", 6, R"("Sensitivity @ Fref","RO","16")"},
      {"Fref", 5, R"("Hz")", 6, R"("Fref","RO","8")"},
      {"Component Name", 8, "", 0, R"("Component Name","RO","32")"},
      {"Node Name", 8, "", 0, R"("Node Name","RO","32")"},
      {"Phase invertion (0: 0\xB0, 1: 180\xB0)", 2, "", 0,
       "\"Phase invertion (0: 0\xB0, 1: 180\xB0)\",\"RO\",\"1\""},
      {"Sensitivity direction (x,y,z)", 7, "", 0, R"("Sensitivity Direction","RO","2")"},
      {"Geometry Selector", 202, "", 0, R"("Geometry Selector","RO","1")"},
      {"Location X", 203, "m", 3, R"("Location X","RO","16")"},
      {"Location Y", 203, "m", 3, R"("Location Y","RO","16")"},
      {"Location Z", 204, "m", 3, R"("Location Z","RO","15")"},
      {"Orientation X", 205, "degree", 0, R"("Orientation X","RO","9")"},
      {"Orientation Y", 205, "degree", 0, R"("Orientation Y","RO","9")"},
      {"Orientation Z", 205, "degree", 0, R"("Orientation Z","RO","9")"},
  };
  ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(sampleImage().data()));
  for (const uint32_t marker : {0u, TEDS_FIELD_ARRAY_VALID}) {
    auto array = newArray();
    array->validMarker = marker;
    setValue(*array, 3, "left over");
    EXPECT_EQ(3, PELLAM_FillFieldArrayStructWithGeometry(array.get(), 0));
    EXPECT_EQ(marker, array->validMarker);
    ASSERT_EQ(19, array->numItems);
    for (int i = 0; i < 19; ++i) {
      const Row& row = rows[static_cast<std::size_t>(i)];
      const TEDSTemplateFieldStruct& item = array->items[i];
      SCOPED_TRACE(row.label);
      EXPECT_STREQ(row.label, item.label);
      EXPECT_EQ(row.datatype, item.datatype);
      EXPECT_STREQ(row.units, item.units);
      EXPECT_EQ(row.width, item.width);
      EXPECT_STREQ(row.line, array->templateLines[i]);
      EXPECT_EQ("", value(*array, i));
    }
    EXPECT_STREQ("EndTemplate", array->templateLines[19]);
    EXPECT_EQ(5e-7, array->items[6].start);
    EXPECT_EQ(0.00015, array->items[6].step);
    EXPECT_EQ(7.991035024961, array->items[7].start);
    EXPECT_EQ(0.014735074616, array->items[7].step);
    EXPECT_EQ(0.0, array->items[7].param3);
  }
}

struct LocationCase {
  uint32_t selector;
  int item;  // 13 X, 14 Y, 15 Z
  uint32_t raw;
  const char* text;
};

unsigned locationBit(int item) {
  return item == 13 ? kLocationXBit : item == 14 ? kLocationYBit : kLocationZBit;
}

unsigned locationWidth(int item) { return item == 15 ? 15 : 16; }

TEST(LmsGeometry, LocationsAreScaledAndSignedBySelector) {
  const std::vector<LocationCase> cases = {
      {0, 13, 65535, "-0.001"},  {1, 13, 65535, "-0.01"},   {0, 13, 32768, "32.768"},
      {0, 13, 32769, "-32.767"}, {1, 14, 100, "1.00"},      {0, 14, 0, "0.000"},
      {0, 15, 16384, "16.384"},  {0, 15, 16385, "-16.383"}, {1, 15, 32767, "-0.01"},
  };
  auto array = newArray();
  for (const LocationCase& c : cases) {
    SCOPED_TRACE(c.text);
    Image image = lmsImage(118);
    setBits(image, kSelectorBit, 1, c.selector);
    setBits(image, locationBit(c.item), locationWidth(c.item), c.raw);
    ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(image.data()));
    PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1);
    EXPECT_EQ(c.text, value(*array, c.item));
    EXPECT_EQ(c.selector ? 2 : 3, array->items[c.item].width);
  }
}

TEST(LmsGeometry, ReadingALocationUsesTheSelectorReadWithIt) {
  const std::vector<LocationCase> cases = {
      {0, 13, 65535, "-0.001"},  {1, 13, 65535, "-0.01"}, {0, 13, 32768, "32.768"},
      {0, 14, 1500, "1.5"},      {1, 14, 150, "1.5"},     {0, 14, 1235, "1.2346"},
      {0, 15, 16385, "-16.383"}, {1, 15, 32767, "-0.01"}, {0, 15, 16384, "16.384"},
  };
  auto array = newArray();
  for (const LocationCase& c : cases) {
    SCOPED_TRACE(c.text);
    // The state holds the other selector: the one in the array must win.
    Image image = lmsImage(118);
    setBits(image, kSelectorBit, 1, c.selector ^ 1u);
    ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(image.data()));
    PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1);
    setValue(*array, 12, std::to_string(c.selector));
    setValue(*array, c.item, c.text);
    EXPECT_EQ(0, PELLAM_ReadGeometryFieldArrayStruct(array.get()));
    const Image encoded = encodeGeometry();
    EXPECT_EQ(c.selector, getBits(encoded, kSelectorBit, 1));
    EXPECT_EQ(c.raw, getBits(encoded, locationBit(c.item), locationWidth(c.item)));
  }
}

TEST(LmsGeometry, FillThenReadGivesTheSameImage) {
  const Image image = sampleImage();
  ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(image.data()));
  auto array = newArray();
  PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1);
  ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(lmsImage(118).data()));
  EXPECT_EQ(0, PELLAM_ReadGeometryFieldArrayStruct(array.get()));
  EXPECT_EQ(image, encodeGeometry());
}

TEST(LmsGeometry, NamesAreTheirTextsFirstFourCharactersPaddedWithZeros) {
  struct Case {
    const char* text;
    const char name[5];
  };
  const std::vector<Case> cases = {{"ACCEL", "ACCE"}, {"AB", {'A', 'B', 0, 0}}, {"", {0, 0, 0, 0}}};
  auto array = newArray();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(1, PELLAM_DecodeGeometryLMSTeds(sampleImage().data()));
    PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1);
    // Bytes after the terminator are left over from a longer text, not part of this one.
    std::memset(array->items[8].value, 'x', sizeof array->items[8].value);
    std::strcpy(array->items[8].value, c.text);
    PELLAM_ReadGeometryFieldArrayStruct(array.get());
    const Image encoded = encodeGeometry();
    for (unsigned i = 0; i < 4; ++i) {
      EXPECT_EQ(static_cast<uint8_t>(c.name[i]), getBits(encoded, 114 + 8 * i, 8)) << "character " << i;
    }
    EXPECT_EQ(getBits(sampleImage(), 146, 32), getBits(encoded, 146, 32));
  }
}

}  // namespace
