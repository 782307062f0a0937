#include "base/chr5.h"

#include <gtest/gtest.h>

namespace tedskit::base {
namespace {

TEST(Chr5, CodesAndTheEnginesWaysWithLowerCase) {
  struct Case {
    char c;
    uint32_t upper;  // LowerCase::AsUpperCase
    uint32_t space;  // LowerCase::AsSpace
  } cases[] = {{' ', 0, 0}, {'A', 1, 1},  {'Z', 26, 26}, {',', 27, 27}, {'@', 31, 31},
               {'a', 1, 0}, {'z', 26, 0}, {'#', 0, 0},   {'\0', 0, 0},  {'0', 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(chr5Code(c.c, LowerCase::AsUpperCase), c.upper) << c.c;
    EXPECT_EQ(chr5Code(c.c, LowerCase::AsSpace), c.space) << c.c;
  }
  for (uint32_t code = 0; code < 32; ++code) EXPECT_EQ(chr5Code(chr5Char(code), LowerCase::AsSpace), code);
  EXPECT_EQ(chr5Char(32), ' ');
}

}  // namespace
}  // namespace tedskit::base
