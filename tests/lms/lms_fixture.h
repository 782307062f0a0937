// Test helpers for LMS images and field arrays.
#ifndef TEDSKIT_TESTS_LMS_LMS_FIXTURE_H
#define TEDSKIT_TESTS_LMS_LMS_FIXTURE_H

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "tedskit/pellam.h"

namespace lmstest {

using Image = std::array<uint8_t, PELLAM_IMAGE_SIZE>;

// Bit p is bit p % 8 of byte p / 8, least significant bit of a field first.
inline void setBits(Image& image, unsigned first, unsigned width, uint32_t value) {
  for (unsigned i = 0; i < width; ++i) {
    const unsigned bit = first + i;
    image[bit / 8] =
        static_cast<uint8_t>((image[bit / 8] & ~(1u << (bit % 8))) | (((value >> i) & 1u) << (bit % 8)));
  }
}

inline uint32_t getBits(const Image& image, unsigned first, unsigned width) {
  uint32_t value = 0;
  for (unsigned i = 0; i < width; ++i) {
    const unsigned bit = first + i;
    value |= static_cast<uint32_t>((image[bit / 8] >> (bit % 8)) & 1u) << i;
  }
  return value;
}

// An image with the LMS selector and the given template ID, everything else zero.
inline Image lmsImage(uint32_t templateId, uint32_t selector = 3) {
  Image image{};
  setBits(image, 64, 2, selector);
  setBits(image, 66, 8, templateId);
  return image;
}

// Field arrays are 391440 bytes: kept on the heap and zeroed.
inline std::unique_ptr<TEDSTemplateFieldArrayStruct> newArray() {
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0, sizeof *array);
  return array;
}

inline std::string value(const TEDSTemplateFieldArrayStruct& array, int item) {
  return std::string(array.items[item].value,
                     strnlen(array.items[item].value, sizeof array.items[item].value));
}

inline void setValue(TEDSTemplateFieldArrayStruct& array, int item, const std::string& text) {
  std::memset(array.items[item].value, 0, sizeof array.items[item].value);
  std::memcpy(array.items[item].value, text.data(), text.size());
}

inline Image encodeGeometry() {
  Image image{};
  PELLAM_EncodeGeometryTEDS(image.data());
  return image;
}

inline Image encodeFree() {
  Image image{};
  PELLAM_EncodeFreeTEDS(image.data());
  return image;
}

}  // namespace lmstest

#endif
