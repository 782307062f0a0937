#include "value_text.h"

#include <charconv>
#include <limits>

#include "base/calendar.h"
#include "base/fixed_field.h"
#include "base/integer_text.h"

namespace tedskit::lms {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool fits32(int64_t value) {
  return value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
}

}  // namespace

std::string_view valueText(const TEDSTemplateFieldStruct& item) { return base::fieldText(item.value); }

void setValueText(TEDSTemplateFieldStruct& item, std::string_view text) {
  base::copyToField(item.value, text);
}

std::optional<int32_t> parseInteger(std::string_view text) {
  const auto value = base::leadingInteger(text, 10);
  if (!value || !fits32(*value)) return std::nullopt;
  return static_cast<int32_t>(*value);
}

std::optional<double> parseReal(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
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
  const auto days = base::daysOfDateText(text, base::DateReading::Strict);
  if (!days) return std::nullopt;
  return static_cast<int32_t>(*days);
}

std::string formatDate(int32_t days) { return base::dateText(days); }

std::optional<int32_t> toInteger(double value) {
  // The bounds are exact in a double; NaN fails both comparisons.
  if (!(value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

}  // namespace tedskit::lms
