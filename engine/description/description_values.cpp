#include "description/description_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace dorvia {

namespace {

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

void appendReal(std::string& out, double value, bool scientific, int precision) {
  // to_chars with a precision prints exactly what printf prints in the C locale.
  char text[512];
  const auto written =
      std::to_chars(text, text + sizeof text, value,
                    scientific ? std::chars_format::scientific : std::chars_format::fixed, precision);
  if (written.ec == std::errc{}) {
    out.append(text, written.ptr);
    return;
  }
  std::snprintf(text, sizeof text, scientific ? "%.*le" : "%.*lf", precision, value);
  out += text;
}

std::string formatValue(double value) {
  std::string text;
  appendReal(text, value, value < 0.00001, 10);
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
