// The text helpers of the engine's parsers and accessors, on the shared primitives.
#ifndef TEDSKIT_ENGINE_COMMON_TEXT_UTIL_H
#define TEDSKIT_ENGINE_COMMON_TEXT_UTIL_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/ascii_case.h"
#include "base/fixed_field.h"
#include "base/integer_text.h"
#include "common/result_codes.h"

namespace dorvia {

// ASCII-only case-insensitive comparison; bytes above 0x7F (the degree sign 0xB0 in
// labels) compare exactly.
inline bool equalsNoCase(std::string_view a, std::string_view b) {
  return tedskit::base::equalsIgnoreCase(a, b);
}
inline bool containsNoCase(std::string_view text, std::string_view word) {
  return tedskit::base::containsIgnoreCase(text, word);
}

// A fixed char field of a record, read up to its NUL or its end, whichever comes first.
using tedskit::base::fieldText;

// Writes text into a fixed char field, cut to fit, always terminated.
template <std::size_t N>
void setFieldText(char (&field)[N], std::string_view text) {
  tedskit::base::copyToField(field, text);
}

// Copies text out to a caller buffer of the given size: a negative size copies the
// whole text; otherwise at most size - 1 characters and a terminator. Returns the text's
// length, or -21 when it did not fit (the cut copy is still written).
inline int32_t copyOut(std::string_view text, char* buffer, int32_t size) {
  return tedskit::base::copyOut(text, buffer, size) ? static_cast<int32_t>(text.size()) : kBufferTooSmall;
}

// A C integer literal (decimal, 0x hex, 0 octal, optional sign) at the start of text,
// after blanks. Returns false when no digits were read.
inline bool parseCInteger(std::string_view text, long long& value, std::size_t* used = nullptr) {
  const auto number = tedskit::base::leadingInteger(text, 0, used);
  if (!number) return false;
  value = *number;
  return true;
}

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_COMMON_TEXT_UTIL_H
