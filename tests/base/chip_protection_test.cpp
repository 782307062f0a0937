#include "base/chip_protection.h"

#include <gtest/gtest.h>

#include <vector>

namespace tedskit::base {
namespace {

TEST(PageRefusal, OnlyAChangeThePageCannotTakeIsRefused) {
  const std::vector<uint8_t> now(128, 0xF0);
  struct Case {
    const char* what;
    std::vector<uint8_t> control;
    std::size_t at;
    uint8_t value;
    std::optional<PageRefusal> expected;
  } cases[] = {
      {"open page", {0, 0, 0, 0}, 5, 0xFF, std::nullopt},
      {"protected page changed", {0, kPageWriteProtected, 0, 0}, 40, 0xF1, PageRefusal{1, false}},
      {"protected page left alone", {kPageWriteProtected, 0, 0, 0}, 40, 0xF1, std::nullopt},
      {"EPROM page, bits cleared", {kPageEpromMode, 0, 0, 0}, 3, 0x30, std::nullopt},
      {"EPROM page, a bit set", {kPageEpromMode, 0, 0, 0}, 3, 0xF8, PageRefusal{0, true}},
      {"page past the control bytes", {0}, 100, 0x00, std::nullopt},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> wanted = now;
    wanted[c.at] = c.value;
    const auto refusal = pageRefusal(now, wanted, c.control);
    ASSERT_EQ(refusal.has_value(), c.expected.has_value()) << c.what;
    if (refusal) {
      EXPECT_EQ(refusal->page, c.expected->page) << c.what;
      EXPECT_EQ(refusal->eprom, c.expected->eprom) << c.what;
    }
  }
}

}  // namespace
}  // namespace tedskit::base
