#include "property_builder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "tedskit/orlin.hpp"
#include "text_util.h"

namespace orlin_detail {
namespace {

// The name under which a property without a known label looks its type up.
const char* typeName(Tok type) {
  switch (type) {
    case Tok::Unint:
      return "UNINT";
    case Tok::Chr5:
      return "CHR5";
    case Tok::Date:
      return "DATE";
    case Tok::ConRelRes:
      return "ConRelRes";
    case Tok::ConRes:
      return "ConRes";
    case Tok::Ascii:
      return "ASCII";
    case Tok::String5:
      return "String5";
    case Tok::String7:
      return "String7";
    case Tok::String16:
      return "String16";
    case Tok::Single:
      return "Single";
    case Tok::Unicode:
      return "Unicode";
    case Tok::BitBin:
      return "BitBin";
    default:
      return "Enumeration";
  }
}

int32_t saturate(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);  // truncates toward zero
}

// Characters of a string of 2^w - 1 characters, each bitsPerChar wide.
int32_t stringWidth(int32_t w, int bitsPerChar) {
  return saturate((std::pow(2.0, static_cast<double>(w)) - 1.0) * bitsPerChar);
}

bool isOpenLengthLabel(std::string_view label) {
  return equalsIgnoreCase(label, "%user") || equalsIgnoreCase(label, "%asciiteds") ||
         equalsIgnoreCase(label, "%xml");
}

}  // namespace

std::string unquoted(std::string_view s) {
  std::string out = withoutQuotes(s);
  if (out.size() > kTextLimit) out.resize(kTextLimit);
  return out;
}

char* copyUnquoted(std::string_view s) {
  char* copy = new char[std::min(s.size(), kTextLimit) + 1];
  std::size_t n = 0;
  for (char c : s) {
    if (c == '"') continue;
    if (n == kTextLimit) break;
    copy[n++] = c;
  }
  copy[n] = '\0';
  return copy;
}

int32_t toInt(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int64_t v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    return (!text.empty() && text.front() == '-') ? std::numeric_limits<int32_t>::min()
                                                  : std::numeric_limits<int32_t>::max();
  }
  if (ec != std::errc()) return 0;
  return saturate(static_cast<double>(v));
}

double toDouble(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double v = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // Too small rounds to zero, too large to infinity, as strtod would.
    const std::size_t e = text.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-';
    if (tiny) return 0.0;
    return (!text.empty() && text.front() == '-') ? -HUGE_VAL : HUGE_VAL;
  }
  return ec == std::errc() ? v : 0.0;
}

std::unique_ptr<CTDLProperty> buildProperty(const PropertyStatement& st, CTDLTemplate& tmpl) {
  // A property of width 0 never enters a list: it is not built at all.
  const int32_t w = toInt(st.widthText);
  int32_t width = w;
  if (st.hasDefault) {
    width = 0;
  } else if (st.type == Tok::String5) {
    width = stringWidth(w, 5);
  } else if (st.type == Tok::String7) {
    width = stringWidth(w, 7);
  } else if (st.type == Tok::String16) {
    width = stringWidth(w, 16);
  }
  if (isOpenLengthLabel(st.label) && st.widthText == "0") width = -1;
  if (width == 0) return nullptr;

  auto p = std::make_unique<CTDLProperty>();
  p->setAccess(st.access.c_str());
  // The texts go straight into the new property's empty members, as their setters
  // would put them, without measuring or copying them twice.
  p->m_description = copyText(std::string_view(st.description));
  const bool typed =
      p->setPropertyTypeFromString(st.label.c_str()) || p->setPropertyTypeFromString(typeName(st.type));
  p->m_format = copyText(std::string_view(st.format));
  p->m_units = copyText(std::string_view(st.units));
  p->m_structLabel = copyUnquoted(st.description);

  switch (st.type) {
    case Tok::ConRes:
    case Tok::ConRelRes: {
      dUnion range{};
      range.startValue = toDouble(st.start);
      range.resolution = toDouble(st.step);
      p->setDatadefinition(st.type == Tok::ConRes ? DT_CONRES : DT_CONRELRES, range);
      break;
    }
    case Tok::Ident: {
      dUnion table{};
      table.enumeration = tmpl.getEnumeration(st.enumName.c_str());
      p->setDatadefinition(DT_ENUMERATION, table);
      break;
    }
    case Tok::String5:
      p->m_dataType = DT_CHR5;
      break;
    case Tok::String7:
    case Tok::String16:
    case Tok::Unicode:
      // No data type name matches these; they hold text.
      p->m_dataType = DT_ASCII;
      break;
    default:
      p->getDataypeFromString(typeName(st.type));
      break;
  }
  p->setBitWidth(width);

  // Neither label nor type keyword is in the label table: take the row that stands for
  // the data type, so the property is never mistaken for a select case or user data.
  if (!typed) p->setType(static_cast<ePropertyType>(int{PT_TYPE_UNINT} + int{p->m_dataType}));
  return p;
}

TDLConstant constantOf(const PropertyStatement& st, CTDLTemplate& tmpl) {
  TDLConstant constant{0, DT_ASCII, nullptr, nullptr, nullptr, nullptr, nullptr};
  switch (st.type) {
    case Tok::ConRes:
      constant.dataType = DT_CONRES;
      break;
    case Tok::ConRelRes:
      constant.dataType = DT_CONRELRES;
      break;
    case Tok::Single:
      constant.dataType = DT_SINGLE;
      break;
    case Tok::Unint:
      constant.dataType = DT_UNINT;
      break;
    case Tok::Date:
      constant.dataType = DT_DATE;
      break;
    case Tok::Chr5:
    case Tok::String5:
      constant.dataType = DT_CHR5;
      break;
    case Tok::Ident:
      constant.dataType = DT_ENUMERATION;
      constant.enumeration = tmpl.getEnumeration(st.enumName.c_str());
      break;
    default:
      break;
  }
  return constant;
}

std::unique_ptr<CTDLProperty> buildEndOfTemplateProperty() {
  auto p = std::make_unique<CTDLProperty>();
  p->setType(PT_USER);
  p->setAccess("USR");
  p->setBitWidth(-1);
  p->setStructLabel(p->getKnownPropertyLabel());
  p->m_dataType = DT_CHR5;
  p->setUnits("");
  return p;
}

}  // namespace orlin_detail
