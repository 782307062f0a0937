#include "field_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/calendar.h"
#include "latin1.h"
#include "tedskit/quillon.h"
#include "tedskit/records.h"

namespace teds {
namespace {

// The comma-separated parts of a template line, as views into it; a part in double quotes
// may hold commas.
std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string_view> splitLine(std::string_view line) {
  std::vector<std::string_view> parts;
  parts.reserve(8);  // a template line has up to eight parts
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at < line.size() && line[at] == '"') {
      const auto close = line.find('"', at + 1);
      const auto end = close == std::string_view::npos ? line.size() : close;
      parts.push_back(line.substr(at + 1, end - at - 1));
      at = line.find(',', end);
    } else {
      const auto comma = line.find(',', at);
      parts.push_back(trimmed(line.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at)));
      at = comma;
    }
    if (at == std::string_view::npos) break;
    ++at;
  }
  return parts;
}

std::string fixedText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

std::string unquoted(std::string text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

// Decimals of a format sample such as "000.00".
std::optional<int> decimalsOf(std::string_view sample) {
  if (sample.empty() || sample.find_first_not_of("0.#") != std::string::npos) return std::nullopt;
  const auto dot = sample.find('.');
  return dot == std::string::npos ? 0 : static_cast<int>(sample.size() - dot - 1);
}

// strtod and atoi read a terminated copy: a part ends where the line goes on.
double number(std::string_view part) { return std::strtod(std::string(part).c_str(), nullptr); }

double largestIndex(int bits) { return bits >= 63 ? 0x1p63 : std::ldexp(1.0, bits) - 1; }

void applyLine(FieldModel& field, const std::vector<std::string_view>& parts, bool tdl) {
  if (parts.size() >= 3) field.bitWidth = std::atoi(std::string(parts[2]).c_str());
  if (!tdl && parts.size() >= 2) field.access = parts[1];
  const std::string_view type = parts.size() >= 4 ? parts[3] : std::string_view{};
  if (type == "ConRes" && parts.size() >= 6) {
    field.scale = NumberScale::Linear;
    field.start = number(parts[4]);
    field.step = number(parts[5]);
    if (parts.size() >= 7) field.decimals = decimalsOf(parts[6]);
  } else if (type == "ConRelRes" && parts.size() >= 7) {
    field.scale = NumberScale::Relative;
    field.start = number(parts[4]);
    field.step = number(parts[5]);
    field.offset = number(parts[6]);
    if (parts.size() >= 8) field.decimals = decimalsOf(parts[7]);
  } else if (type == "Single") {
    field.scale = NumberScale::Single;
  }
}

}  // namespace

void settleRange(FieldModel& field) {
  const double top = largestIndex(std::max(field.bitWidth, 0));
  switch (field.scale) {
    case NumberScale::Linear:
      field.minimum = field.start;
      field.maximum = field.start + field.step * top;
      break;
    case NumberScale::Relative:
      field.minimum = field.offset + field.start;
      field.maximum = field.offset + field.start * std::pow(1.0 + 2.0 * field.step, top);
      break;
    case NumberScale::Single:
      field.minimum = -3.4028234663852886e38;
      field.maximum = 3.4028234663852886e38;
      break;
    case NumberScale::None:
      field.minimum = 0;
      field.maximum = field.kind == ValueKind::Date ? 65535 : top;
      break;
  }
}

std::string rawValueText(const Teds& teds, int index) {
  const auto& item = teds.fields->array.items[index];
  return fixedText(item.value, sizeof item.value);
}

