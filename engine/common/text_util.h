// Small text helpers shared by the engine's parsers and accessors.
#ifndef TEDSKIT_ENGINE_COMMON_TEXT_UTIL_H
#define TEDSKIT_ENGINE_COMMON_TEXT_UTIL_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dorvia {

// ASCII-only case-insensitive comparison; bytes above 0x7F (the degree sign 0xB0 in
// labels) compare exactly.
bool equalsNoCase(std::string_view a, std::string_view b);
bool containsNoCase(std::string_view text, std::string_view word);

// A fixed char field of a record, read up to its NUL or its end, whichever comes first.
template <std::size_t N>
std::string_view fieldText(const char (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return {field, n};
}

// Writes text into a fixed char field, cut to fit, always terminated.
template <std::size_t N>
void setFieldText(char (&field)[N], std::string_view text) {
  const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
  text.copy(field, n);
  field[n] = '\0';
}

// Copies text out to a caller buffer of the given size: a negative size copies the
// whole text; otherwise at most size - 1 characters and a terminator. Returns the text's
// length, or -21 when it did not fit (the cut copy is still written).
int32_t copyOut(std::string_view text, char* buffer, int32_t size);

// Directory argument with a trailing '/' or '\' removed; null counts as empty.
std::string trimmedDirectory(const char* dir);
// "<dir>/<name>", or name alone when dir is empty.
std::string joinPath(const std::string& dir, const std::string& name);

// A C integer literal (decimal, 0x hex, 0 octal, optional sign) at the start of text,
// after blanks. Returns false when no digits were read.
bool parseCInteger(std::string_view text, long long& value, std::size_t* used = nullptr);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_COMMON_TEXT_UTIL_H
