// Helpers for the TDL engine tests: images built field by field, a heap field array,
// and items looked up by label.
#ifndef TEDSKIT_TESTS_ENGINE_ENGINE_FIXTURE_H
#define TEDSKIT_TESTS_ENGINE_ENGINE_FIXTURE_H

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tedskit/records.h"
#include "tedskit/tedsinfo.hpp"

namespace engine_test {

inline std::string fixturePath(const char* name) {
  return std::string(TEDSKIT_TEST_DIR) + "/fixtures/" + name;
}

// Writes fields LSB first from a cursor, the way a TEDS stores them.
class ImageBuilder {
 public:
  // Starts after the checksum byte with selector and template ID.
  explicit ImageBuilder(uint32_t templateID, uint32_t selector = 0) {
    put(selector, 2);
    put(templateID, 8);
  }

  // Bits past the end of the image are dropped.
  ImageBuilder& put(uint64_t value, int bits) {
    for (int i = 0; i < bits; ++i, ++cursor_) {
      if (static_cast<size_t>(cursor_ / 8) >= memory_.size()) continue;
      if ((value >> i) & 1u)
        memory_[static_cast<size_t>(cursor_ / 8)] |= static_cast<uint8_t>(1u << (cursor_ % 8));
    }
    return *this;
  }
  ImageBuilder& putFloat(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return put(bits, 32);
  }
  // The user-data mark and 7-bit characters, with the terminating 0 when asked.
  ImageBuilder& putUserText(const std::string& text, bool terminate = true) {
    put(7, 3);
    for (char c : text) put(static_cast<uint8_t>(c), 7);
    if (terminate) put(0, 7);
    return *this;
  }
  ImageBuilder& at(int cursor) {
    cursor_ = cursor;
    return *this;
  }
  int cursor() const { return cursor_; }
  std::vector<uint8_t>& memory() { return memory_; }

  // Manufacturer 43, model 1, version letter A, version 2, serial 1234.
  static std::array<uint8_t, 8> workedExampleAppreg() {
    return {0x2B, 0x40, 0x00, 0x20, 0x08, 0xD2, 0x04, 0x00};
  }

  void loadInto(CTEDSInfo& info, const std::array<uint8_t, 8>& appreg = workedExampleAppreg()) {
    info.setAppregData(appreg.data());
    info.setMemoryData(memory_.data());
  }

 private:
  std::vector<uint8_t> memory_ = std::vector<uint8_t>(kTedsMemorySize, 0);
  int cursor_ = 8;
};

inline std::unique_ptr<TEDSTemplateFieldArrayStruct> newArray() {
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0, sizeof *array);
  return array;
}

inline const TEDSTemplateFieldStruct* findItem(const TEDSTemplateFieldArrayStruct& array,
                                               const std::string& label) {
  for (int i = 0; i < array.numItems; ++i) {
    if (label == array.items[i].label) return &array.items[i];
  }
  return nullptr;
}

inline std::string valueOf(const TEDSTemplateFieldArrayStruct& array, const std::string& label) {
  const TEDSTemplateFieldStruct* item = findItem(array, label);
  return item ? item->value : "<no item " + label + ">";
}

inline std::vector<std::string> labels(const TEDSTemplateFieldArrayStruct& array) {
  std::vector<std::string> out;
  for (int i = 0; i < array.numItems; ++i) out.emplace_back(array.items[i].label);
  return out;
}

// An engine with the shared fixture file loaded.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(info.CreateTemplateStructure(fixturePath("shapes.tdl").c_str(), 0, 0), 0);
  }

  int32_t decode(ImageBuilder& image) {
    image.loadInto(info);
    return info.CreateTEDSTemplateFieldArrayStruct(array.get(), true);
  }

  CTEDSInfo info;
  std::unique_ptr<TEDSTemplateFieldArrayStruct> array = newArray();
};

}  // namespace engine_test

#endif
