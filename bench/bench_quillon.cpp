// The front end's costs on top of the engine and the LMS library: a decode (engine and
// both LMS decoders), one sensor's road from image to image, and the two listings.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

namespace {

const std::string kDataDir = std::string(TEDSKIT_SOURCE_DIR) + "/data";

// The accelerometer of examples/accelerometer.hex.
constexpr char kMemory[] = "2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000";
constexpr char kAppRegister[] = "12C0664408190010";

std::unique_ptr<TaggedFieldArray> newTaggedArray() {
  auto array = std::make_unique<TaggedFieldArray>();
  std::memset(array.get(), 0, sizeof *array);
  return array;
}

// An LMS geometry image: selector 3 at bits 64-65, template 118 at bits 66-73.
std::string geometryImageHex() {
  std::array<uint8_t, 32> image{};
  image[8] = 0x03 | (118 << 2 & 0xFC);
  image[9] = 118 >> 6;
  std::string hex;
  for (uint8_t byte : image) {
    hex += "0123456789ABCDEF"[byte >> 4];
    hex += "0123456789ABCDEF"[byte & 0xF];
  }
  return hex;
}

void BM_DecodeStandardImage(benchmark::State& state) {
  for (auto _ : state) {
    const char* form = nullptr;
    int32_t valid = 0;
    benchmark::DoNotOptimize(
        QUILLON_DecodeRAWTedsToTemplateForm(kDataDir.c_str(), kMemory, kAppRegister, 0, &form, &valid, 0));
  }
}
BENCHMARK(BM_DecodeStandardImage);

void road(benchmark::State& state, const char* memory, const char* appRegister) {
  auto array = newTaggedArray();
  auto text = std::make_unique<char[]>(1 << 16);
  for (auto _ : state) {
    const char* form = nullptr;
    int32_t valid = 0;
    QUILLON_DecodeRAWTedsToTemplateForm(kDataDir.c_str(), memory, appRegister, 0, &form, &valid, 1);
    QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1);
    DORVIA_SetTEDSSerialNumberStr(&array->array, "98765");
    QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text.get(), 1 << 16);
    const char* image = nullptr;
    benchmark::DoNotOptimize(QUILLON_EncodeTemplateFormToRawTEDS(text.get(), &image, 0));
  }
}

void BM_StandardSensorRoad(benchmark::State& state) { road(state, kMemory, kAppRegister); }
BENCHMARK(BM_StandardSensorRoad);

void BM_LmsSensorRoad(benchmark::State& state) {
  const std::string memory = geometryImageHex();
  road(state, memory.c_str(), "0000000000000000");
}
BENCHMARK(BM_LmsSensorRoad);

void BM_TemplateList(benchmark::State& state) {
  for (auto _ : state) {
    IDNameNode* first = nullptr;
    benchmark::DoNotOptimize(QUILLON_GetTemplateIDNames(kDataDir.c_str(), 0, 0, &first));
  }
}
BENCHMARK(BM_TemplateList);

void BM_ManufacturerList(benchmark::State& state) {
  for (auto _ : state) {
    IDNameNode* first = nullptr;
    benchmark::DoNotOptimize(QUILLON_GetManufacturerNameLookupTable(kDataDir.c_str(), &first));
  }
}
BENCHMARK(BM_ManufacturerList);

}  // namespace
