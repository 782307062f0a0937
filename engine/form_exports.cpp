// The exports between template form text and the field array, and the field array of
// a template without values.
#include <string>

#include "accessors/accessors.h"
#include "base/fixed_meanings.h"
#include "common/result_codes.h"
#include "description/description_engine.h"
#include "engine_switch.h"
#include "form/form_conversion.h"
#include "tedskit/dorvia.h"
#include "v10/v10_engine.h"

using namespace dorvia;

namespace {

// Description-engine templates carry the old template numbers 0 to 24; higher IDs, and
// template kinds above 3, belong to the V1.0 (TDL) engine.
constexpr int32_t kLastDescriptionTemplateID = tedskit::base::kLastOldTemplate;
constexpr int32_t kLastDescriptionKind = 3;

int32_t fieldArrayFromTemplate(const char* path, int32_t templateID, TEDSTemplateFieldArrayStruct& array) {
  std::string form;
  const int32_t found = blankTemplateForm(path, templateID, form);
  if (found != 0) return found;
  return parseFormText(form, array, false);
}

int32_t formToArray(const char* formText, TEDSTemplateFieldArrayStruct* array, int32_t withValues) {
  if (array == nullptr) return kMissingArgument;
  if (v10StateOn() && withValues != 0) {
    // The V1.0 engine decodes its own images; the text is not read.
    array->reserved = 0;
    return DORVIA_FormatTEDSV10FromRaw(array);
  }
  if (formText == nullptr) return kMissingArgument;
  const int32_t parsed = parseFormText(formText, *array, withValues != 0);
  if (parsed != 0 || !v10StateOn()) return parsed;
  return DORVIA_FormatTEDSV10FromTemplateOnly(array) == kNoV10Engine ? kNoV10Engine : 0;
}

int32_t arrayToForm(TEDSTemplateFieldArrayStruct* array, char* text, int32_t size) {
  if (array == nullptr) return kMissingArgument;
  if (v10StateOn()) {
    // The V1.0 engine takes the array as its new content; no text is written.
    if (text != nullptr && size > 0) text[0] = '\0';
    return DORVIA_FormatTEDSV10FromFieldArray(array);
  }
  if (text == nullptr) return kMissingArgument;
  if (size <= 0) return kBufferTooSmall;
  return writeFormText(*array, text, size);
}

int32_t arrayFromTemplate(const char* descriptionPath, int32_t templateID, int32_t kind,
                          TEDSTemplateFieldArrayStruct* array) {
  if (array == nullptr) return kMissingArgument;
  if (kind > kLastDescriptionKind || templateID > kLastDescriptionTemplateID) {
    array->templateID = templateID;
    return DORVIA_FormatTEDSV10FromTemplateOnly(array);
  }
  if (descriptionPath == nullptr) return kMissingArgument;
  return fieldArrayFromTemplate(descriptionPath, templateID, *array);
}

}  // namespace

extern "C" {

DORVIA_API int32_t DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(const char* formText,
                                                                      TEDSTemplateFieldArrayStruct* array,
                                                                      int32_t withValues) {
  return guard(kMissingArgument, [&] { return formToArray(formText, array, withValues); });
}

DORVIA_API int32_t DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(TEDSTemplateFieldArrayStruct* array,
                                                                      char* text, int32_t size) {
  return guard(kMissingArgument, [&] { return arrayToForm(array, text, size); });
}

DORVIA_API int32_t DORVIA_SetTEDSFieldArrayStructToTemplate(const char* descriptionPath, int32_t templateID,
                                                            int32_t kind, int32_t /*manufacturerID*/,
                                                            TEDSTemplateFieldArrayStruct* array) {
  return guard(kMissingArgument, [&] { return arrayFromTemplate(descriptionPath, templateID, kind, array); });
}

}  // extern "C"
