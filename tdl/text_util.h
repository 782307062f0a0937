// Small text helpers shared by the model and the parser.
#ifndef TEDSKIT_TDL_TEXT_UTIL_H
#define TEDSKIT_TDL_TEXT_UTIL_H

#include <string>
#include <string_view>

#include "base/ascii_case.h"

namespace orlin_detail {

// A new[] copy of text (null stays null), as every string setter of the model stores.
char* copyText(const char* text);
// A new[] copy of text with a terminating zero.
char* copyText(std::string_view text);

// Replaces *slot with a copy of text, releasing the old one.
void replaceText(char*& slot, const char* text);

using tedskit::base::equalsIgnoreCase;

// text with every double-quote character removed.
std::string withoutQuotes(std::string_view text);

}  // namespace orlin_detail

#endif
