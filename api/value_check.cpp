#include "value_check.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "base/calendar.h"
#include "base/chr5.h"
#include "latin1.h"

namespace teds {
namespace {

namespace base = tedskit::base;

constexpr int64_t kFirstYear = 1998;
constexpr int64_t kLastDay = 65535;  // a 16-bit day count

std::string withUnits(const FieldModel& field, std::string text) {
  return field.units.empty() ? text : text + " " + field.units;
}

std::string given(std::string_view value) {
  std::string quoted = "\"";
  quoted.append(value) += '"';
  return quoted;
}

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return false;
  }
  return true;
}

std::optional<double> strictNumber(std::string_view value) {
  if (value.empty()) return std::nullopt;
  const std::string text(value);
  char* end = nullptr;
  errno = 0;
  const double number = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(number)) return std::nullopt;
  // strtod takes "nan" and "inf" spelled out, and hexadecimal floats: none is a reading.
  for (const char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0 && c != '.' && c != '-' && c != '+' && c != 'e' &&
        c != 'E')
      return std::nullopt;
  }
  return number;
}

std::optional<int64_t> strictCount(std::string_view value) {
  if (value.size() > 1 && value[0] == '+') value.remove_prefix(1);
  if (!allDigits(value) || value.size() > 18) return std::nullopt;
  return std::stoll(std::string(value));
}

std::string dateOf(int64_t days) { return base::dateText(days); }

std::string dateRangeText() { return dateOf(0) + " to " + dateOf(kLastDay); }

// "m/d/y" or "yyyy-mm-dd", as numbers.
std::optional<base::Date> dateParts(std::string_view value) {
  const bool iso = value.find('-') != std::string_view::npos;
  const char separator = iso ? '-' : '/';
  int64_t parts[3];
  std::size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    const auto end = i < 2 ? value.find(separator, at) : value.size();
    if (end == std::string_view::npos) return std::nullopt;
    const auto piece = value.substr(at, end - at);
    if (!allDigits(piece) || piece.size() > 4) return std::nullopt;
    parts[i] = std::stoll(std::string(piece));
    at = end + 1;
  }
  if (iso) return base::Date{parts[0], static_cast<int>(parts[1]), parts[2]};
  return base::Date{parts[2], static_cast<int>(parts[0]), parts[1]};
}

CheckedValue checkDate(const FieldModel& field, std::string_view value) {
  const auto refuse = [&](const std::string& why) {
    return ValueRefused(quotedLabel(field) + " takes a date from " + dateRangeText() +
                        " as m/d/y or yyyy-mm-dd, not " + given(value) + why);
  };
  const auto date = dateParts(value);
  if (!date) throw refuse("");
  if (date->month < 1 || date->month > 12 || date->day < 1 ||
      date->day > base::daysBeforeMonth(date->month + 1, date->year) -
                      base::daysBeforeMonth(date->month, date->year)) {
    throw refuse(": no such day");
  }
  if (date->year < kFirstYear) throw refuse("");
  const int64_t days =
      base::daysBeforeYear(date->year) + base::daysBeforeMonth(date->month, date->year) + date->day - 1;
  if (days > kLastDay) throw refuse("");
  return {dateOf(days), {}};
}

