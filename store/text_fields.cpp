#include "text_fields.h"

#include <charconv>

namespace tedskit::store {

namespace {

// Far beyond any 32-bit number a file may carry plus one, and far from overflow.
constexpr uint64_t kLargestMagnitude = uint64_t{1} << 40;

struct Parsed {
  int64_t value;
  std::size_t end;
};

std::optional<Parsed> parseNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // An unsigned magnitude takes no second sign.
  uint64_t magnitude = 0;
  const char* first = text.data() + pos;
  const auto [last, error] = std::from_chars(first, text.data() + text.size(), magnitude);
  if (error != std::errc() || last == first) return std::nullopt;
  if (magnitude > kLargestMagnitude) return std::nullopt;
  const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return Parsed{value, static_cast<std::size_t>(last - text.data())};
}

std::optional<int32_t> toInt32(int64_t value) {
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> leadingNumber(std::string_view text) {
  const auto parsed = parseNumber(text);
  if (!parsed) return std::nullopt;
  return toInt32(parsed->value);
}

std::optional<int32_t> wholeNumber(std::string_view text) {
  const auto number = wholeNumber64(text);
  if (!number) return std::nullopt;
  return toInt32(*number);
}

std::optional<int64_t> wholeNumber64(std::string_view text) {
  const auto parsed = parseNumber(text);
  if (!parsed || parsed->end != text.size()) return std::nullopt;
  return parsed->value;
}

}  // namespace tedskit::store
