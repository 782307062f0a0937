// LMS images and edited value texts from outside: the two decoders, their fills and
// reads, and the encoders. A decoded image must encode back to itself (the free
// format drops the six bits of an eighteenth character).
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "tedskit/pellam.h"

namespace {

using Image = std::array<uint8_t, PELLAM_IMAGE_SIZE>;

TEDSTemplateFieldArrayStruct& sharedArray() {
  static const auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  return *array;
}

void check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

// Overwrites the item values with the newline-separated texts of `edits`, each cut
// to the 64 bytes of a value with no terminator when it fills them.
void applyEdits(TEDSTemplateFieldArrayStruct& array, int32_t numItems, std::string_view edits) {
  for (int i = 0; i < numItems && !edits.empty(); ++i) {
    const std::size_t end = std::min(edits.find('\n'), edits.size());
    const std::string_view text = edits.substr(0, end);
    auto& value = array.items[i].value;
    std::memset(value, 0, sizeof value);
    std::memcpy(value, text.data(), std::min(text.size(), sizeof value));
    edits.remove_prefix(std::min(end + 1, edits.size()));
  }
}

void exercise(int32_t (*decode)(const uint8_t*), int32_t (*encode)(uint8_t*),
              int32_t (*fill)(TEDSTemplateFieldArrayStruct*, int32_t),
              int32_t (*read)(const TEDSTemplateFieldArrayStruct*), const Image& image, bool dropsLastSixBits,
              std::string_view edits) {
  if (decode(image.data()) == 1) {
    Image encoded{};
    check(encode(encoded.data()) == 1);
    Image expected = image;
    if (dropsLastSixBits) {
      expected.back() &= 0x03;
    }
    check(encoded == expected);
  }
  TEDSTemplateFieldArrayStruct& array = sharedArray();
  const int32_t selector = fill(&array, 1);
  check(selector == 0 || selector == 3);
  applyEdits(array, array.numItems, edits);
  check(read(&array) == 0);
  check(fill(&array, 1) == 3);
  Image encoded{};
  check(encode(encoded.data()) == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Image image{};
  const std::size_t imageBytes = std::min(size, image.size());
  if (imageBytes > 0) {
    std::memcpy(image.data(), data, imageBytes);
  }
  const std::string_view edits(reinterpret_cast<const char*>(data) + imageBytes, size - imageBytes);
  exercise(PELLAM_DecodeGeometryLMSTeds, PELLAM_EncodeGeometryTEDS, PELLAM_FillFieldArrayStructWithGeometry,
           PELLAM_ReadGeometryFieldArrayStruct, image, false, edits);
  exercise(PELLAM_DecodeFreeTEDS, PELLAM_EncodeFreeTEDS, PELLAM_FillFieldArrayStructWithFree,
           PELLAM_ReadFreeFieldArrayStruct, image, true, edits);
  return 0;
}
