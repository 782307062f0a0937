// The TDL grammar, read by recursive descent, building the object model as it goes.
#ifndef TEDSKIT_TDL_PARSER_H
#define TEDSKIT_TDL_PARSER_H

#include "lexer.h"

class CTDLTemplateCollection;

namespace orlin_detail {

enum class ParseOutcome {
  Accepted,
  SyntaxError,    // reported on stderr; what was built before it stays
  ScannerFailed,  // a fatal scanner condition, reported on stderr
};

// Parses the TDL file that reader supplies into the collection. Templates are appended to the
// collection as their TEMPLATE keyword is read; each one is complete before the next
// starts, except the one a stop cuts short. Never throws.
ParseOutcome parseTdl(Reader reader, CTDLTemplateCollection& into);

}  // namespace orlin_detail

#endif
