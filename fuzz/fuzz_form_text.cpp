// Parses arbitrary template form text into a field array, reads every field through
// the accessors, writes the array back and encodes both texts.
#include <cstdint>
#include <memory>
#include <string>

#include "tedskit/dorvia.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);  // terminated copy
  // One array for all inputs, as a caller would reuse it: what an earlier text left in
  // it must not leak into this one.
  static const auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  static std::string text(1 << 17, '\0');
  DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(input.c_str(), array.get(), size % 2);

  char buffer[256];
  // Every value type on the first items; label lookups over all items come with them.
  for (int32_t i = 0; i < array->numItems && i < 16; ++i) {
    const char* label = array->items[i].label;
    for (int32_t type = 0; type <= 9; ++type) {
      double value[4] = {};
      DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), label, type,
                                               type == 5 ? static_cast<void*>(buffer) : value, sizeof buffer);
    }
  }
  DORVIA_GetTEDSModelStr(array.get(), '-', buffer, sizeof buffer);
  DORVIA_GetTEDSCalibrationDateTimeT(array.get());
  DORVIA_SetTEDSModelStr(array.get(), input.c_str());
  DORVIA_SetTEDSUserDataStr(array.get(), input.c_str());

  const char* image = nullptr;
  if (DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text.data(),
                                                         static_cast<int32_t>(text.size())) == 0) {
    DORVIA_EncodeTemplateFormToRawTEDS(text.c_str(), &image, 1);
  }
  DORVIA_EncodeTemplateFormToRawTEDS(input.c_str(), &image, 0);
  return 0;
}
