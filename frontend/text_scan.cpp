#include "text_scan.h"

#include <limits>

#include "base/integer_text.h"

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

std::optional<int32_t> leadingDecimal(std::string_view text) {
  const auto value = tedskit::base::leadingInteger(text, 10);
  if (!value || *value < std::numeric_limits<int32_t>::min() ||
      *value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(*value);
}

}  // namespace quillon
