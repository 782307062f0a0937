#include "teds_info/field_access.h"

#include <vector>

#include "tedskit/dorvia.h"

namespace dorvia {

void setItemText(TEDSTemplateFieldArrayStruct* array, const char* label, const std::string& text) {
  if (label == nullptr) return;
  DORVIA_SetTEDSDataToTemplateFieldArray(array, label, kItemText, text.c_str());
}

void setItemInteger(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t value) {
  if (label == nullptr) return;
  DORVIA_SetTEDSDataToTemplateFieldArray(array, label, kItemInteger, &value);
}

std::string getItemText(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t size) {
  if (label == nullptr) return {};
  std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 1), '\0');
  if (DORVIA_GetTEDSDataFromTemplateFieldArray(array, label, kItemText, buffer.data(), size) < 0 &&
      buffer.front() == '\0')
    return {};
  buffer.back() = '\0';
  return buffer.data();
}

int32_t getItemInteger(TEDSTemplateFieldArrayStruct* array, const char* label) {
  if (label == nullptr) return 0;
  int32_t value = 0;
  if (DORVIA_GetTEDSDataFromTemplateFieldArray(array, label, kItemInteger, &value, 0) < 0) return 0;
  return value;
}

}  // namespace dorvia
