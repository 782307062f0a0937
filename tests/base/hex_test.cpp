#include "base/hex.h"

#include <gtest/gtest.h>

#include <array>

namespace tedskit::base {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Hex, BytesOutAndBack) {
  const Bytes bytes{0x00, 0x0F, 0xA5, 0xFF};
  EXPECT_EQ(toHex(bytes), "000FA5FF");
  std::string spaced = "memory";
  appendHex(spaced, bytes, ' ');
  EXPECT_EQ(spaced, "memory 00 0F A5 FF");
  EXPECT_EQ(hexBytes("000fA5Ff"), bytes);
  EXPECT_EQ(hexBytes(""), Bytes{});
  EXPECT_EQ(hexBytes("0F1"), std::nullopt) << "a digit left over";
  EXPECT_EQ(hexBytes("0G"), std::nullopt);
  EXPECT_EQ(hexBytes("0 "), std::nullopt);
}

TEST(Hex, Numbers) {
  EXPECT_EQ(hexNumber("0"), 0u);
  EXPECT_EQ(hexNumber("00000DE1a5E1"), 0xDE1A5E1u);
  EXPECT_EQ(hexNumber("FFFFFFFFFFFFFFFF"), ~uint64_t{0});
  for (const char* bad : {"", "10000000000000000", "-1", "0x1", "1 "})
    EXPECT_EQ(hexNumber(bad), std::nullopt) << bad;
}

TEST(Hex, PrefixStopsAtTheFirstPairThatIsNotTwoDigits) {
  struct Case {
    const char* text;
    std::size_t read;
  } cases[] = {{"A1B2C3", 3}, {"A1B2C3D4", 3}, {"A1B", 1}, {"A1Bx", 1}, {"", 0}, {"xx", 0}};
  for (const Case& c : cases) {
    std::array<uint8_t, 3> out{0xEE, 0xEE, 0xEE};
    EXPECT_EQ(readHexPrefix(c.text, out), c.read) << c.text;
    for (std::size_t i = c.read; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE) << c.text << " byte " << i;
  }
  std::array<uint8_t, 3> out{};
  readHexPrefix("a1b2c3", out);
  EXPECT_EQ(out, (std::array<uint8_t, 3>{0xA1, 0xB2, 0xC3}));
}

}  // namespace
}  // namespace tedskit::base
