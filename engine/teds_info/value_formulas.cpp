#include "teds_info/value_formulas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "base/calendar.h"

namespace dorvia {

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
  return tedskit::base::dateText(days, tedskit::base::EarlyDays::AsJanuary1998);
}

int32_t dateToDays(const char* text) {
  if (text == nullptr) return 0;
  return static_cast<int32_t>(
      tedskit::base::daysOfDateText(text, tedskit::base::DateReading::Counted).value_or(0));
}

}  // namespace dorvia
