#include "base/hex.h"

namespace tedskit::base {

void appendHex(std::string& out, uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

void appendHex(std::string& out, std::span<const uint8_t> bytes) {
  out.reserve(out.size() + 2 * bytes.size());
  for (const uint8_t b : bytes) appendHex(out, b);
}

void appendHex(std::string& out, std::span<const uint8_t> bytes, char separator) {
  out.reserve(out.size() + 3 * bytes.size());
  for (const uint8_t b : bytes) {
    out += separator;
    appendHex(out, b);
  }
}

std::string toHex(std::span<const uint8_t> bytes) {
  std::string out;
  appendHex(out, bytes);
  return out;
}

std::optional<uint64_t> hexNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 16) return std::nullopt;
  uint64_t value = 0;
  for (const char c : digits) {
    const int digit = hexValue(c);
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint64_t>(digit);
  }
  return value;
}

std::optional<std::vector<uint8_t>> hexBytes(std::string_view digits) {
  if (digits.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(digits.size() / 2);
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int high = hexValue(digits[i]);
    const int low = hexValue(digits[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(high << 4 | low));
  }
  return bytes;
}

std::size_t readHexPrefix(const char* text, std::span<uint8_t> out) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    // A NUL is not a digit, so the second character is read only after a first digit.
    const int high = hexValue(text[2 * i]);
    if (high < 0) return i;
    const int low = hexValue(text[2 * i + 1]);
    if (low < 0) return i;
    out[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return out.size();
}

}  // namespace tedskit::base
