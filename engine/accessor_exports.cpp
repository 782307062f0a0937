// The exports of the field accessors: generic access by label, the template's name,
// ID and abstract, the model string and the calibration date.
#include "accessors/accessors.h"
#include "c_boundary.h"
#include "tedskit/dorvia.h"

using namespace dorvia;

extern "C" {

DORVIA_API int32_t DORVIA_GetIndexFromTemplateFieldArray(const TEDSTemplateFieldArrayStruct* array,
                                                         const char* label) {
  if (array == nullptr || label == nullptr) return -1;
  return findItem(*array, label);
}

DORVIA_API int32_t DORVIA_GetTEDSDataFromTemplateFieldArray(const TEDSTemplateFieldArrayStruct* array,
                                                            const char* label, int32_t type, void* value,
                                                            int32_t size) {
  if (array == nullptr || label == nullptr) return kMissingArgument;
  return guarded(kMissingArgument, [&] { return getFieldValue(*array, label, type, value, size); });
}

DORVIA_API int32_t DORVIA_SetTEDSDataToTemplateFieldArray(TEDSTemplateFieldArrayStruct* array,
                                                          const char* label, int32_t type,
                                                          const void* value) {
  if (array == nullptr || label == nullptr) return kMissingArgument;
  return setFieldValue(*array, label, type, value);
}

DORVIA_API int32_t DORVIA_GetTEDSTemplateName(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                              int32_t size) {
  if (array == nullptr) return kMissingArgument;
  return getTemplateName(*array, buffer, size);
}

DORVIA_API int32_t DORVIA_GetTEDSTemplateIndex(const TEDSTemplateFieldArrayStruct* array) {
  if (array == nullptr) return kMissingArgument;
  return getTemplateIndex(*array);
}

DORVIA_API int32_t DORVIA_GetTEDSAbstractStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                             int32_t size) {
  if (array == nullptr) return kMissingArgument;
  return getAbstractText(*array, buffer, size);
}

DORVIA_API int32_t DORVIA_GetTEDSModelStr(const TEDSTemplateFieldArrayStruct* array, char separator,
                                          char* buffer, int32_t size) {
  if (array == nullptr) return kMissingArgument;
  return guarded(kMissingArgument, [&] { return getModelText(*array, separator, buffer, size); });
}

DORVIA_API int32_t DORVIA_SetTEDSModelStr(TEDSTemplateFieldArrayStruct* array, const char* text) {
  if (array == nullptr || text == nullptr) return kMissingArgument;
  return guarded(kMissingArgument, [&] { return setModelText(*array, text); });
}

DORVIA_API int64_t DORVIA_GetTEDSCalibrationDateTimeT(const TEDSTemplateFieldArrayStruct* array) {
  if (array == nullptr) return kMissingArgument;
  return guarded<int64_t>(kMissingArgument, [&] { return calibrationTime(*array); });
}

DORVIA_API int32_t DORVIA_SetTEDSCalibrationDateTimeT(TEDSTemplateFieldArrayStruct* array,
                                                      int64_t calendarTime) {
  if (array == nullptr) return kMissingArgument;
  return setCalibrationTime(*array, calendarTime);
}

}  // extern "C"
