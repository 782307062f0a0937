#include "base/selector_line.h"

#include <limits>

#include "base/integer_text.h"

namespace tedskit::base {

std::optional<SelectorLine> parseSelectorLine(std::string_view afterKeyword) {
  std::size_t used = 0;
  const auto width = leadingInteger(afterKeyword, 0, &used);
  if (!width) return std::nullopt;
  std::string_view rest = afterKeyword.substr(used);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  SelectorLine line{*width, std::nullopt};
  if (!rest.empty() && rest.front() == ',') line.value = leadingInteger(rest.substr(1), 0);
  return line;
}

std::optional<int32_t> templateIdOf(const std::optional<SelectorLine>& line) {
  if (!line || line->width != 8 || !line->value) return std::nullopt;
  const long long value = *line->value;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace tedskit::base
