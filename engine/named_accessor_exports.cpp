// The exports of the fields every TEDS template names the same way.
#include "accessors/accessors.h"
#include "common/result_codes.h"
#include "tedskit/dorvia.h"

using namespace dorvia;

namespace {

// Each runs its whole work inside the guard, so the exports below are one call each.
int32_t getText(const TEDSTemplateFieldArrayStruct* array, const char* fieldLabel, char* buffer,
                int32_t size) {
  return guard(kMissingArgument, [&] {
    return array == nullptr ? kMissingArgument
                            : getFieldValue(*array, fieldLabel, DORVIA_VALUE_TEXT, buffer, size);
  });
}

int32_t setText(TEDSTemplateFieldArrayStruct* array, const char* fieldLabel, const char* text) {
  return guard(kMissingArgument, [&] {
    return array == nullptr ? kMissingArgument : setFieldValue(*array, fieldLabel, DORVIA_VALUE_TEXT, text);
  });
}

float getFloat(const TEDSTemplateFieldArrayStruct* array, const char* fieldLabel) {
  return guard(static_cast<float>(kMissingArgument), [&] {
    if (array == nullptr) return static_cast<float>(kMissingArgument);
    float value = 0.0f;
    const int32_t result = getFieldValue(*array, fieldLabel, DORVIA_VALUE_FLOAT, &value, 0);
    return result < 0 ? static_cast<float>(result) : value;
  });
}

int32_t setFloat(TEDSTemplateFieldArrayStruct* array, const char* fieldLabel, float value) {
  return guard(kMissingArgument, [&] {
    return array == nullptr ? kMissingArgument
                            : setFieldValue(*array, fieldLabel, DORVIA_VALUE_FLOAT, &value);
  });
}

int32_t getInt(const TEDSTemplateFieldArrayStruct* array, const char* fieldLabel) {
  return guard(kMissingArgument, [&] {
    if (array == nullptr) return kMissingArgument;
    int32_t value = 0;
    const int32_t result = getFieldValue(*array, fieldLabel, DORVIA_VALUE_INT32, &value, 0);
    return result < 0 ? result : value;
  });
}

int32_t setInt(TEDSTemplateFieldArrayStruct* array, const char* fieldLabel, int32_t value) {
  return guard(kMissingArgument, [&] {
    return array == nullptr ? kMissingArgument
                            : setFieldValue(*array, fieldLabel, DORVIA_VALUE_INT32, &value);
  });
}

}  // namespace

extern "C" {

#define DORVIA_TEXT_FIELD(Name, fieldLabel)                                                             \
  DORVIA_API int32_t DORVIA_GetTEDS##Name##Str(const TEDSTemplateFieldArrayStruct* array, char* buffer, \
                                               int32_t size) {                                          \
    return getText(array, fieldLabel, buffer, size);                                                    \
  }                                                                                                     \
  DORVIA_API int32_t DORVIA_SetTEDS##Name##Str(TEDSTemplateFieldArrayStruct* array, const char* text) { \
    return setText(array, fieldLabel, text);                                                            \
  }

DORVIA_TEXT_FIELD(ModelNumber, label::kModelNumber)
DORVIA_TEXT_FIELD(VersionLetter, label::kVersionLetter)
DORVIA_TEXT_FIELD(VersionNumber, label::kVersionNumber)
DORVIA_TEXT_FIELD(SerialNumber, label::kSerialNumber)
DORVIA_TEXT_FIELD(CalibrationDate, label::kCalibrationDate)
DORVIA_TEXT_FIELD(Sensitivity, label::kSensitivity)
DORVIA_TEXT_FIELD(UserData, label::kUserData)

#define DORVIA_FLOAT_FIELD(Name, fieldLabel)                                                  \
  DORVIA_API float DORVIA_GetTEDS##Name(const TEDSTemplateFieldArrayStruct* array) {          \
    return getFloat(array, fieldLabel);                                                       \
  }                                                                                           \
  DORVIA_API int32_t DORVIA_SetTEDS##Name(TEDSTemplateFieldArrayStruct* array, float value) { \
    return setFloat(array, fieldLabel, value);                                                \
  }

DORVIA_FLOAT_FIELD(Sensitivity, label::kSensitivity)
DORVIA_FLOAT_FIELD(FreqReference, label::kFreqReference)
DORVIA_FLOAT_FIELD(FreqHPElectrical, label::kFreqHPElectrical)

#define DORVIA_INT_FIELD(Name, fieldLabel)                                                      \
  DORVIA_API int32_t DORVIA_GetTEDS##Name(const TEDSTemplateFieldArrayStruct* array) {          \
    return getInt(array, fieldLabel);                                                           \
  }                                                                                             \
  DORVIA_API int32_t DORVIA_SetTEDS##Name(TEDSTemplateFieldArrayStruct* array, int32_t value) { \
    return setInt(array, fieldLabel, value);                                                    \
  }

DORVIA_INT_FIELD(SensitivityDirection, label::kSensitivityDirection)
DORVIA_INT_FIELD(PhaseInversionID, label::kPhaseInversion)
DORVIA_INT_FIELD(MeasPosID, label::kMeasPosition)

DORVIA_API int32_t DORVIA_GetTEDSManufacturerIndex(const TEDSTemplateFieldArrayStruct* array) {
  return getInt(array, label::kManufacturer);
}

DORVIA_API int32_t DORVIA_SetTEDSManufacturerIndex(TEDSTemplateFieldArrayStruct* array,
                                                   int32_t manufacturerID) {
  return setInt(array, label::kManufacturer, manufacturerID);
}

}  // extern "C"
