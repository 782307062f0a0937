// The manufacturer field read and written by name.
#include "accessors/accessors.h"
#include "accessors/manufacturers.h"
#include "common/text_util.h"
#include "tedskit/dorvia.h"

namespace dorvia {

int32_t getManufacturerText(const TEDSTemplateFieldArrayStruct& array, const char* templateDir, char* buffer,
                            int32_t size) {
  int32_t id = 0;
  const int32_t result = getFieldValue(array, label::kManufacturer, DORVIA_VALUE_INT32, &id, 0);
  if (result < 0) return result;
  return copyOut(manufacturerName(templateDir, id), buffer, size);
}

int32_t setManufacturerFromName(TEDSTemplateFieldArrayStruct& array, const char* templateDir,
                                std::string_view name) {
  if (!isFilled(array)) return kNotFilled;
  if (findItem(array, label::kManufacturer) < 0) return kLabelNotFound;
  const int32_t id = manufacturerID(templateDir, name);
  if (id < 0) return -1;
  return setFieldValue(array, label::kManufacturer, DORVIA_VALUE_INT32, &id);
}

}  // namespace dorvia