CheckedValue checkNumber(const FieldModel& field, std::string_view value) {
  const auto number = strictNumber(value);
  if (!number) {
    throw ValueRefused(quotedLabel(field) + " takes a number from " + rangeText(field) + ", not " +
                       given(value));
  }
  // Only the range itself: past its ends one engine would wrap the bits to the other
  // end. The slack takes the ends as they are printed.
  const double low = field.minimum - resolutionAt(field, field.minimum) * 1e-3;
  const double high = field.maximum + resolutionAt(field, field.maximum) * 1e-3;
  if (*number < low || *number > high) {
    throw ValueRefused(quotedLabel(field) + " takes " + rangeText(field) + ", not " + std::string(value));
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", *number);
  return {text, {}};
}

CheckedValue checkCount(const FieldModel& field, std::string_view value) {
  const auto count = strictCount(value);
  if (!count) {
    throw ValueRefused(quotedLabel(field) + " takes a whole number from " + rangeText(field) + ", not " +
                       given(value));
  }
  if (static_cast<double>(*count) > field.maximum || static_cast<double>(*count) < field.minimum) {
    throw ValueRefused(quotedLabel(field) + " takes " + rangeText(field) + ", not " + std::string(value));
  }
  return {std::to_string(*count), {}};
}

CheckedValue checkChoice(const FieldModel& field, std::string_view value) {
  for (std::size_t i = 0; i < field.choices.size(); ++i) {
    if (equalsIgnoreCase(field.choices[i], std::string(value))) return {std::to_string(i), {}};
  }
  if (const auto index = strictCount(value); index && *index < static_cast<int64_t>(field.choices.size())) {
    return {std::to_string(*index), {}};
  }
  std::string list;
  for (std::size_t i = 0; i < field.choices.size(); ++i) {
    list += (i == 0 ? "" : ", ") + field.choices[i];
  }
  throw ValueRefused(quotedLabel(field) + " takes one of " + list + " (or its number, 0 to " +
                     std::to_string(field.choices.size() - 1) + "), not " + given(value));
}

CheckedValue checkChr5(const FieldModel& field, std::string_view value) {
  CheckedValue checked;
  bool lowered = false;
  for (const char c : value) {
    char upper = c;
    if (c >= 'a' && c <= 'z') {
      upper = static_cast<char>(c - 'a' + 'A');
      lowered = true;
    }
    if (base::kChr5Alphabet.find(upper) == std::string_view::npos || c == '\0') {
      throw ValueRefused(quotedLabel(field) + " holds only the letters A-Z, space and , . / _ @, not " +
                         given(value));
    }
    checked.engineText += upper;
  }
  if (static_cast<int>(checked.engineText.size()) > field.textRoom) {
    throw ValueRefused(quotedLabel(field) + " holds at most " + std::to_string(field.textRoom) +
                       (field.textRoom == 1 ? " character" : " characters") + ", not " + given(value));
  }
  if (lowered) checked.notes.push_back(quotedLabel(field) + " is stored as " + given(checked.engineText));
  return checked;
}

CheckedValue checkAscii(const FieldModel& field, std::string_view value) {
  for (const char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    // The form text the engines pass values through ends a value at a double quote.
    if (c < 0x20 || c > 0x7E || ch == '"') {
      throw ValueRefused(quotedLabel(field) +
                         " holds printable ASCII characters other than the double quote, not " +
                         given(value));
    }
  }
  return {std::string(value), {}};
}

}  // namespace

std::string quotedLabel(const FieldModel& field) { return "\"" + field.label + "\""; }

std::string rangeText(const FieldModel& field) {
  if (field.kind == ValueKind::Real) {
    return withUnits(field, formatNumber(field, field.minimum, false) + " to " +
                                formatNumber(field, field.maximum, false));
  }
  char low[32], high[32];
  std::snprintf(low, sizeof low, "%.0f", field.minimum);
  std::snprintf(high, sizeof high, "%.0f", field.maximum);
  return withUnits(field, std::string(low) + " to " + high);
}

CheckedValue checkValue(const FieldModel& field, std::string_view value) {
  switch (field.kind) {
    case ValueKind::Date:
      return checkDate(field, value);
    case ValueKind::Real:
      return checkNumber(field, value);
    case ValueKind::Enumeration:
      return checkChoice(field, value);
    case ValueKind::Text:
      return field.chr5 ? checkChr5(field, value) : checkAscii(field, value);
    case ValueKind::Integer:
      break;
  }
  // A manufacturer may also be named; the engine looks the name up.
  if (field.manufacturer && !allDigits(value)) return {std::string(value), {}};
  return checkCount(field, value);
}

}  // namespace teds
