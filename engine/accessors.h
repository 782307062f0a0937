// Finding and converting single fields of a field array by label.
#ifndef TEDSKIT_ENGINE_ACCESSORS_H
#define TEDSKIT_ENGINE_ACCESSORS_H

#include <cstdint>
#include <string_view>

#include "common/result_codes.h"
#include "tedskit/records.h"

namespace dorvia {

// The labels of the named accessors.
namespace label {
constexpr const char* kManufacturer = "Manufacturer";
constexpr const char* kModelNumber = "Model number";
constexpr const char* kVersionLetter = "Version letter";
constexpr const char* kVersionNumber = "Version number";
constexpr const char* kSerialNumber = "Serial no.";
constexpr const char* kCalibrationDate = "Calibration date";
constexpr const char* kSensitivity = "Sensitivity @ Fref";
constexpr const char* kSensitivityDirection = "Sensitivity direction (x,y,z)";
constexpr const char* kFreqReference = "Fref";
constexpr const char* kPhaseInversion = "Phase invertion (0: 0\xB0, 1: 180\xB0)";
constexpr const char* kFreqHPElectrical = "F hp electrical";
constexpr const char* kMeasPosition = "Meas. position ID";
constexpr const char* kUserData = "User data (ascii)";
}  // namespace label

bool isFilled(const TEDSTemplateFieldArrayStruct& array);
// Index of the first item in use whose label matches (case-insensitively), or -1.
int32_t findItem(const TEDSTemplateFieldArrayStruct& array, std::string_view label);

// The generic accessors behind the exports; array and label must not be null.
int32_t getFieldValue(const TEDSTemplateFieldArrayStruct& array, std::string_view label, int32_t type,
                      void* value, int32_t size);
int32_t setFieldValue(TEDSTemplateFieldArrayStruct& array, std::string_view label, int32_t type,
                      const void* value);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_ACCESSORS_H
