// Small scanners for the lines of the listing files.
#ifndef TEDSKIT_FRONTEND_TEXT_SCAN_H
#define TEDSKIT_FRONTEND_TEXT_SCAN_H

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

// The text up to the first blank or tab.
std::string_view firstWord(std::string_view line);

// The blanks and tabs at both ends removed.
std::string_view trimmed(std::string_view text);

// An integer at the start of text (after blanks), in the given base (0: a C integer
// literal, decimal, octal or hexadecimal). `rest` is what follows it. Nothing when
// there are no digits or the number does not fit 32 bits.
std::optional<int32_t> leadingInteger(std::string_view text, int base, std::string_view* rest = nullptr);

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_TEXT_SCAN_H
