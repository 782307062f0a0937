#include "item_layout.h"

#include <cstring>

namespace tedskit::lms {
namespace {

template <std::size_t N>
void copyText(char (&target)[N], const char* text) {
  const std::size_t length = strnlen(text, N - 1);
  std::memcpy(target, text, length);
  target[length] = '\0';
}

}  // namespace

void layOutItems(TEDSTemplateFieldArrayStruct& array, int first, std::span<const ItemLayout> layouts) {
  int index = first;
  for (const ItemLayout& layout : layouts) {
    TEDSTemplateFieldStruct& item = array.items[index];
    std::memset(&item, 0, sizeof item);
    copyText(item.label, layout.label);
    item.datatype = layout.datatype;
    item.start = layout.start;
    item.step = layout.step;
    copyText(item.units, layout.units);
    item.width = layout.width;
    std::memset(array.templateLines[index], 0, TEDS_LINE_SIZE);
    copyText(array.templateLines[index], layout.row);
    ++index;
  }
  std::memset(array.templateLines[index], 0, TEDS_LINE_SIZE);
  copyText(array.templateLines[index], "EndTemplate");
}

void setArrayHeader(TEDSTemplateFieldArrayStruct& array, int32_t numItems, int32_t templateId,
                    const char* templateName) {
  array.numItems = numItems;
  array.templateID = templateId;
  std::memset(array.templateName, 0, sizeof array.templateName);
  copyText(array.templateName, templateName);
}

}  // namespace tedskit::lms
