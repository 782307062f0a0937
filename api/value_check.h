// Values a caller gives for a field, checked against what the field can hold before any
// engine sees them, the same way whichever engine decoded the TEDS.
#ifndef TEDSKIT_API_VALUE_CHECK_H
#define TEDSKIT_API_VALUE_CHECK_H

#include <string>
#include <string_view>
#include <vector>

#include "failure.h"
#include "field_model.h"

namespace teds {

// A value the field cannot hold; the message names the field, what it takes and the value.
class ValueRefused : public Failure {
 public:
  using Failure::Failure;
};

struct CheckedValue {
  std::string engineText;  // UTF-8, in the form both engines read alike
  std::vector<std::string> notes;
};

// value is UTF-8. Throws ValueRefused.
CheckedValue checkValue(const FieldModel& field, std::string_view value);

// "LABEL" in quotes, for messages.
std::string quotedLabel(const FieldModel& field);
// The field's range in words: "5e-07 to 172.24 V/(m/s^2)".
std::string rangeText(const FieldModel& field);

}  // namespace teds

#endif
