#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "teds_info/value_formulas.h"

namespace {

using namespace dorvia;

TEST(ValueFormulas, ConResRoundsHalfUpAndTruncatesTowardZero) {
  EXPECT_DOUBLE_EQ(rawToConRes(7, 0.0, 0.5), 3.5);
  EXPECT_EQ(conResToRaw(3.74, 0.0, 0.5), 7);
  EXPECT_EQ(conResToRaw(3.76, 0.0, 0.5), 8);
  EXPECT_EQ(conResToRaw(-0.3, 0.0, 0.5), 0);   // -0.6 + 0.5 = -0.1 truncates to 0
  EXPECT_EQ(conResToRaw(-1.3, 0.0, 0.5), -2);  // below the range wraps as two's complement
}

TEST(ValueFormulas, ConRelResIsAPowerOfOnePlusTwiceTheTolerance) {
  EXPECT_NEAR(rawToConRelRes(10, 1.0, 0.05), 2.5937424601, 1e-10);
  EXPECT_EQ(conRelResToRaw(2.5937, 1.0, 0.05), 10);
  EXPECT_EQ(conRelResToRaw(5e-7, 5e-7, 0.00015), 0);
}

TEST(ValueFormulas, NonFiniteResultsBecomeDefinedRawValues) {
  EXPECT_EQ(conRelResToRaw(0.0, 1.0, 0.05), 0);   // log 0 is -inf
  EXPECT_EQ(conRelResToRaw(-1.0, 1.0, 0.05), 0);  // NaN
  EXPECT_EQ(conResToRaw(1.0, 0.0, 0.0), 0);       // +inf
  EXPECT_EQ(truncateToRaw(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(truncateToRaw(4294967296.0 + 5.0), 5);  // only the low 32 bits
  EXPECT_EQ(truncateToRaw(-4294967296.0 - 2.5), -2);
  EXPECT_EQ(truncateToRaw(3e30), truncateToRaw(std::fmod(3e30, 4294967296.0)));
}

TEST(ValueFormulas, DaysToDate) {
  const struct {
    int32_t days;
    const char* text;
  } cases[] = {
      {0, "1/1/1998"},    {364, "12/31/1998"},         {365, "1/1/1999"},
      {790, "3/1/2000"},  {789, "2/29/2000"},          {1095, "12/31/2000"},
      {1461, "1/1/2002"}, {1461 * 3 + 59, "3/1/2010"}, {-3, "1/-2/1998"},
  };
  for (const auto& c : cases) EXPECT_EQ(daysToDate(c.days), c.text) << c.days;
}

TEST(ValueFormulas, DateToDaysInvertsDaysToDate) {
  EXPECT_EQ(dateToDays("12/31/2000"), 1095);
  EXPECT_EQ(dateToDays("3/1/2000"), 790);
  for (int32_t n = 0; n < 6000; n += 37) EXPECT_EQ(dateToDays(daysToDate(n).c_str()), n) << n;
  // Huge counts take the four-year shortcut and still round-trip.
  EXPECT_EQ(dateToDays(daysToDate(2000000000).c_str()), 2000000000);
}

TEST(ValueFormulas, DateTextsOutsideTheCalendarStayBounded) {
  EXPECT_EQ(dateToDays("not a date"), 0);
  EXPECT_EQ(dateToDays("1/2"), 0);
  EXPECT_EQ(dateToDays(nullptr), 0);
  EXPECT_EQ(dateToDays("40/1/1998"), 365);  // months past December count the whole year
  EXPECT_EQ(dateToDays("1/1/1990"), 0);
}

TEST(ValueFormulas, Chr5AlphabetLookup) {
  EXPECT_EQ(chr5Index(' '), 0);
  EXPECT_EQ(chr5Index('A'), 1);
  EXPECT_EQ(chr5Index('Z'), 26);
  EXPECT_EQ(chr5Index('@'), 31);
  EXPECT_EQ(chr5Index('a'), 0);
  EXPECT_EQ(chr5Index('\0'), 0);
}

}  // namespace
