// Bounded views of the fixed text fields of a field array, and small number parsing.
#ifndef TEDSKIT_STORE_TEXT_FIELDS_H
#define TEDSKIT_STORE_TEXT_FIELDS_H

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/fixed_field.h"

namespace tedskit::store {

using base::fieldText;
// Copies text into a fixed field, cut to leave room for the terminator; the rest is zeroed.
template <std::size_t N>
void setFieldText(char (&field)[N], std::string_view text) {
  base::copyToField(field, text);
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
