// Small scanners for the lines of the listing files.
#ifndef TEDSKIT_FRONTEND_TEXT_SCAN_H
#define TEDSKIT_FRONTEND_TEXT_SCAN_H

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

// Lines of the listing files longer than this are cut; the rest of such a line is
// passed over.
inline constexpr std::size_t kMaxLineLength = 290;

// The text up to the first blank or tab.
std::string_view firstWord(std::string_view line);

// The blanks and tabs at both ends removed.
std::string_view trimmed(std::string_view text);

// A decimal integer at the start of text (after blanks); nothing when there are no
// digits or the number does not fit 32 bits.
std::optional<int32_t> leadingDecimal(std::string_view text);

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_TEXT_SCAN_H
