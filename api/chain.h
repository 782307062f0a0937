// Templates chained after the first one. After a transducer template's last field a
// selector of 0 announces one more template ID and that template's data (the calibration
// table, curve and frequency response templates follow this way); a selector of 3 ends
// the chain. The engine decodes the first template only, so the chain is cut out of the
// image, read here on the template's TDL description, and put back on encoding.
#ifndef TEDSKIT_API_CHAIN_H
#define TEDSKIT_API_CHAIN_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bit_string.h"
#include "field_model.h"
#include "tedskit/orlin.hpp"

namespace teds {

// One field of a chained template, or the count of one of its struct arrays.
struct ChainItem {
  FieldModel model;
  TypedValue value;
  int64_t offset = 0;  // first bit within the chain's bits
  uint64_t raw = 0;
  bool settable = true;  // a select case, a text or a field wider than 64 bits is kept as read
  // The count of a struct array: where its elements begin and where each one ends, and
  // the bits of a new element (as a new template's, one element in each nested array).
  bool count = false;
  int64_t elementsStart = 0;
  std::vector<int64_t> elementEnds;
  BitString blankElement;
};

struct ChainedTemplate {
  int id = 0;
  std::string name;                        // UTF-8
  std::optional<std::string> provisional;  // the note of a partly provisional layout
  int64_t start = 0, end = 0;              // its bits in the chain, selector and ID included
  std::vector<ChainItem> items;
};

struct Chain {
  BitString bits;
  std::vector<ChainedTemplate> templates;
};

// The templates chained at the start of rest (the template data after the first
// template's last field). Nothing when rest starts with another selector, or when what
// follows is no chain of loaded templates ending in selector 3: those bits stay where the
// engine reads them, as user data.
std::optional<Chain> readChain(const BitString& rest, CTDLTemplateCollection& templates);
// Reads edited chain bits again; throws Failure when they no longer read as a chain.
Chain rereadChain(BitString bits, CTDLTemplateCollection& templates);
// Selector, template ID and a new template's data: each number 0 (or its lowest value
// where its scale does not reach 0), one element in each array.
BitString blankTemplate(const CTDLTemplate& tmpl);

// The raw bits for a value checked by checkValue (its engine text).
uint64_t chainRawValue(const FieldModel& model, const std::string& engineText);

}  // namespace teds

#endif
