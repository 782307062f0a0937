#include "text_scan.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace quillon {

namespace {
constexpr std::string_view kBlanks = " \t";
}

std::string_view firstWord(std::string_view line) { return line.substr(0, line.find_first_of(kBlanks)); }

std::string_view trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  const std::size_t end = text.find_last_not_of(kBlanks);
  return text.substr(begin, end - begin + 1);
}

std::optional<int32_t> leadingInteger(std::string_view text, int base, std::string_view* rest) {
  // strtol wants a terminated text; a number of more than 40 characters cannot fit.
  char buffer[48];
  std::size_t skip = 0;
  while (skip < text.size() && (text[skip] == ' ' || text[skip] == '\t')) ++skip;
  const std::size_t length = std::min(text.size() - skip, sizeof buffer - 1);
  std::memcpy(buffer, text.data() + skip, length);
  buffer[length] = '\0';
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(buffer, &end, base);
  if (end == buffer || errno == ERANGE || value < std::numeric_limits<int32_t>::min() ||
      value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  if (rest != nullptr) *rest = text.substr(skip + static_cast<std::size_t>(end - buffer));
  return static_cast<int32_t>(value);
}

}  // namespace quillon
