#include "base/integer_text.h"

#include <charconv>
#include <climits>

#include "base/hex.h"

namespace tedskit::base {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::optional<long long> leadingInteger(std::string_view text, int base, std::size_t* used) {
  std::size_t at = 0;
  while (at < text.size() && isSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  // "0x" counts as a prefix only with a hexadecimal digit behind it, as strtoll reads it.
  const bool hexPrefix = (base == 0 || base == 16) && at + 2 < text.size() && text[at] == '0' &&
                         (text[at + 1] == 'x' || text[at + 1] == 'X') && hexValue(text[at + 2]) >= 0;
  if (hexPrefix) {
    at += 2;
    base = 16;
  } else if (base == 0) {
    base = at < text.size() && text[at] == '0' ? 8 : 10;
  }
  const char* first = text.data() + at;
  unsigned long long magnitude = 0;
  const auto [last, error] = std::from_chars(first, text.data() + text.size(), magnitude, base);
  if (last == first) return std::nullopt;
  if (used != nullptr) *used = static_cast<std::size_t>(last - text.data());
  const bool outOfRange = error == std::errc::result_out_of_range;
  if (negative) {
    const unsigned long long limit = static_cast<unsigned long long>(LLONG_MAX) + 1;
    if (outOfRange || magnitude >= limit) return LLONG_MIN;
    return -static_cast<long long>(magnitude);
  }
  if (outOfRange || magnitude > static_cast<unsigned long long>(LLONG_MAX)) return LLONG_MAX;
  return static_cast<long long>(magnitude);
}

}  // namespace tedskit::base
