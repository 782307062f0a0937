// Turns the pieces of one property statement into a CTDLProperty.
#ifndef TEDSKIT_TDL_PROPERTY_BUILDER_H
#define TEDSKIT_TDL_PROPERTY_BUILDER_H

#include <cstdint>
#include <memory>
#include <string>

#include "lexer.h"
#include "tedskit/orlin.hpp"

class CTDLProperty;
class CTDLTemplate;

namespace orlin_detail {

// The quote-removal and composition buffers of the model hold 255 bytes: texts that
// pass through them are cut to this many characters.
constexpr std::size_t kTextLimit = 254;

// s without double quotes, cut to kTextLimit.
std::string unquoted(std::string_view s);
// The same as a new[] text, made without a string in between.
char* copyUnquoted(std::string_view s);

// Decimal integer text to int, saturating at the int32 range.
int32_t toInt(std::string_view text);
// Decimal number text to double ("C" locale, an optional leading sign).
double toDouble(std::string_view text);

struct PropertyStatement {
  std::string label;        // the LABEL, "%" included
  std::string description;  // as written (quotes included), or the composed label form
  std::string access;       // "ID", "CAL", "USR" or empty
  std::string widthText;    // the width integer as written
  Tok type = Tok::Unint;    // the type keyword, or Ident for an enumeration name
  std::string enumName;     // for Tok::Ident
  std::string start, step;  // the two numbers of ConRes / ConRelRes
  std::string format;       // as written, or empty
  std::string units;        // as written, or empty
  bool hasDefault = false;
  std::string defaultValue;  // as written
};

// The property the statement declares; null when its bit width comes out 0 (such
// properties never enter a list). Enumeration names are looked up in tmpl.
std::unique_ptr<CTDLProperty> buildProperty(const PropertyStatement& st, CTDLTemplate& tmpl);

// The constant a statement with a value declares: the data type its type keyword gives
// (enumeration looked up in tmpl). before is left 0.
TDLConstant constantOf(const PropertyStatement& st, CTDLTemplate& tmpl);

// The property that closes every template: open-length user data.
std::unique_ptr<CTDLProperty> buildEndOfTemplateProperty();

}  // namespace orlin_detail

#endif
