// Helpers for the front-end tests: tagged arrays, example images, LMS images and
// throw-away template directories.
#ifndef TEDSKIT_TESTS_FRONTEND_FRONTEND_FIXTURE_H
#define TEDSKIT_TESTS_FRONTEND_FRONTEND_FIXTURE_H

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include "../support/example_image.h"
#include "../support/scratch_dir.h"
#include "tedskit/quillon.h"

namespace frontendtest {

using tedskittest::ScratchDir;

// The shipped description and manufacturer files (tests run from the source root).
inline constexpr char kDataDir[] = "data";

// Tagged arrays are 391448 bytes: kept on the heap and zeroed.
inline std::unique_ptr<TaggedFieldArray> newTaggedArray() {
  auto array = std::make_unique<TaggedFieldArray>();
  std::memset(array.get(), 0, sizeof *array);
  return array;
}

using HexImage = tedskittest::ExampleImage;
using tedskittest::readExample;

using LmsImage = std::array<uint8_t, 40>;

// Bit p is bit p % 8 of byte p / 8, least significant bit of a field first.
inline void setBits(LmsImage& image, unsigned first, unsigned width, uint32_t value) {
  for (unsigned i = 0; i < width; ++i) {
    const unsigned bit = first + i;
    const auto mask = static_cast<uint8_t>(1u << (bit % 8));
    image[bit / 8] =
        static_cast<uint8_t>(((value >> i) & 1u) ? image[bit / 8] | mask : image[bit / 8] & ~mask);
  }
}

// An LMS image of the given template (117 free format, 118 geometry).
inline LmsImage lmsImage(uint32_t templateID) {
  LmsImage image{};
  setBits(image, 64, 2, 3);
  setBits(image, 66, 8, templateID);
  return image;
}

inline std::string toHex(const uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

}  // namespace frontendtest

#endif
