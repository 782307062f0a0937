// Decodes an image against a description file, both from the input, then takes the
// result through the field array and back to an image.
// Input: 40 bytes of memory image, then the description file.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/fuzz_scratch_dir.h"
#include "tedskit/dorvia.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzScratch scratch;
  constexpr std::size_t kImageBytes = 40;
  uint8_t image[kImageBytes] = {};
  const std::size_t imageBytes = size < kImageBytes ? size : kImageBytes;
  if (imageBytes > 0) std::memcpy(image, data, imageBytes);
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (uint8_t b : image) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  const std::string dir = scratch.dirWith("TemplateDescription.txt", data + imageBytes, size - imageBytes);

  const char* form = nullptr;
  int32_t valid = 0;
  const int32_t result =
      DORVIA_DecodeRawTEDSToTemplateForm(dir.c_str(), hex.c_str(), "0011223344556677", 0, &form, &valid);
  if (result != 0 || form == nullptr) return 0;

  static const auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  static std::string text(1 << 16, '\0');
  DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1);
  if (DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text.data(),
                                                         static_cast<int32_t>(text.size())) == 0) {
    const char* encoded = nullptr;
    DORVIA_EncodeTemplateFormToRawTEDS(text.c_str(), &encoded, 0);
  }
  return 0;
}
