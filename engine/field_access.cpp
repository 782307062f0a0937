#include "field_access.h"

#include <vector>

#include "tedskit/dorvia.h"

namespace dorvia {

void setItemText(TEDSTemplateFieldArrayStruct* array, const char* label, const std::string& text) {
  DORVIA_SetTEDSDataToTemplateFieldArray(array, label, kItemText, const_cast<char*>(text.c_str()));
}

void setItemInteger(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t value) {
  DORVIA_SetTEDSDataToTemplateFieldArray(array, label, kItemInteger, &value);
}

std::string getItemText(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t size) {
  std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 1), '\0');
  if (DORVIA_GetTEDSDataFromTemplateFieldArray(array, label, kItemText, buffer.data(), size) < 0 &&
      buffer.front() == '\0')
    return {};
  buffer.back() = '\0';
  return buffer.data();
}

int32_t getItemInteger(TEDSTemplateFieldArrayStruct* array, const char* label) {
  int32_t value = 0;
  if (DORVIA_GetTEDSDataFromTemplateFieldArray(array, label, kItemInteger, &value, 0) < 0) return 0;
  return value;
}

void setManufacturerIndex(TEDSTemplateFieldArrayStruct* array, int32_t id) { DORVIA_SetTEDSManufacturerIndex(array, id); }

int32_t getManufacturerIndex(TEDSTemplateFieldArrayStruct* array) {
  const int32_t id = DORVIA_GetTEDSManufacturerIndex(array);
  return id < 0 ? 0 : id;
}

}  // namespace dorvia
