#include "base/calendar.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <limits>

namespace tedskit::base {
namespace {

constexpr int64_t kDaysPerCycle = 4 * 365 + 1;
constexpr std::array<int, 12> kMonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int64_t floorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

int64_t daysInMonth(int month, int64_t year) {
  return kMonthDays[static_cast<std::size_t>(month - 1)] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// A decimal number as the C library's strtoll reads it (blanks, a sign, digits; held to
// the range of long long); text moves past it. Nothing without a digit.
std::optional<long long> takeNumber(std::string_view& text) {
  std::size_t at = 0;
  while (at < text.size() && isSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  const std::size_t digits = at;
  unsigned long long magnitude = 0;
  bool tooLarge = false;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const auto digit = static_cast<unsigned>(text[at] - '0');
    if (magnitude > (ULLONG_MAX - digit) / 10) tooLarge = true;
    if (!tooLarge) magnitude = magnitude * 10 + digit;
  }
  if (at == digits) return std::nullopt;
  text.remove_prefix(at);
  const unsigned long long limit = negative ? static_cast<unsigned long long>(LLONG_MAX) + 1 : LLONG_MAX;
  if (tooLarge || magnitude > limit) magnitude = limit;
  return negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
}

struct DateParts {
  long long month;
  long long day;
  long long year;
};

std::optional<DateParts> partsOf(std::string_view text) {
  long long parts[3] = {0, 0, 0};
  for (int k = 0; k < 3; ++k) {
    const auto number = takeNumber(text);
    if (!number) return std::nullopt;
    parts[k] = *number;
    if (k < 2) {
      if (text.empty() || text.front() != '/') return std::nullopt;
      text.remove_prefix(1);
    }
  }
  return DateParts{parts[0], parts[1], parts[2]};
}

bool fits32(long long value) {
  return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

}  // namespace

bool isLeapYear(int64_t year) { return year % 4 == 0; }

int64_t daysBeforeYear(int64_t year) {
  // Leap years in [1998, year): the multiples of 4, counted backwards before 1998.
  return (year - 1998) * 365 + floorDiv(year - 1, 4) - floorDiv(1997, 4);
}

int64_t daysBeforeMonth(int month, int64_t year) {
  int64_t days = 0;
  for (int m = 1; m < month && m <= 12; ++m) days += daysInMonth(m, year);
  return days;
}

Date dateOfDays(int64_t days) {
  // Whole four-year cycles from 1 January 1996, a leap year, first.
  const int64_t sinceCycleStart = days + daysBeforeYear(1998) - daysBeforeYear(1996);
  const int64_t cycles = floorDiv(sinceCycleStart, kDaysPerCycle);
  int64_t left = sinceCycleStart - cycles * kDaysPerCycle;
  int64_t year = 1996 + 4 * cycles;
  while (left >= (isLeapYear(year) ? 366 : 365)) left -= isLeapYear(year++) ? 366 : 365;
  int month = 1;
  while (month < 12 && left >= daysInMonth(month, year)) left -= daysInMonth(month++, year);
  return Date{year, month, left + 1};
}

std::string dateText(int64_t days, EarlyDays early) {
  const Date date =
      days < 0 && early == EarlyDays::AsJanuary1998 ? Date{1998, 1, days + 1} : dateOfDays(days);
  char text[64];
  std::snprintf(text, sizeof text, "%d/%lld/%lld", date.month, static_cast<long long>(date.day),
                static_cast<long long>(date.year));
  return text;
}

std::string isoDateText(int64_t days) {
  const Date date = dateOfDays(days);
  char text[64];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02lld", static_cast<long long>(date.year), date.month,
                static_cast<long long>(date.day));
  return text;
}

std::optional<int64_t> daysOfDateText(std::string_view text, DateReading reading) {
  const auto parts = partsOf(text);
  if (!parts) return std::nullopt;
  switch (reading) {
    case DateReading::Held: {
      // Far from overflow; such dates are out of any field's range anyway.
      const int month = static_cast<int>(std::clamp<long long>(parts->month, 1, 12));
      const int64_t day = std::clamp<long long>(parts->day, -100000, 100000);
      const int64_t year = std::clamp<long long>(parts->year, 0, 10000000);
      return std::max<int64_t>(0, daysBeforeYear(year) + daysBeforeMonth(month, year) + day - 1);
    }
    case DateReading::Counted: {
      const auto as32 = [](long long v) {
        return std::clamp<long long>(v, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max());
      };
      const int64_t year = as32(parts->year);
      const int month = static_cast<int>(std::clamp<long long>(parts->month, 1, 13));
      const int64_t days =
          daysBeforeYear(std::max<int64_t>(year, 1998)) + daysBeforeMonth(month, year) + as32(parts->day) - 1;
      return as32(days);
    }
    case DateReading::Strict: {
      if (!fits32(parts->month) || !fits32(parts->day) || !fits32(parts->year)) return std::nullopt;
      if (parts->month < 1 || parts->month > 12) return std::nullopt;
      const int64_t days = daysBeforeYear(parts->year) +
                           daysBeforeMonth(static_cast<int>(parts->month), parts->year) + parts->day - 1;
      if (!fits32(days)) return std::nullopt;
      return days;
    }
  }
  return std::nullopt;
}

}  // namespace tedskit::base
