#include "base/calendar.h"

#include <gtest/gtest.h>

namespace tedskit::base {
namespace {

TEST(Calendar, DateTexts) {
  struct Case {
    int64_t days;
    const char* text;
  } cases[] = {
      {0, "1/1/1998"},
      {364, "12/31/1998"},
      {365, "1/1/1999"},
      {789, "2/29/2000"},
      {790, "3/1/2000"},
      {1095, "12/31/2000"},
      {1461, "1/1/2002"},
      {-1, "12/31/1997"},
      {-731, "1/1/1996"},
      {-672, "2/29/1996"},
      {4294967295, "8/4/11760977"},
  };
  for (const Case& c : cases) EXPECT_EQ(dateText(c.days), c.text) << c.days;
  EXPECT_EQ(dateText(-3, EarlyDays::AsJanuary1998), "1/-2/1998");
  EXPECT_EQ(dateText(59, EarlyDays::AsJanuary1998), "3/1/1998");
}

TEST(Calendar, TextAndDaysRoundTripEveryWay) {
  for (int64_t days = -3000; days < 6000; days += 7) {
    const std::string text = dateText(days);
    EXPECT_EQ(daysOfDateText(text, DateReading::Strict), days) << text;
    if (days >= 0) {
      EXPECT_EQ(daysOfDateText(text, DateReading::Held), days) << text;
      EXPECT_EQ(daysOfDateText(text, DateReading::Counted), days) << text;
    }
  }
}

TEST(Calendar, EachReadingKeepsItsRules) {
  const int64_t dec2020 = *daysOfDateText("12/1/2020", DateReading::Strict);
  const int64_t jan2021 = *daysOfDateText("1/1/2021", DateReading::Strict);
  struct Case {
    const char* text;
    std::optional<int64_t> held, counted, strict;
  } cases[] = {
      {"13/1/2020", dec2020, jan2021, std::nullopt},
      {"0/1/2021", jan2021, jan2021, std::nullopt},
      {"3/1/1990", 0, 59, -2863},  // 1990 has no leap day; the TDL engine counts from 1998
      {"1/1/1990", 0, 0, -2922},
      {" +1/ 2/ 2000", 731, 731, 731},
      {"1/1/1998 and more", 0, 0, 0},
      {"1/40/1998", 39, 39, 39},
      {"1/1/99999999999", 3651770230, 2147483647, std::nullopt},
      {"1/2", std::nullopt, std::nullopt, std::nullopt},
      {"1-2-2000", std::nullopt, std::nullopt, std::nullopt},
      {"+-1/1/2000", std::nullopt, std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(daysOfDateText(c.text, DateReading::Held), c.held) << c.text;
    EXPECT_EQ(daysOfDateText(c.text, DateReading::Counted), c.counted) << c.text;
    EXPECT_EQ(daysOfDateText(c.text, DateReading::Strict), c.strict) << c.text;
  }
}

}  // namespace
}  // namespace tedskit::base
