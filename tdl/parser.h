// The TDL grammar, read by recursive descent, building the object model as it goes.
#ifndef TEDSKIT_TDL_PARSER_H
#define TEDSKIT_TDL_PARSER_H

#include <cstdint>
#include <string_view>

class CTDLTemplateCollection;

namespace orlin_detail {

enum class ParseOutcome {
  Accepted,
  SyntaxError,    // reported on stderr; what was built before it stays
  ScannerFailed,  // a fatal scanner condition, reported on stderr
};

// Parses the text of a TDL file into the collection. Templates are appended to the
// collection as their TEMPLATE keyword is read; each one is complete before the next
// starts, except the one a stop cuts short. Never throws.
ParseOutcome parseTdl(std::string_view text, CTDLTemplateCollection& into);

}  // namespace orlin_detail

#endif
