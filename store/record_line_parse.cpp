#include "record_line_parse.h"

#include <string>
#include <vector>

#include "tedskit/calden.h"
#include "text_fields.h"

namespace tedskit::store {

namespace {

constexpr int32_t kMaxSelectCases = 16;
constexpr std::size_t kMaxNumbersBeforeLabel = 2;

// The delimiter-separated whole numbers of a text; none when any part is not one.
std::optional<std::vector<int64_t>> numberList(std::string_view text, char delimiter) {
  std::vector<int64_t> numbers;
  while (true) {
    const auto end = text.find(delimiter);
    const auto number = wholeNumber64(text.substr(0, end));
    if (!number) return std::nullopt;
    numbers.push_back(*number);
    if (end == std::string_view::npos) return numbers;
    text.remove_prefix(end + 1);
  }
}

std::optional<int32_t> asInt32(int64_t number) {
  if (number < INT32_MIN || number > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(number);
}

// A number read back from an item line, one above the value it was written for.
std::optional<int32_t> storedNumber(int64_t written) { return asInt32(written - 1); }

}  // namespace

std::optional<TemplateLine> parseTemplateLine(std::string_view line, char delimiter) {
  for (auto at = line.find(delimiter); at != std::string_view::npos; at = line.find(delimiter, at + 1)) {
    const auto numbers = numberList(line.substr(at + 1), delimiter);
    if (!numbers) continue;
    const auto templateID = asInt32(numbers->front());
    if (!templateID) return std::nullopt;
    TemplateLine parsed{*templateID, {}};
    if (numbers->size() > 1) {
      const int64_t count = (*numbers)[1];
      const auto given = static_cast<int64_t>(numbers->size() - 2);
      if (count > 0 && count <= kMaxSelectCases) {
        parsed.selectCases.count = static_cast<int32_t>(count < given ? count : given);
        for (int32_t i = 0; i < parsed.selectCases.count; ++i) {
          const auto value = asInt32((*numbers)[static_cast<std::size_t>(i) + 2]);
          if (!value) return std::nullopt;
          parsed.selectCases.values[i] = *value;
        }
      }
    }
    return parsed;
  }
  return std::nullopt;
}

std::optional<ItemLine> parseItemLine(std::string_view line, char delimiter, std::string_view label,
                                      std::string_view units) {
  const auto quote = line.find('"');
  if (quote == std::string_view::npos) return std::nullopt;

  // Each number before the label is followed by a delimiter.
  std::string_view prefix = line.substr(0, quote);
  std::vector<int64_t> numbers;
  while (!prefix.empty()) {
    const auto end = prefix.find(delimiter);
    if (end == std::string_view::npos || numbers.size() == kMaxNumbersBeforeLabel) return std::nullopt;
    const auto number = wholeNumber64(prefix.substr(0, end));
    if (!number) return std::nullopt;
    numbers.push_back(*number);
    prefix.remove_prefix(end + 1);
  }
  ItemLine parsed{CALDEN_NO_NUMBER, CALDEN_NO_NUMBER, {}};
  if (numbers.size() == 2) {
    const auto unit = storedNumber(numbers[0]);
    const auto channel = storedNumber(numbers[1]);
    if (!unit || !channel) return std::nullopt;
    parsed.unitNumber = *unit;
    parsed.channelNumber = *channel;
  } else if (numbers.size() == 1) {
    const auto channel = storedNumber(numbers[0]);
    if (!channel) return std::nullopt;
    parsed.channelNumber = *channel;
  }

  // The label ends at the quote and delimiter after the expected label, or else at the
  // first quote and delimiter.
  std::string_view rest = line.substr(quote + 1);
  const std::string closing{'"', delimiter};
  std::size_t labelEnd = std::string_view::npos;
  if (!label.empty() && rest.starts_with(label) && rest.substr(label.size()).starts_with(closing)) {
    labelEnd = label.size();
  } else {
    labelEnd = rest.find(closing);
  }
  if (labelEnd == std::string_view::npos) return std::nullopt;
  rest.remove_prefix(labelEnd + closing.size());

  // The value ends before the delimiter and the expected units at the end of the line,
  // or else at the last delimiter.
  std::string tail{delimiter};
  tail.append(units);
  if (rest.ends_with(tail)) {
    parsed.value = rest.substr(0, rest.size() - tail.size());
  } else {
    const auto end = rest.rfind(delimiter);
    parsed.value = end == std::string_view::npos ? rest : rest.substr(0, end);
  }
  return parsed;
}

}  // namespace tedskit::store
