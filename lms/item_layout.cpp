#include "item_layout.h"

#include <cstring>

#include "base/fixed_field.h"

namespace tedskit::lms {

using base::copyToField;

void layOutItems(TEDSTemplateFieldArrayStruct& array, int first, std::span<const ItemLayout> layouts) {
  int index = first;
  for (const ItemLayout& layout : layouts) {
    TEDSTemplateFieldStruct& item = array.items[index];
    std::memset(&item, 0, sizeof item);
    copyToField(item.label, layout.label);
    item.datatype = layout.datatype;
    item.start = layout.start;
    item.step = layout.step;
    copyToField(item.units, layout.units);
    item.width = layout.width;
    copyToField(array.templateLines[index], layout.row);
    ++index;
  }
  copyToField(array.templateLines[index], "EndTemplate");
}

void setArrayHeader(TEDSTemplateFieldArrayStruct& array, int32_t numItems, int32_t templateId,
                    const char* templateName) {
  array.numItems = numItems;
  array.templateID = templateId;
  copyToField(array.templateName, templateName);
}

}  // namespace tedskit::lms
