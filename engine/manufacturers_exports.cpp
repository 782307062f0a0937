// The manufacturer-name exports.
#include "accessors.h"
#include "c_boundary.h"
#include "manufacturers.h"
#include "tedskit/dorvia.h"
#include "common/text_util.h"

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
  return guarded(kMissingArgument, [&]() -> int32_t {
    int32_t id = 0;
    const int32_t result = getFieldValue(*array, label::kManufacturer, DORVIA_VALUE_INT32, &id, 0);
    if (result < 0) return result;
    return copyOut(manufacturerName(templateDir, id), buffer, size);
  });
}

DORVIA_API int32_t DORVIA_SetTEDSManufacturerStr(TEDSTemplateFieldArrayStruct* array, const char* templateDir,
                                                 const char* name) {
  if (array == nullptr || name == nullptr) return kMissingArgument;
  return guarded(kMissingArgument, [&]() -> int32_t {
    if (!isFilled(*array)) return kNotFilled;
    if (findItem(*array, label::kManufacturer) < 0) return kLabelNotFound;
    const int32_t id = manufacturerID(templateDir, name);
    if (id < 0) return -1;
    return setFieldValue(*array, label::kManufacturer, DORVIA_VALUE_INT32, &id);
  });
}

}  // extern "C"
