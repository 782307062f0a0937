// The tool's road for one image: read the text a user gives (a whole DS2433 dump with
// its page checksums, as teds read --raw prints it), then decode it through the front
// end into a field array.
#include <benchmark/benchmark.h>

#include <string>

#include "api/engine.h"
#include "api/image.h"

namespace {

std::string ds2433Dump() {
  std::vector<uint8_t> chip(512, 0);
  const uint8_t page0[] = {0x2D, 0x12, 0xC0, 0x66, 0x44, 0x08, 0x19, 0x00, 0x10, 0x00,
                           0xEC, 0x04, 0x1A, 0x89, 0xC9, 0x42, 0x67, 0x93, 0xD5, 0x16,
                           0x0C, 0x00, 0x42, 0x52, 0x4B, 0x54, 0x2D, 0x37};
  std::copy(std::begin(page0), std::end(page0), chip.begin());
  std::string text;
  for (std::size_t page = 0; page < chip.size(); page += 32) {
    text += "chip: " + teds::toHex(std::span(chip).subspan(page, 32)) + "\n";
  }
  return text;
}

void ParseChipDump(benchmark::State& state) {
  const std::string text = ds2433Dump();
  for (auto _ : state) benchmark::DoNotOptimize(teds::parseImage(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseChipDump);

void DecodeThroughTheFrontEnd(benchmark::State& state) {
  const teds::TedsImage image = teds::parseImage(ds2433Dump());
  teds::Engine engine(std::string(TEDSKIT_SOURCE_DIR) + "/data");
  for (auto _ : state) benchmark::DoNotOptimize(engine.decode(image, false));
}
BENCHMARK(DecodeThroughTheFrontEnd);

}  // namespace
