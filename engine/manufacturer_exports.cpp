// The manufacturer-name exports.
#include "accessors/accessors.h"
#include "accessors/manufacturers.h"
#include "common/result_codes.h"
#include "common/text_util.h"
#include "tedskit/dorvia.h"

using namespace dorvia;

namespace {

int32_t manufacturerText(const TEDSTemplateFieldArrayStruct* array, const char* templateDir, char* buffer,
                         int32_t size) {
  if (array == nullptr) return kMissingArgument;
  return getManufacturerText(*array, templateDir, buffer, size);
}

int32_t setManufacturer(TEDSTemplateFieldArrayStruct* array, const char* templateDir, const char* name) {
  if (array == nullptr || name == nullptr) return kMissingArgument;
  return setManufacturerFromName(*array, templateDir, name);
}

}  // namespace

extern "C" {

DORVIA_API int32_t DORVIA_ConvertTEDSManufactureIndexToString(const char* templateDir, int32_t manufacturerID,
                                                              char* buffer, int32_t size) {
  return guard(kBufferTooSmall,
               [&] { return copyOut(manufacturerName(templateDir, manufacturerID), buffer, size); });
}

DORVIA_API int32_t DORVIA_GetTEDSManufacturerStr(const TEDSTemplateFieldArrayStruct* array,
                                                 const char* templateDir, char* buffer, int32_t size) {
  return guard(kMissingArgument, [&] { return manufacturerText(array, templateDir, buffer, size); });
}

DORVIA_API int32_t DORVIA_SetTEDSManufacturerStr(TEDSTemplateFieldArrayStruct* array, const char* templateDir,
                                                 const char* name) {
  return guard(kMissingArgument, [&] { return setManufacturer(array, templateDir, name); });
}

}  // extern "C"
