// Laying out the items of an LMS field array.
#ifndef TEDSKIT_LMS_ITEM_LAYOUT_H
#define TEDSKIT_LMS_ITEM_LAYOUT_H

#include <cstdint>
#include <span>

#include "base/fixed_meanings.h"
#include "tedskit/records.h"

namespace tedskit::lms {

using base::kDatatypeGeometrySelector;
using base::kDatatypeLocation15;
using base::kDatatypeLocation16;
using base::kDatatypeOrientation;

// What one item shows apart from its value; `row` is its line in templateLines.
struct ItemLayout {
  const char* label;
  int32_t datatype;
  const char* units;
  int32_t width;
  const char* row;
  double start = 0.0;
  double step = 0.0;
};

// Writes the items and their rows from item `first` on, values emptied, then closes
// the rows with "EndTemplate".
void layOutItems(TEDSTemplateFieldArrayStruct& array, int first, std::span<const ItemLayout> layouts);

// Sets the array's header for a layout of `numItems` items; validMarker is left alone.
void setArrayHeader(TEDSTemplateFieldArrayStruct& array, int32_t numItems, int32_t templateId,
                    const char* templateName);

}  // namespace tedskit::lms

#endif
