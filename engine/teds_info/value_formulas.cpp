#include "teds_info/value_formulas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace dorvia {
namespace {

constexpr int kDaysPerCycle = 4 * 365 + 1;  // 1998 to 2001: 2000 is the leap year

bool isLeapYear(int64_t year) { return year % 4 == 0; }

int daysInYear(int64_t year) { return isLeapYear(year) ? 366 : 365; }

int daysInMonth(int month, int64_t year) {
  static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kLengths[month - 1];
}

}  // namespace

int chr5Index(char c) {
  const char* hit = c == '\0' ? nullptr : std::strchr(chr5Alphabet, c);
  return hit ? static_cast<int>(hit - chr5Alphabet) : 0;
}

int32_t truncateToRaw(double x) {
  if (!std::isfinite(x)) return 0;
  // The remainder keeps exactly the low 32 bits and always fits an int64_t.
  const auto low = static_cast<int64_t>(std::fmod(std::trunc(x), 4294967296.0));
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(low)));
}

double rawToConRes(int32_t n, double start, double step) { return start + n * step; }

int32_t conResToRaw(double x, double start, double step) { return truncateToRaw((x - start) / step + 0.5); }

double rawToConRelRes(int32_t n, double start, double tolerance) {
  return start * std::pow(1.0 + 2.0 * tolerance, n);
}

int32_t conRelResToRaw(double x, double start, double tolerance) {
  return truncateToRaw(std::log(x / start) / std::log(1.0 + 2.0 * tolerance) + 0.5);
}

std::string daysToDate(int32_t days) {
  int64_t n = days;
  int64_t year = 1998;
  if (n >= kDaysPerCycle) {  // whole four-year cycles first, so large counts stay cheap
    year += 4 * (n / kDaysPerCycle);
    n %= kDaysPerCycle;
  }
  while (n >= daysInYear(year)) n -= daysInYear(year++);
  int month = 1;
  while (month < 12 && n >= daysInMonth(month, year)) n -= daysInMonth(month++, year);
  char text[64];
  std::snprintf(text, sizeof text, "%d/%lld/%lld", month, static_cast<long long>(n + 1),
                static_cast<long long>(year));
  return text;
}

int32_t dateToDays(const char* text) {
  int month = 0;
  int day = 0;
  int year = 0;
  if (text == nullptr || std::sscanf(text, "%d/%d/%d", &month, &day, &year) != 3) return 0;
  int64_t n = 0;
  const int64_t years = std::max(0, year - 1998);
  n += (years / 4) * kDaysPerCycle;
  for (int64_t y = 1998 + (years / 4) * 4; y < year; ++y) n += daysInYear(y);
  for (int m = 1; m < std::min(month, 13); ++m) n += daysInMonth(m, year);
  n += int64_t{day} - 1;
  return static_cast<int32_t>(
      std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace dorvia
