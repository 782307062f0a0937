// Loading the shipped standard templates into the engine, and decoding a template-25 image
// (accelerometer with transfer function) into a field array.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tedskit/tedsinfo.hpp"

namespace {

class Bits {
 public:
  Bits& put(uint32_t value, int n) {
    for (int i = 0; i < n; ++i, ++cursor_) {
      if ((value >> i) & 1u)
        memory[static_cast<size_t>(cursor_ / 8)] |= static_cast<uint8_t>(1u << (cursor_ % 8));
    }
    return *this;
  }
  std::vector<uint8_t> memory = std::vector<uint8_t>(kTedsMemorySize, 0);

 private:
  int cursor_ = 8;
};

std::vector<uint8_t> accelerometerImage() {
  Bits b;
  b.put(0, 2).put(25, 8);
  const std::pair<uint32_t, int> fields[] = {{0, 1},
                                             {0, 1},
                                             {1234, 16},
                                             {77, 8},
                                             {2, 2},
                                             {10, 6},
                                             {1, 1},
                                             {1, 1},
                                             {20, 7},
                                             {300, 9},
                                             {100, 9},
                                             {70, 7},
                                             {40, 6},
                                             {100, 8},
                                             {16, 5},
                                             {790, 16},
                                             {10 | 13 << 5 | 19 << 10, 15},
                                             {365, 12},
                                             {1500, 11}};
  for (const auto& [value, n] : fields) b.put(value, n);
  b.put(7, 3);
  for (char c : {'B', 'a', 'y', ' ', '4', '\0'}) b.put(static_cast<uint8_t>(c), 7);
  return b.memory;
}

void BM_DecodeTemplate25(benchmark::State& state) {
  CTEDSInfo info;
  if (info.CreateTemplateStructure(TEDSKIT_SOURCE_DIR "/data/ieee_temp_v10.tdl", 0, 0) != 0) {
    state.SkipWithError("cannot load data/ieee_temp_v10.tdl");
    return;
  }
  const uint8_t appreg[kTedsAppregSize] = {0x2B, 0x40, 0x00, 0x20, 0x08, 0xD2, 0x04, 0x00};
  const std::vector<uint8_t> memory = accelerometerImage();
  info.setAppregData(appreg);
  info.setMemoryData(memory.data());
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0, sizeof *array);
  for (auto _ : state) {
    if (info.CreateTEDSTemplateFieldArrayStruct(array.get(), true) != 0) {
      state.SkipWithError("decode failed");
      break;
    }
    benchmark::DoNotOptimize(array->numItems);
  }
}
BENCHMARK(BM_DecodeTemplate25);

// Each iteration loads the whole file into a fresh engine, as switching to V1.0 does.
void BM_LoadShippedStandardTemplates(benchmark::State& state) {
  for (auto _ : state) {
    CTEDSInfo info;
    if (info.CreateTemplateStructure(TEDSKIT_SOURCE_DIR "/data/ieee_temp_v10.tdl", 0, 0) != 0) {
      state.SkipWithError("cannot load data/ieee_temp_v10.tdl");
      break;
    }
    benchmark::DoNotOptimize(info.IsStructureValid());
  }
}
BENCHMARK(BM_LoadShippedStandardTemplates)->Unit(benchmark::kMicrosecond);

}  // namespace
