#include "description/description_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace dorvia {

namespace {

constexpr int kCycleDays = 4 * 365 + 1;  // 1998, 1999, 2000 (leap), 2001
constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool isLeap(int64_t year) { return year % 4 == 0; }

// Leap years in [1998, year): years divisible by 4.
int64_t leapYearsBefore(int64_t year) {
  auto floorDiv4 = [](int64_t v) { return v >= 0 ? v / 4 : -((-v + 3) / 4); };
  return floorDiv4(year - 1) - floorDiv4(1997);
}

uint64_t maxIndex(int64_t width) {
  if (width <= 0) return 0;
  if (width >= 64) return ~uint64_t{0};
  return (uint64_t{1} << width) - 1;
}

uint64_t clampIndex(double index, int64_t width) {
  if (!(index > 0.0)) return 0;  // also catches NaN
  const auto top = static_cast<double>(maxIndex(width));
  if (index >= top) return maxIndex(width);
  return static_cast<uint64_t>(index);
}

}  // namespace

char chr5ToChar(uint64_t code) { return code < kChr5Alphabet.size() ? kChr5Alphabet[code] : ' '; }

uint32_t charToChr5(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const std::size_t at = kChr5Alphabet.find(c);
  return at == std::string_view::npos ? 0 : static_cast<uint32_t>(at);
}

std::string daysToDateText(uint32_t days) {
  int64_t year = 1998 + 4 * static_cast<int64_t>(days / kCycleDays);
  int64_t left = days % kCycleDays;
  for (;;) {
    const int64_t length = isLeap(year) ? 366 : 365;
    if (left < length) break;
    left -= length;
    ++year;
  }
  int month = 0;
  for (; month < 11; ++month) {
    const int length = kMonthDays[month] + (month == 1 && isLeap(year) ? 1 : 0);
    if (left < length) break;
    left -= length;
  }
  char text[48];
  std::snprintf(text, sizeof text, "%d/%d/%lld", month + 1, static_cast<int>(left + 1),
                static_cast<long long>(year));
  return text;
}

bool dateTextToDays(std::string_view text, int64_t& days) {
  long long parts[3] = {0, 0, 0};
  std::string copy(text.substr(0, 64));
  const char* p = copy.c_str();
  for (int k = 0; k < 3; ++k) {
    char* end = nullptr;
    parts[k] = std::strtoll(p, &end, 10);
    if (end == p) return false;
    p = end;
    if (k < 2) {
      if (*p != '/') return false;
      ++p;
    }
  }
  // Keep the arithmetic far from overflow; such dates are out of any field's range.
  const int64_t month = parts[0] < 1 ? 1 : parts[0] > 12 ? 12 : parts[0];
  const int64_t day = parts[1] < -100000 ? -100000 : parts[1] > 100000 ? 100000 : parts[1];
  const int64_t year = parts[2] < 0 ? 0 : parts[2] > 10000000 ? 10000000 : parts[2];
  int64_t total = (year - 1998) * 365 + leapYearsBefore(year);
  for (int m = 0; m < month - 1; ++m) total += kMonthDays[m] + (m == 1 && isLeap(year) ? 1 : 0);
  total += day - 1;
  days = total < 0 ? 0 : total;
  return true;
}

std::string formatValue(double value) {
  char text[512];
  std::snprintf(text, sizeof text, value < 0.00001 ? "%0.10le" : "%0.10lf", value);
  return text;
}

double conRelResValue(uint64_t index, double start, double tolerance, double offset) {
  const double value = std::pow(1.0 + 2.0 * tolerance, static_cast<double>(index)) * start + offset;
  // Single precision, as the value is stored; beyond its range the value is infinite.
  if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
    return value > 0 ? HUGE_VAL : value < 0 ? -HUGE_VAL : value;
  }
  return static_cast<double>(static_cast<float>(value));
}

double conResValue(uint64_t index, double start, double step) {
  return static_cast<double>(index) * step + start;
}

uint64_t conRelResIndex(double value, float start, float tolerance, float offset, int64_t width) {
  const double ratio = (value - static_cast<double>(offset)) / static_cast<double>(start);
  const double index = std::log(ratio) / std::log(2.0 * static_cast<double>(tolerance) + 1.0) + 0.5;
  return clampIndex(index, width);
}

uint64_t conResIndex(double value, float start, float step, int64_t width) {
  const double index = (value - static_cast<double>(start)) / static_cast<double>(step);
  // The index below the value, but a value printed from index n (with the description's
  // numbers in double precision) must give n again, not n - 1 through single-precision
  // rounding; otherwise every decode and encode would walk the field down one step.
  return clampIndex(index + 1e-6 * std::max(1.0, std::fabs(index)), width);
}

}  // namespace dorvia
