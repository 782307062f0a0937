#include "base/fixed_field.h"

#include <gtest/gtest.h>

#include <string>

namespace tedskit::base {
namespace {

TEST(FixedField, CopiesAreCutTerminatedAndClearBehind) {
  char field[6];
  std::memset(field, '#', sizeof field);
  copyToField(field, std::string_view("abcdefgh"));
  EXPECT_EQ(fieldText(field), "abcde");
  copyToField(field, "xy");
  EXPECT_EQ(std::string(field, sizeof field), std::string("xy\0\0\0\0", 6)) << "no earlier text behind";
  copyToField(field, static_cast<const char*>(nullptr));
  EXPECT_EQ(fieldText(field), "");
  std::memset(field, 'z', sizeof field);
  EXPECT_EQ(fieldText(field), "zzzzzz") << "a full field ends at its end";
}

TEST(FixedField, CopyOutToACallersBuffer) {
  struct Case {
    int32_t size;
    TooSmall tooSmall;
    bool fits;
    const char* buffer;  // what the 8-byte buffer, '#'-filled before, shows
  } cases[] = {
      {-1, TooSmall::CutCopy, true, "1048601"},  {8, TooSmall::CutCopy, true, "1048601"},
      {7, TooSmall::CutCopy, false, "104860"},   {1, TooSmall::CutCopy, false, ""},
      {0, TooSmall::CutCopy, false, "########"}, {7, TooSmall::Nothing, false, "########"},
      {8, TooSmall::Nothing, true, "1048601"},
  };
  for (const Case& c : cases) {
    char buffer[9] = "########";
    EXPECT_EQ(copyOut("1048601", buffer, c.size, c.tooSmall), c.fits) << c.size;
    EXPECT_STREQ(buffer, c.buffer) << c.size;
  }
  EXPECT_FALSE(copyOut("x", nullptr, 10));
}

}  // namespace
}  // namespace tedskit::base
