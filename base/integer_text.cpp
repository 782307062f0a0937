#include "base/integer_text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tedskit::base {

std::optional<long long> leadingInteger(std::string_view text, int base, std::size_t* used) {
  // strtoll needs a terminated text; no number worth reading is this long.
  char buffer[64];
  std::size_t skip = 0;
  while (skip < text.size() && (text[skip] == ' ' || text[skip] == '\t')) ++skip;
  const std::size_t n = std::min<std::size_t>(text.size() - skip, sizeof buffer - 1);
  std::memcpy(buffer, text.data() + skip, n);
  buffer[n] = '\0';
  char* end = nullptr;
  const long long value = std::strtoll(buffer, &end, base);
  if (end == buffer) return std::nullopt;
  if (used != nullptr) *used = skip + static_cast<std::size_t>(end - buffer);
  return value;
}

}  // namespace tedskit::base
