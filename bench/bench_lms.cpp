// One LMS geometry image through the whole road: decode, fill, read back, encode.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "tedskit/pellam.h"

namespace {

void GeometryRoundTrip(benchmark::State& state) {
  std::array<uint8_t, PELLAM_IMAGE_SIZE> image{};
  image[8] = 0x03 | ((118 & 0x3F) << 2);  // selector 3, low bits of template 118
  image[9] = 118 >> 6;
  image[11] = 0x90;  // a calibration day and a sensitivity index
  image[12] = 0x24;
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  for (auto _ : state) {
    PELLAM_DecodeGeometryLMSTeds(image.data());
    PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1);
    PELLAM_ReadGeometryFieldArrayStruct(array.get());
    PELLAM_EncodeGeometryTEDS(image.data());
    benchmark::DoNotOptimize(image.data());
  }
}

BENCHMARK(GeometryRoundTrip);

}  // namespace
