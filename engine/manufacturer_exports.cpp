// The manufacturer-name exports.
#include "accessors/accessors.h"
#include "accessors/manufacturers.h"
#include "c_boundary.h"
#include "common/text_util.h"
#include "tedskit/dorvia.h"

using namespace dorvia;

extern "C" {

DORVIA_API int32_t DORVIA_ConvertTEDSManufactureIndexToString(const char* templateDir, int32_t manufacturerID,
                                                              char* buffer, int32_t size) {
  return guarded(kBufferTooSmall,
                 [&] { return copyOut(manufacturerName(templateDir, manufacturerID), buffer, size); });
}

DORVIA_API int32_t DORVIA_GetTEDSManufacturerStr(const TEDSTemplateFieldArrayStruct* array,
                                                 const char* templateDir, char* buffer, int32_t size) {
  if (array == nullptr) return kMissingArgument;
  return guarded(kMissingArgument, [&] { return getManufacturerText(*array, templateDir, buffer, size); });
}

DORVIA_API int32_t DORVIA_SetTEDSManufacturerStr(TEDSTemplateFieldArrayStruct* array, const char* templateDir,
                                                 const char* name) {
  if (array == nullptr || name == nullptr) return kMissingArgument;
  return guarded(kMissingArgument, [&] { return setManufacturerFromName(*array, templateDir, name); });
}

}  // extern "C"
