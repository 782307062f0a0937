// What a caller needs to know of one field, alike for both engines: its typed kind, the
// room its bits give (range, resolution, characters, choices) and the one display rule.
#ifndef TEDSKIT_API_FIELD_MODEL_H
#define TEDSKIT_API_FIELD_MODEL_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine.h"

namespace teds {

enum class ValueKind { Integer, Real, Text, Date, Enumeration };

// How the bits of a number field map to values.
enum class NumberScale {
  None,      // not a scaled number
  Linear,    // start + resolution * n
  Relative,  // offset + start * (1 + 2 * tolerance)^n
  Single,    // an IEEE single, any finite value
};

struct FieldModel {
  int index = 0;
  std::string label;  // UTF-8
  int datatype = 0;   // TEDS_DT_*
  ValueKind kind = ValueKind::Integer;
  NumberScale scale = NumberScale::None;
  std::string units;   // UTF-8, from the template, without quotes
  // As the template gives it: "RO"/"RW" in a description file, "ID"/"CAL"/"USR" in a TDL
  // file (a TDL field whose class is not known shows the engine's "RO" or "RW").
  std::string access;
  int bitWidth = 0;    // -1: to the end of the memory
  double minimum = 0, maximum = 0;
  double start = 0, step = 0, offset = 0;  // the scale's numbers
  std::optional<int> decimals;             // the template's own format, when it has one
  std::vector<std::string> choices;        // enumerations, UTF-8
  bool chr5 = false;                       // 5-bit text
  bool identification = false;             // Basic TEDS or an ID-class property
  bool manufacturer = false;
  int textRoom = -1;  // characters a text field holds; -1: as many as the memory takes
};

// The models of every field of a decoded TEDS, in field order.
std::vector<FieldModel> fieldModels(const Teds& teds);

// Sets minimum and maximum from the field's scale and bit width.
void settleRange(FieldModel& field);

// The engine's text of the field's value (ISO-8859-1).
std::string rawValueText(const Teds& teds, int index);

// The resolution of a number field at a value: the step, or the gap between neighbouring
// values of a relative scale.
double resolutionAt(const FieldModel& field, double value);
// A number as the field shows it: rounded to its resolution, or to its template's own
// format when it has one and withFormat is true.
std::string formatNumber(const FieldModel& field, double value, bool withFormat = true);

// The decoded value in typed form.
struct TypedValue {
  ValueKind kind = ValueKind::Integer;
  int64_t integer = 0;  // Integer; index of an Enumeration; days since 1998 of a Date
  double real = 0;      // Real
  std::string text;     // UTF-8 text; the enumerate of an Enumeration; ISO date
  std::string display;  // the display rule's text
};
TypedValue typedValue(const Teds& teds, const FieldModel& field);

}  // namespace teds

#endif
