// The 5-bit character set of TEDS text: code 0 a space, 1-26 A-Z, then , . / _ @
#ifndef TEDSKIT_BASE_CHR5_H
#define TEDSKIT_BASE_CHR5_H

#include <cstdint>
#include <string_view>

namespace tedskit::base {

inline constexpr std::string_view kChr5Alphabet = " ABCDEFGHIJKLMNOPQRSTUVWXYZ,./_@";

// The character of a code; a code above 31 gives a space.
constexpr char chr5Char(uint64_t code) { return code < kChr5Alphabet.size() ? kChr5Alphabet[code] : ' '; }

// What a lower-case letter becomes. The engines differ here: the description engine takes
// it as its upper-case letter, the TDL engine as a space, like any other character
// outside the set.
enum class LowerCase { AsUpperCase, AsSpace };

// The code of a character; a character outside the set (NUL included) gives 0, a space.
constexpr uint32_t chr5Code(char c, LowerCase lower) {
  if (c >= 'a' && c <= 'z') {
    if (lower == LowerCase::AsSpace) return 0;
    c = static_cast<char>(c - 'a' + 'A');
  }
  const std::size_t at = c == '\0' ? std::string_view::npos : kChr5Alphabet.find(c);
  return at == std::string_view::npos ? 0 : static_cast<uint32_t>(at);
}

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_CHR5_H
