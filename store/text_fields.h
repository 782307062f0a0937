// Bounded views of the fixed text fields of a field array, and small number parsing.
#ifndef TEDSKIT_STORE_TEXT_FIELDS_H
#define TEDSKIT_STORE_TEXT_FIELDS_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace tedskit::store {

// The text of a fixed field, which need not be NUL-terminated when it fills the field.
template <std::size_t N>
std::string_view fieldText(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

// Copies text into a fixed field, cut to leave room for the terminator; the rest is zeroed.
template <std::size_t N>
void setFieldText(char (&field)[N], std::string_view text) {
  const std::size_t length = text.size() < N ? text.size() : N - 1;
  // An empty view may have no data pointer at all.
  if (length > 0) std::memcpy(field, text.data(), length);
  std::memset(field + length, 0, N - length);
}

// The number a text starts with, as the C library's atoi reads it (leading blanks, a
// sign, digits; anything may follow); none when no digit is there or it does not fit.
std::optional<int32_t> leadingNumber(std::string_view text);

// The text as one whole integer (optional blanks before it, nothing after it).
std::optional<int32_t> wholeNumber(std::string_view text);

// The same, wider: channel and unit numbers are written one above a 32-bit value.
std::optional<int64_t> wholeNumber64(std::string_view text);

}  // namespace tedskit::store

#endif
