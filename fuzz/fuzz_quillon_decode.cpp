// Raw images from outside through the front end's decode, and whatever it decodes on
// through the rest of the road: form text to array, back to form text, encode.
// Input: one flag byte (bit 0 byte form, bit 1 LMS name), then the memory.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "tedskit/quillon.h"

namespace {

// The engine takes at most this much byte memory (its V1.0 image).
constexpr std::size_t kByteMemorySize = 2568;

TaggedFieldArray& sharedArray() {
  static const auto array = std::make_unique<TaggedFieldArray>();
  return *array;
}

void followRoad(const char* form) {
  TaggedFieldArray& array = sharedArray();
  if (QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, &array, 1) < 0) return;
  static char text[1 << 17];
  if (QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(&array, text, sizeof text) != 0) return;
  const char* image = nullptr;
  QUILLON_EncodeTemplateFormToRawTEDS(text, &image, 0);
  QUILLON_EncodeTemplateFormToRawTEDS(text, &image, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool byteForm = (data[0] & 1) != 0;
  const int32_t lmsName = (data[0] >> 1) & 1;
  ++data;
  --size;
  std::vector<char> memory;
  static const uint8_t kByteRegister[8] = {};
  const void* appRegister = "0000000000000000";
  if (byteForm) {
    memory.assign(kByteMemorySize, 0);
    std::memcpy(memory.data(), data, std::min(size, kByteMemorySize));
    appRegister = kByteRegister;
  } else {
    // Exactly the text given, so that a read past its end is caught.
    memory.assign(data, data + size);
    memory.push_back('\0');
  }
  const char* form = nullptr;
  int32_t valid = 0;
  const int32_t result = QUILLON_DecodeRAWTedsToTemplateForm("data", memory.data(), appRegister,
                                                             byteForm ? 1 : 0, &form, &valid, lmsName);
  if (result >= 0 && form != nullptr) followRoad(form);
  return 0;
}
