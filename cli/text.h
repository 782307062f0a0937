// Text helpers of the tool: the libraries keep ISO-8859-1 bytes (the degree sign is 0xB0),
// the terminal speaks UTF-8; JSON strings; colour on terminals only.
#ifndef TEDSKIT_CLI_TEXT_H
#define TEDSKIT_CLI_TEXT_H

#include <string>
#include <string_view>

#include "latin1.h"

namespace teds {

// Number of characters a UTF-8 text shows (continuation bytes are not counted).
std::size_t displayWidth(std::string_view utf8);
// Pads a UTF-8 text with blanks to a display width.
std::string padRight(std::string_view utf8, std::size_t width);

// A JSON string literal, quotes included; the text must be UTF-8.
std::string jsonString(std::string_view utf8);

// ANSI styles, or nothing when colour is off.
class Style {
 public:
  explicit Style(bool colour) : colour_(colour) {}
  std::string bold(std::string_view text) const { return wrap("1", text); }
  std::string dim(std::string_view text) const { return wrap("2", text); }
  std::string green(std::string_view text) const { return wrap("32", text); }
  std::string red(std::string_view text) const { return wrap("31", text); }
  std::string cyan(std::string_view text) const { return wrap("36", text); }

 private:
  std::string wrap(const char* code, std::string_view text) const;
  bool colour_;
};

}  // namespace teds

#endif
