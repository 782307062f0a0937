// Template form text <-> field array (the description engine's side).
#ifndef TEDSKIT_ENGINE_FORM_FORM_CONVERSION_H
#define TEDSKIT_ENGINE_FORM_FORM_CONVERSION_H

#include <cstdint>
#include <string_view>

#include "tedskit/records.h"

namespace dorvia {

// Fills array from form text: its lines, the template's name, ID and abstract, and one
// item per field line (values too when withValues is set). Always returns 0.
int32_t parseFormText(std::string_view text, TEDSTemplateFieldArrayStruct& array, bool withValues);

// Puts the items' values into the array's form lines and writes those lines out.
// Returns 0, or -21 when text (of size bytes) cannot hold them.
int32_t writeFormText(TEDSTemplateFieldArrayStruct& array, char* text, int32_t size);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_FORM_FORM_CONVERSION_H
