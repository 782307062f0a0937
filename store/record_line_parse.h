// The template line and the item lines of a record block.
#ifndef TEDSKIT_STORE_RECORD_LINE_PARSE_H
#define TEDSKIT_STORE_RECORD_LINE_PARSE_H

#include <cstdint>
#include <optional>
#include <string_view>

#include "tedskit/records.h"

namespace tedskit::store {

struct TemplateLine {
  int32_t templateID;
  sccontrolstruct selectCases;  // count 0 when the line gives none
};

// The template ID is the first number that, with everything after it, is a list of
// whole numbers separated by delimiters: the template name before it may hold the
// delimiter, even followed by a number. After the ID come the select-case count and
// values; a count outside 0 to 16 holds no values, and a count beyond the values given
// is cut to them. None when no delimiter is followed by such a list.
std::optional<TemplateLine> parseTemplateLine(std::string_view line, char delimiter);

struct ItemLine {
  int32_t unitNumber;     // -1 when the line gives none
  int32_t channelNumber;  // -1 when the line gives none
  std::string_view value;
};

// [unit + 1 delimiter] [channel + 1 delimiter] "label" delimiter value delimiter units.
// The label and units the template expects (empty when not known) let a label or a
// value hold the delimiter; without them the value ends at the last delimiter. None
// when the line has no quoted label after whole numbers.
std::optional<ItemLine> parseItemLine(std::string_view line, char delimiter, std::string_view label,
                                      std::string_view units);

}  // namespace tedskit::store

#endif
