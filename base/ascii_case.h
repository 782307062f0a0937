// Comparisons that ignore the case of ASCII letters; every other byte (the degree sign
// 0xB0 of the labels, say) compares exactly.
#ifndef TEDSKIT_BASE_ASCII_CASE_H
#define TEDSKIT_BASE_ASCII_CASE_H

#include <string_view>

namespace tedskit::base {

constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

constexpr bool containsIgnoreCase(std::string_view text, std::string_view word) {
  if (word.size() > text.size()) return false;
  for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
    if (equalsIgnoreCase(text.substr(i, word.size()), word)) return true;
  }
  return false;
}

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_ASCII_CASE_H
