// The "selector W, V" line of the template description files: a selector field of W bits
// holding V. A line of width 8 names the template the description is for.
#ifndef TEDSKIT_BASE_SELECTOR_LINE_H
#define TEDSKIT_BASE_SELECTOR_LINE_H

#include <cstdint>
#include <optional>
#include <string_view>

namespace tedskit::base {

struct SelectorLine {
  long long width;
  std::optional<long long> value;  // none when the comma or the number after it is missing
};

// The numbers after the keyword, each a C integer literal; nothing without the width.
std::optional<SelectorLine> parseSelectorLine(std::string_view afterKeyword);

// The template ID of a line of width 8 whose value fits 32 bits.
std::optional<int32_t> templateIdOf(const std::optional<SelectorLine>& line);

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_SELECTOR_LINE_H
