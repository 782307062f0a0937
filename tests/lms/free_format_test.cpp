// LMS free-format TEDS: recognition, the 9 items and the point ID.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lms_fixture.h"

namespace {

using namespace lmstest;

constexpr int kPointIdItem = 8;

Image imageWithPointId(const std::string& id) {
  Image image = lmsImage(117);
  setBits(image, 0, 12, 42);
  for (unsigned i = 0; i < id.size() && i < 17; ++i) {
    setBits(image, 114 + 8 * i, 8, static_cast<uint8_t>(id[i]));
  }
  return image;
}

// Fills an array from the state, replaces the point ID text and reads the array back.
void readPointId(const std::string& text) {
  auto array = newArray();
  PELLAM_FillFieldArrayStructWithFree(array.get(), 1);
  setValue(*array, kPointIdItem, text);
  ASSERT_EQ(0, PELLAM_ReadFreeFieldArrayStruct(array.get()));
}

std::string pointIdOf(const Image& image) {
  std::string id;
  for (unsigned i = 0; i < 17; ++i) {
    id += static_cast<char>(getBits(image, 114 + 8 * i, 8));
  }
  return id;
}

TEST(LmsFree, RecognisesSelector3WithTemplate117Only) {
  const Image loaded = imageWithPointId("LOADED");
  struct Case {
    uint32_t selector;
    uint32_t templateId;
    int32_t result;
  };
  for (const Case c : {Case{3, 117, 1}, Case{3, 118, 0}, Case{2, 117, 0}, Case{0, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << c.selector << "/" << c.templateId);
    ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(loaded.data()));
    Image other = lmsImage(c.templateId, c.selector);
    setBits(other, 114, 8, 'Q');
    EXPECT_EQ(c.result, PELLAM_DecodeFreeTEDS(other.data()));
    EXPECT_EQ(c.result ? other : loaded, encodeFree());
  }
}

TEST(LmsFree, EncodeGivesBackTheDecodedImageButTheEighteenthCharacter) {
  std::mt19937 random(117);
  for (int round = 0; round < 200; ++round) {
    Image image;
    for (uint8_t& byte : image) {
      byte = static_cast<uint8_t>(random());
    }
    setBits(image, 64, 2, 3);
    setBits(image, 66, 8, 117);
    ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(image.data()));
    setBits(image, 250, 6, 0);
    ASSERT_EQ(image, encodeFree());
  }
}

TEST(LmsFree, FillShowsTheHeaderAndThePointId) {
  Image image = imageWithPointId("SEAT-LEFT-07");
  setBits(image, 28, 5, 3);
  setBits(image, 74, 16, 0);
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(image.data()));
  auto array = newArray();
  EXPECT_EQ(3, PELLAM_FillFieldArrayStructWithFree(array.get(), 1));
  EXPECT_EQ(9, array->numItems);
  EXPECT_EQ(117, array->templateID);
  EXPECT_STREQ("LMS Free Format", array->templateName);
  EXPECT_EQ("42", value(*array, 0));
  EXPECT_EQ("C", value(*array, 2));
  EXPECT_EQ("1/1/1998", value(*array, 5));
  EXPECT_EQ("SEAT-LEFT-07", value(*array, kPointIdItem));
}

TEST(LmsFree, FillWithoutValuesLaysOutTheNineItemsAndLeavesValidMarker) {
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(imageWithPointId("P1").data()));
  auto array = newArray();
  array->validMarker = 0x5a5a5a5a;
  setValue(*array, kPointIdItem, "left over");
  EXPECT_EQ(3, PELLAM_FillFieldArrayStructWithFree(array.get(), 0));
  EXPECT_EQ(0x5a5a5a5au, array->validMarker);
  EXPECT_EQ(9, array->numItems);
  const std::vector<const char*> labels = {"Manufacturer",       "Model number", "Version letter",
                                           "Version number",     "Serial no.",   "Calibration date",
                                           "Sensitivity @ Fref", "Fref",         "Meas. position ID"};
  for (int i = 0; i < 9; ++i) {
    EXPECT_STREQ(labels[static_cast<std::size_t>(i)], array->items[i].label);
    EXPECT_EQ("", value(*array, i));
  }
  const TEDSTemplateFieldStruct& pointId = array->items[kPointIdItem];
  EXPECT_EQ(8, pointId.datatype);
  EXPECT_STREQ("", pointId.units);
  EXPECT_EQ(0, pointId.width);
  EXPECT_STREQ(R"x("Free Format Point ID (ascii)","RO","128")x", array->templateLines[kPointIdItem]);
  EXPECT_STREQ("EndTemplate", array->templateLines[9]);
  EXPECT_STREQ(R"x("V/(m/s_)")x", array->items[6].units);
  EXPECT_STREQ(R"("Hz")", array->items[7].units);
}

TEST(LmsFree, ATwentyCharacterPointIdKeepsSeventeenAndSixBitsOfTheEighteenth) {
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(imageWithPointId("OLD").data()));
  readPointId("ABCDEFGHIJKLMNOPQRST");

  auto array = newArray();
  PELLAM_FillFieldArrayStructWithFree(array.get(), 1);
  EXPECT_EQ("ABCDEFGHIJKLMNOPQR", value(*array, kPointIdItem));

  const Image image = encodeFree();
  EXPECT_EQ("ABCDEFGHIJKLMNOPQ", pointIdOf(image));
  EXPECT_EQ(static_cast<uint32_t>('R') & 0x3F, getBits(image, 250, 6));

  // Decoding ends the text after the seventeenth character.
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(image.data()));
  PELLAM_FillFieldArrayStructWithFree(array.get(), 1);
  EXPECT_EQ("ABCDEFGHIJKLMNOPQ", value(*array, kPointIdItem));
}

TEST(LmsFree, AShortPointIdIsPaddedWithZeros) {
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(imageWithPointId("ABCDEFGHIJKLMNOPQ").data()));
  auto array = newArray();
  PELLAM_FillFieldArrayStructWithFree(array.get(), 1);
  // Bytes after the terminator are left over from a longer text, not part of this one.
  std::memset(array->items[kPointIdItem].value, 'x', sizeof array->items[kPointIdItem].value);
  std::strcpy(array->items[kPointIdItem].value, "P7");
  PELLAM_ReadFreeFieldArrayStruct(array.get());

  const Image image = encodeFree();
  EXPECT_EQ(std::string("P7") + std::string(15, '\0'), pointIdOf(image));
  EXPECT_EQ(0u, getBits(image, 250, 6));
}

TEST(LmsFree, FillThenReadGivesTheSameImage) {
  Image image = imageWithPointId("NODE 12 +Z");
  setBits(image, 12, 16, 777);
  setBits(image, 74, 16, 9000);
  setBits(image, 90, 16, 2311);
  setBits(image, 106, 8, 37);
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(image.data()));
  auto array = newArray();
  PELLAM_FillFieldArrayStructWithFree(array.get(), 1);
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(lmsImage(117).data()));
  EXPECT_EQ(0, PELLAM_ReadFreeFieldArrayStruct(array.get()));
  EXPECT_EQ(image, encodeFree());
}

}  // namespace
