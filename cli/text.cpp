#include "text.h"

#include <cctype>
#include <cstdio>

namespace teds {

std::size_t displayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (const char ch : utf8) {
    if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++width;
  }
  return width;
}

std::string padRight(std::string_view utf8, std::size_t width) {
  std::string out(utf8);
  for (std::size_t shown = displayWidth(utf8); shown < width; ++shown) out += ' ';
  return out;
}

std::string jsonString(std::string_view utf8) {
  std::string out = "\"";
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

std::string Style::wrap(const char* code, std::string_view text) const {
  if (!colour_) return std::string(text);
  return std::string("\033[") + code + "m" + std::string(text) + "\033[0m";
}

}  // namespace teds
