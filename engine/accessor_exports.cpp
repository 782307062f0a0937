// The exports of the field accessors: generic access by label, the template's name,
// ID and abstract, the model string and the calibration date.
#include "accessors/accessors.h"
#include "common/result_codes.h"
#include "tedskit/dorvia.h"

using namespace dorvia;

namespace {

int32_t indexOf(const TEDSTemplateFieldArrayStruct* array, const char* label) {
  if (array == nullptr || label == nullptr) return -1;
  return findItem(*array, label);
}

int32_t getValue(const TEDSTemplateFieldArrayStruct* array, const char* label, int32_t type, void* value,
                 int32_t size) {
  if (array == nullptr || label == nullptr) return kMissingArgument;
  return getFieldValue(*array, label, type, value, size);
}

int32_t setValue(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t type, const void* value) {
  if (array == nullptr || label == nullptr) return kMissingArgument;
  return setFieldValue(*array, label, type, value);
}

int32_t templateName(const TEDSTemplateFieldArrayStruct* array, char* buffer, int32_t size) {
  if (array == nullptr) return kMissingArgument;
  return getTemplateName(*array, buffer, size);
}

int32_t templateIndex(const TEDSTemplateFieldArrayStruct* array) {
  if (array == nullptr) return kMissingArgument;
  return getTemplateIndex(*array);
}

int32_t abstractText(const TEDSTemplateFieldArrayStruct* array, char* buffer, int32_t size) {
  if (array == nullptr) return kMissingArgument;
  return getAbstractText(*array, buffer, size);
}

int32_t modelText(const TEDSTemplateFieldArrayStruct* array, char separator, char* buffer, int32_t size) {
  if (array == nullptr) return kMissingArgument;
  return getModelText(*array, separator, buffer, size);
}

int32_t setModel(TEDSTemplateFieldArrayStruct* array, const char* text) {
  if (array == nullptr || text == nullptr) return kMissingArgument;
  return setModelText(*array, text);
}

int64_t calibrationDate(const TEDSTemplateFieldArrayStruct* array) {
  if (array == nullptr) return kMissingArgument;
  return calibrationTime(*array);
}

int32_t setCalibrationDate(TEDSTemplateFieldArrayStruct* array, int64_t calendarTime) {
  if (array == nullptr) return kMissingArgument;
  return setCalibrationTime(*array, calendarTime);
}

}  // namespace

extern "C" {

DORVIA_API int32_t DORVIA_GetIndexFromTemplateFieldArray(const TEDSTemplateFieldArrayStruct* array,
                                                         const char* label) {
  return guard(-1, [&] { return indexOf(array, label); });
}

DORVIA_API int32_t DORVIA_GetTEDSDataFromTemplateFieldArray(const TEDSTemplateFieldArrayStruct* array,
                                                            const char* label, int32_t type, void* value,
                                                            int32_t size) {
  return guard(kMissingArgument, [&] { return getValue(array, label, type, value, size); });
}

DORVIA_API int32_t DORVIA_SetTEDSDataToTemplateFieldArray(TEDSTemplateFieldArrayStruct* array,
                                                          const char* label, int32_t type,
                                                          const void* value) {
  return guard(kMissingArgument, [&] { return setValue(array, label, type, value); });
}

DORVIA_API int32_t DORVIA_GetTEDSTemplateName(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                              int32_t size) {
  return guard(kMissingArgument, [&] { return templateName(array, buffer, size); });
}

DORVIA_API int32_t DORVIA_GetTEDSTemplateIndex(const TEDSTemplateFieldArrayStruct* array) {
  return guard(kMissingArgument, [&] { return templateIndex(array); });
}

DORVIA_API int32_t DORVIA_GetTEDSAbstractStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                             int32_t size) {
  return guard(kMissingArgument, [&] { return abstractText(array, buffer, size); });
}

DORVIA_API int32_t DORVIA_GetTEDSModelStr(const TEDSTemplateFieldArrayStruct* array, char separator,
                                          char* buffer, int32_t size) {
  return guard(kMissingArgument, [&] { return modelText(array, separator, buffer, size); });
}

DORVIA_API int32_t DORVIA_SetTEDSModelStr(TEDSTemplateFieldArrayStruct* array, const char* text) {
  return guard(kMissingArgument, [&] { return setModel(array, text); });
}

DORVIA_API int64_t DORVIA_GetTEDSCalibrationDateTimeT(const TEDSTemplateFieldArrayStruct* array) {
  return guard<int64_t>(kMissingArgument, [&] { return calibrationDate(array); });
}

DORVIA_API int32_t DORVIA_SetTEDSCalibrationDateTimeT(TEDSTemplateFieldArrayStruct* array,
                                                      int64_t calendarTime) {
  return guard(kMissingArgument, [&] { return setCalibrationDate(array, calendarTime); });
}

}  // extern "C"
