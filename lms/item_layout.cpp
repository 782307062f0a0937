#include "item_layout.h"


#include "base/fixed_field.h"

namespace tedskit::lms {

using base::copyToField;

void layOutItems(TEDSTemplateFieldArrayStruct& array, int first, std::span<const ItemLayout> layouts) {
  int index = first;
  for (const ItemLayout& layout : layouts) {
    TEDSTemplateFieldStruct& item = array.items[index];
    // Every member written once; the copies clear what their texts leave.
    copyToField(item.label, layout.label);
    copyToField(item.value, "");
    item.datatype = layout.datatype;
    item.padding = 0;
    item.start = layout.start;
    item.step = layout.step;
    item.param3 = 0.0;
    copyToField(item.units, layout.units);
    item.access = 0;
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
