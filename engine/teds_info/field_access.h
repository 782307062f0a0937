// The TDL engine reads and writes field-array items only through the field
// accessors of the library, found by label (case-insensitive).
#ifndef TEDSKIT_ENGINE_TEDS_INFO_FIELD_ACCESS_H
#define TEDSKIT_ENGINE_TEDS_INFO_FIELD_ACCESS_H

#include <cstdint>
#include <string>

#include "tedskit/records.h"

namespace dorvia {

// Accessor value types.
inline constexpr int32_t kItemInteger = 1;
inline constexpr int32_t kItemText = 5;

// Writing an item that does not exist (or a null label) changes nothing.
void setItemText(TEDSTemplateFieldArrayStruct* array, const char* label, const std::string& text);
void setItemInteger(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t value);
// Reading an item that does not exist gives "" or 0; a text keeps at most size - 1 characters.
std::string getItemText(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t size);
int32_t getItemInteger(TEDSTemplateFieldArrayStruct* array, const char* label);

}  // namespace dorvia

#endif
