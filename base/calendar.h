// Dates as days since 1 January 1998, on a calendar with a leap day in every year
// divisible by 4 (1996, 2000, ...), shown as "month/day/year". Days before 1998 are
// counted backwards on the same calendar.
#ifndef TEDSKIT_BASE_CALENDAR_H
#define TEDSKIT_BASE_CALENDAR_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tedskit::base {

struct Date {
  int64_t year;
  int month;  // 1 to 12
  int64_t day;
};

bool isLeapYear(int64_t year);
// Days from 1 January 1998 to 1 January of the year.
int64_t daysBeforeYear(int64_t year);
// Days from 1 January to the first of the month (1 to 13; 13 is the whole year).
int64_t daysBeforeMonth(int month, int64_t year);
Date dateOfDays(int64_t days);

// How a day count before 1 January 1998 is shown: as the date it is, or, as the TDL
// engine shows it, as day n + 1 of January 1998 ("1/-2/1998" for -3).
enum class EarlyDays { AsDate, AsJanuary1998 };
std::string dateText(int64_t days, EarlyDays early = EarlyDays::AsDate);
// "yyyy-mm-dd".
std::string isoDateText(int64_t days);

// How a "month/day/year" text is taken, one way per reader:
enum class DateReading {
  // The description engine: the month held to 1-12, the day to +-100000, the year to
  // 0-10000000, and a date before 1998 taken as day 0.
  Held,
  // The TDL engine: a year before 1998 counts as 1998, a month past December as the whole
  // year, and the result is held to 32 bits.
  Counted,
  // The LMS layouts: the month must be 1-12 and every number and the result must fit
  // 32 bits; otherwise there is no date.
  Strict,
};
// Days of a text of three decimal numbers separated by '/' (blanks and a sign before
// each number, anything after the last); nothing when the text is not that.
std::optional<int64_t> daysOfDateText(std::string_view text, DateReading reading);

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_CALENDAR_H