std::vector<FieldModel> fieldModels(const Teds& teds) {
  const auto& array = teds.fields->array;
  const bool tdl = teds.engine == EngineKind::V10;
  std::vector<FieldModel> models;
  const int count = std::clamp(array.numItems, 0, TEDS_MAX_ITEMS);
  models.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const auto& item = array.items[i];
    FieldModel field;
    field.index = i;
    field.label = latin1ToUtf8(fixedText(item.label, sizeof item.label));
    field.datatype = item.datatype;
    field.units = unquoted(latin1ToUtf8(fixedText(item.units, sizeof item.units)));
    field.access = item.access == 0 ? "RO" : "RW";
    const std::string accessClass =
        static_cast<std::size_t>(i) < teds.accessClasses.size() ? teds.accessClasses[i] : std::string{};
    if (tdl && !accessClass.empty()) field.access = accessClass;
    field.identification = (i < 5 && teds.engine != EngineKind::Lms) || accessClass == "ID";
    const std::string line = fixedText(array.templateLines[i], TEDS_LINE_SIZE);
    applyLine(field, splitLine(line), tdl);
    if (tdl && i >= 5) {
      const int choices = QUILLON_getEnumerationCount(i);
      for (int c = 0; c < choices; ++c) {
        const char* text = QUILLON_getIndexedEnumeration(i, c);
        field.choices.push_back(latin1ToUtf8(text != nullptr ? text : ""));
      }
    }
    switch (item.datatype) {
      case TEDS_DT_MANUFACTURER:
        field.manufacturer = true;
        break;
      case TEDS_DT_CHR5:
        field.kind = ValueKind::Text;
        field.chr5 = true;
        field.textRoom = std::max(field.bitWidth, 5) / 5;
        break;
      case TEDS_DT_DATE:
        field.kind = ValueKind::Date;
        break;
      case TEDS_DT_CONRELRES:
      case TEDS_DT_CONRES:
        field.kind = ValueKind::Real;
        break;
      case TEDS_DT_DIRECTION:
        if (field.choices.empty()) field.choices = {"x", "y", "z"};
        break;
      case TEDS_DT_ASCII:
        field.kind = ValueKind::Text;
        break;
      default:
        break;
    }
    if (field.scale != NumberScale::None) field.kind = ValueKind::Real;
    if (!field.choices.empty()) field.kind = ValueKind::Enumeration;
    settleRange(field);
    models.push_back(std::move(field));
  }
  return models;
}

double resolutionAt(const FieldModel& field, double value) {
  switch (field.scale) {
    case NumberScale::Linear:
      return std::fabs(field.step);
    case NumberScale::Relative:
      return std::fabs((value - field.offset) * 2.0 * field.step);
    case NumberScale::Single:
      return std::fabs(value) * 0x1p-23;
    case NumberScale::None:
      break;
  }
  return 1.0;
}

namespace {

// printf's "%.*f" or "%.*g" in the C locale, without printf's cost on the hot path of
// every decode.
std::string printed(double value, std::chars_format format, int precision) {
  // The widest: 309 digits of a double, the point and a format of up to 255 decimals.
  char text[640];
  const auto done = std::to_chars(text, text + sizeof text, value, format, precision);
  return done.ec == std::errc{} ? std::string(text, done.ptr) : std::string{};
}

}  // namespace

std::string formatNumber(const FieldModel& field, double value, bool withFormat) {
  if (field.decimals && withFormat) return printed(value, std::chars_format::fixed, *field.decimals);
  const double resolution = resolutionAt(field, value);
  if (value == 0 || !(resolution > 0) || !std::isfinite(value)) return printed(value, std::chars_format::general, 9);
  // Enough significant digits to tell a value from its neighbours, and no more.
  const int digits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) -
                     static_cast<int>(std::floor(std::log10(resolution))) + 1;
  return printed(value, std::chars_format::general, std::clamp(digits, 1, 9));
}

TypedValue typedValue(const Teds& teds, const FieldModel& field) {
  const std::string raw = rawValueText(teds, field.index);
  TypedValue value;
  value.kind = field.kind;
  switch (field.kind) {
    case ValueKind::Integer:
      value.integer = std::strtoll(raw.c_str(), nullptr, 10);
      value.display = std::to_string(value.integer);
      break;
    case ValueKind::Real:
      value.real = std::strtod(raw.c_str(), nullptr);
      value.display = formatNumber(field, value.real);
      break;
    case ValueKind::Text:
      value.text = latin1ToUtf8(raw);
      // 5-bit text keeps its blanks; stored user text ends where the zero bytes begin.
      value.display = value.text;
      break;
    case ValueKind::Date: {
      const auto days = tedskit::base::daysOfDateText(raw, tedskit::base::DateReading::Strict);
      value.integer = days.value_or(0);
      value.text = tedskit::base::isoDateText(value.integer);
      value.display = raw;
      break;
    }
    case ValueKind::Enumeration: {
      value.integer = std::strtoll(raw.c_str(), nullptr, 10);
      // A select case the user chooses holds its case's text, not its number.
      const std::string text = latin1ToUtf8(raw);
      const auto named = std::find_if(field.choices.begin(), field.choices.end(),
                                      [&](const std::string& choice) { return !text.empty() && choice == text; });
      if (named != field.choices.end() && !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        value.integer = named - field.choices.begin();
      if (value.integer >= 0 && value.integer < static_cast<int64_t>(field.choices.size())) {
        value.text = field.choices[static_cast<std::size_t>(value.integer)];
      }
      value.display = value.text.empty() ? std::to_string(value.integer) : value.text;
      break;
    }
  }
  return value;
}

}  // namespace teds
