// Exports that pass straight through to the engine, on the array of a tagged array.
#include "base/guard.h"
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

using tedskit::base::guard;

extern "C" {

QUILLON_API int32_t QUILLON_ConvertTEDSManufactureIndexToString(const char* templateDir,
                                                                int32_t manufacturerID, char* buffer,
                                                                int32_t size) {
  return guard(QUILLON_ERR_MISSING_ARGUMENT, [&] {
    return DORVIA_ConvertTEDSManufactureIndexToString(templateDir, manufacturerID, buffer, size);
  });
}

QUILLON_API int32_t QUILLON_GetTEDSManufacturerStr(const TaggedFieldArray* array, const char* templateDir,
                                                   char* buffer, int32_t size) {
  return guard(QUILLON_ERR_MISSING_ARGUMENT, [&] {
    return array == nullptr ? QUILLON_ERR_MISSING_ARGUMENT
                            : DORVIA_GetTEDSManufacturerStr(&array->array, templateDir, buffer, size);
  });
}

QUILLON_API int32_t QUILLON_GetTEDSTemplateName(const TaggedFieldArray* array, char* buffer, int32_t size) {
  return guard(QUILLON_ERR_MISSING_ARGUMENT, [&] {
    return array == nullptr ? QUILLON_ERR_MISSING_ARGUMENT
                            : DORVIA_GetTEDSTemplateName(&array->array, buffer, size);
  });
}

QUILLON_API int32_t QUILLON_SetTEDSUserDataStr(TaggedFieldArray* array, const char* text) {
  return guard(QUILLON_ERR_MISSING_ARGUMENT, [&] {
    return array == nullptr ? QUILLON_ERR_MISSING_ARGUMENT : DORVIA_SetTEDSUserDataStr(&array->array, text);
  });
}

}  // extern "C"
