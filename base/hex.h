// Hexadecimal text in and out. Digits come out in upper case and are read in either.
#ifndef TEDSKIT_BASE_HEX_H
#define TEDSKIT_BASE_HEX_H

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tedskit::base {

// 0 to 15 for a hexadecimal digit, -1 for any other character.
constexpr int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void appendHex(std::string& out, uint8_t byte);
void appendHex(std::string& out, std::span<const uint8_t> bytes);
// Each byte's two digits behind a separator: " 0F A5" for a blank.
void appendHex(std::string& out, std::span<const uint8_t> bytes, char separator);
std::string toHex(std::span<const uint8_t> bytes);

// The number that digits spells: 1 to 16 hexadecimal digits and nothing else.
std::optional<uint64_t> hexNumber(std::string_view digits);
// Bytes from pairs of digits run together; nothing when a character is not a digit or a
// digit is left over.
std::optional<std::vector<uint8_t>> hexBytes(std::string_view digits);

// Fills out from the pairs of digits at the start of a NUL-terminated text and stops at
// the first pair that is not two digits, never reading past the terminator. Returns how
// many bytes were read; the rest of out is left as it was.
std::size_t readHexPrefix(const char* text, std::span<uint8_t> out);

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_HEX_H
