// Helpers for the engine tests: scratch directories with description files, images
// built bit by bit, and zeroed field arrays.
#ifndef TEDSKIT_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H
#define TEDSKIT_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../support/example_image.h"
#include "../support/scratch_dir.h"
#include "tedskit/dorvia.h"

namespace enginetest {

using tedskittest::ScratchDir;

// A TEDS memory image written field by field, least significant bit first.
class ImageBuilder {
 public:
  explicit ImageBuilder(std::size_t bytes = 40) : bytes_(bytes, 0) {}

  ImageBuilder& put(int bits, uint64_t value) {
    for (int k = 0; k < bits; ++k, ++position_) {
      if ((value >> k) & 1u) bytes_[position_ / 8] |= static_cast<uint8_t>(1u << (position_ % 8));
    }
    return *this;
  }
  ImageBuilder& alignByte() {
    position_ = (position_ + 7) / 8 * 8;
    return *this;
  }
  // Byte 0 made so that bytes 0 to 31 sum to 0.
  ImageBuilder& checksum() {
    unsigned sum = 0;
    for (std::size_t i = 1; i < 32; ++i) sum += bytes_[i];
    bytes_[0] = static_cast<uint8_t>(0x100 - (sum & 0xFF));
    return *this;
  }
  // The image with a Basic TEDS, selector and template ID in front, as the shipped
  // templates lay them out (checksum byte, bits 8 to 81).
  static ImageBuilder withHeader(int templateID, int selector = 0, int manufacturer = 18) {
    ImageBuilder image;
    image.put(8, 0).put(14, manufacturer).put(15, 4507).put(5, 2).put(6, 2).put(24, 1048601);
    image.put(2, selector).put(8, templateID);
    return image;
  }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::string hex() const {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes_) {
      text += digits[b >> 4];
      text += digits[b & 15];
    }
    return text;
  }

 private:
  std::vector<uint8_t> bytes_;
  std::size_t position_ = 0;
};

inline const char* kAppRegisterHex = "0000000000000000";

using FieldArrayPtr = std::unique_ptr<TEDSTemplateFieldArrayStruct>;
inline FieldArrayPtr makeArray() { return std::make_unique<TEDSTemplateFieldArrayStruct>(); }

inline std::string sourcePath(const std::string& relative) {
  return std::string(TEDSKIT_SOURCE_DIR) + "/" + relative;
}

// Lines of a text, without their newlines.
inline std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return lines;
}

using tedskittest::ExampleImage;
using tedskittest::readExample;

}  // namespace enginetest

#endif  // TEDSKIT_TESTS_ENGINE_ENGINE_TEST_SUPPORT_H
