#include "base/bit_field.h"

#include <gtest/gtest.h>

#include <array>

namespace tedskit::base {
namespace {

TEST(BitField, ReadsLeastSignificantBitFirstAndZeroOutsideTheImage) {
  const std::array<uint8_t, 4> image{0xA5, 0x3C, 0xFF, 0x01};
  struct Case {
    int64_t position;
    int64_t width;
    uint64_t value;
  } cases[] = {
      {0, 8, 0xA5},   {4, 8, 0xCA},        {0, 32, 0x01FF3CA5},   {3, 1, 0},    {5, 1, 1},
      {24, 16, 0x01}, {30, 8, 0},          {-4, 8, 0x50},         {-100, 8, 0}, {0, 0, 0},
      {0, -5, 0},     {0, 64, 0x01FF3CA5}, {0, 1000, 0x01FF3CA5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(readBits(image, c.position, c.width), c.value) << c.position << "+" << c.width;
}

TEST(BitField, WritesOnlyInsideTheImageAndReadsBack) {
  std::array<uint8_t, 5> backing{};
  backing.fill(0x00);
  const std::span<uint8_t> image = std::span(backing).first(4);
  writeBits(image, 3, 13, 0x1ABC);
  EXPECT_EQ(readBits(image, 3, 13), 0x1ABCu & 0x1FFF);
  EXPECT_EQ(readBits(image, 0, 3), 0u) << "bits before the field stay";
  writeBits(image, 28, 12, 0xFFF);
  EXPECT_EQ(image[3] >> 4, 0xF);
  EXPECT_EQ(backing[4], 0) << "nothing past the image";
  writeBits(image, -4, 8, 0x00);
  EXPECT_EQ(image[0] & 0x0F, 0);
  writeBits(image, 0, 100, ~uint64_t{0});
  EXPECT_EQ(readBits(image, 0, 32), 0xFFFFFFFFu);
  EXPECT_EQ(backing[4], 0);
}

}  // namespace
}  // namespace tedskit::base
