// Finding and converting single fields of a field array by label.
#ifndef TEDSKIT_ENGINE_ACCESSORS_ACCESSORS_H
#define TEDSKIT_ENGINE_ACCESSORS_ACCESSORS_H

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

// The template's name, ID and abstract; -53 for an array that was never filled.
int32_t getTemplateName(const TEDSTemplateFieldArrayStruct& array, char* buffer, int32_t size);
int32_t getTemplateIndex(const TEDSTemplateFieldArrayStruct& array);
int32_t getAbstractText(const TEDSTemplateFieldArrayStruct& array, char* buffer, int32_t size);

// Model number, version letter and version number as one text, joined by separator.
int32_t getModelText(const TEDSTemplateFieldArrayStruct& array, char separator, char* buffer, int32_t size);
// Sets the three fields from a text such as "352-c-03"; -83 when it has not three parts.
int32_t setModelText(TEDSTemplateFieldArrayStruct& array, std::string_view text);

// The calibration date ("month/day/year") as calendar time at local noon, or a
// negative result code; and the date field set from a calendar time.
int64_t calibrationTime(const TEDSTemplateFieldArrayStruct& array);
int32_t setCalibrationTime(TEDSTemplateFieldArrayStruct& array, int64_t calendarTime);

// The manufacturer field as the name the template directory gives its ID, and the
// field set to the ID of a name (-1 when no manufacturer carries it).
int32_t getManufacturerText(const TEDSTemplateFieldArrayStruct& array, const char* templateDir, char* buffer,
                            int32_t size);
int32_t setManufacturerFromName(TEDSTemplateFieldArrayStruct& array, const char* templateDir,
                                std::string_view name);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_ACCESSORS_ACCESSORS_H
