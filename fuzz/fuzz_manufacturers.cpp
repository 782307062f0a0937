// Reads an arbitrary "Manufacture.txt" and looks names and IDs up in it.
// Input: 2 bytes of manufacturer ID, then the file.
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/fuzz_scratch_dir.h"
#include "tedskit/dorvia.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzScratch scratch;
  const int32_t id = size >= 2 ? static_cast<int16_t>(data[0] | data[1] << 8) : 0;
  const std::size_t skip = size >= 2 ? 2 : size;
  const std::string dir = scratch.dirWith("Manufacture.txt", data + skip, size - skip);

  char name[128];
  const int32_t length = DORVIA_ConvertTEDSManufactureIndexToString(dir.c_str(), id, name, sizeof name);
  if (length >= 0) {
    auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
    DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(
        "\"Manufacturer\",\"RO\",\"14\",\"Manufacturer\",DATA,0\nEndTemplate", array.get(), 1);
    DORVIA_SetTEDSManufacturerStr(array.get(), dir.c_str(), name);
    DORVIA_GetTEDSManufacturerStr(array.get(), dir.c_str(), name, sizeof name);
  }
  return 0;
}
