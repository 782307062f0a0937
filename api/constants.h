// The constants of a TDL template (the signal type, the mapping method, the coupling, a
// fixed electrical range): properties with a value and no bits. Shown as read-only
// fields, those of the template itself and of each case its layout is in.
#ifndef TEDSKIT_API_CONSTANTS_H
#define TEDSKIT_API_CONSTANTS_H

#include <cstdint>
#include <span>
#include <vector>

#include "field_model.h"
#include "tedskit/orlin.hpp"

namespace teds {

struct ConstantField {
  FieldModel model;
  TypedValue value;
  int64_t engineBit = 0;  // where it stands: the first bit of what follows it
};

// In the order the template gives them, walking memory (the TDL engine's memory: the
// checksum byte, then the template data) as the decoder walks it.
std::vector<ConstantField> constantFields(const CTDLTemplate& tmpl, std::span<const uint8_t> memory);

}  // namespace teds

#endif
