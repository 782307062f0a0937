#include "value_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace tedskit::lms {
namespace {

// The calendar repeats every four years: one leap year (1996, 2000, ...) and three
// common ones. Counting from 1 January 1996 keeps the arithmetic on whole cycles.
constexpr int64_t kDaysPerCycle = 4 * 365 + 1;
constexpr int64_t kDays1996To1998 = 366 + 365;
constexpr int kCycleStartYear = 1996;
constexpr std::array<int, 12> kDaysBeforeMonth = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

int64_t floorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view skipBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) {
    text.remove_prefix(1);
  }
  return text;
}

// Reads a "%d" number from the front of `text` and moves `text` past it.
std::optional<int32_t> takeInteger(std::string_view& text) {
  std::string_view rest = skipBlanks(text);
  bool plus = false;
  if (!rest.empty() && rest.front() == '+') {
    plus = true;
    rest.remove_prefix(1);
  }
  if (rest.empty() || (plus && rest.front() == '-')) {
    return std::nullopt;
  }
  int32_t value = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (error != std::errc()) {
    return std::nullopt;
  }
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return value;
}

bool takeChar(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) {
    return false;
  }
  text.remove_prefix(1);
  return true;
}

}  // namespace

std::string_view valueText(const TEDSTemplateFieldStruct& item) {
  const void* end = std::memchr(item.value, '\0', sizeof item.value);
  const std::size_t length =
      end ? static_cast<std::size_t>(static_cast<const char*>(end) - item.value) : sizeof item.value;
  return {item.value, length};
}

void setValueText(TEDSTemplateFieldStruct& item, std::string_view text) {
  const std::size_t length = std::min(text.size(), sizeof item.value - 1);
  std::memcpy(item.value, text.data(), length);
  std::memset(item.value + length, 0, sizeof item.value - length);
}

std::optional<int32_t> parseInteger(std::string_view text) { return takeInteger(text); }

std::optional<double> parseReal(std::string_view text) {
  text = skipBlanks(text);
  bool plus = false;
  if (!text.empty() && text.front() == '+') {
    plus = true;
    text.remove_prefix(1);
  }
  if (text.empty() || (plus && text.front() == '-')) {
    return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) {
    return std::nullopt;
  }
  return value;
}

std::optional<int32_t> parseDate(std::string_view text) {
  const auto month = takeInteger(text);
  if (!month || !takeChar(text, '/')) {
    return std::nullopt;
  }
  const auto day = takeInteger(text);
  if (!day || !takeChar(text, '/')) {
    return std::nullopt;
  }
  const auto year = takeInteger(text);
  if (!year || *month < 1 || *month > 12) {
    return std::nullopt;
  }
  const int64_t yearsSinceCycleStart = static_cast<int64_t>(*year) - kCycleStartYear;
  const int64_t cycles = floorDiv(yearsSinceCycleStart, 4);
  const int64_t yearInCycle = yearsSinceCycleStart - cycles * 4;
  const bool leap = yearInCycle == 0;
  int64_t days = cycles * kDaysPerCycle + (leap ? 0 : 366 + 365 * (yearInCycle - 1));
  days += kDaysBeforeMonth[static_cast<std::size_t>(*month - 1)] + ((leap && *month > 2) ? 1 : 0);
  days += static_cast<int64_t>(*day) - 1 - kDays1996To1998;
  if (days < std::numeric_limits<int32_t>::min() || days > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(days);
}

std::string formatDate(int32_t days) {
  const int64_t sinceCycleStart = static_cast<int64_t>(days) + kDays1996To1998;
  const int64_t cycles = floorDiv(sinceCycleStart, kDaysPerCycle);
  int64_t dayOfCycle = sinceCycleStart - cycles * kDaysPerCycle;
  int64_t yearInCycle = 0;
  if (dayOfCycle >= 366) {
    yearInCycle = 1 + (dayOfCycle - 366) / 365;
    dayOfCycle = (dayOfCycle - 366) % 365;
  }
  const bool leap = yearInCycle == 0;
  int month = 12;
  while (month > 1 &&
         dayOfCycle < kDaysBeforeMonth[static_cast<std::size_t>(month - 1)] + ((leap && month > 2) ? 1 : 0)) {
    --month;
  }
  const int64_t day =
      dayOfCycle - kDaysBeforeMonth[static_cast<std::size_t>(month - 1)] - ((leap && month > 2) ? 1 : 0) + 1;
  const int64_t year = kCycleStartYear + cycles * 4 + yearInCycle;
  char text[64];
  std::snprintf(text, sizeof text, "%d/%lld/%lld", month, static_cast<long long>(day),
                static_cast<long long>(year));
  return text;
}

std::optional<int32_t> toInteger(double value) {
  // The bounds are exact in a double; NaN fails both comparisons.
  if (!(value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

}  // namespace tedskit::lms
