// Opening and decoding a template-25 image: through libtedskit (recognition, decode,
// typed fields and their models) against the front-end road it wraps.
#include <benchmark/benchmark.h>

#include <string>

#include "api/engine.h"
#include "api/image.h"
#include "tedskit/tedskit.h"

namespace {

const std::string kTemplate25 =
    "memory: B5000000000000000064000018000000000000C00100000E00000000000000000000000000000000\n"
    "register: 0000000000000000\n";
const std::string kTemplates = std::string(TEDSKIT_SOURCE_DIR) + "/data";

void Template25ThroughTheFrontEnd(benchmark::State& state) {
  teds::Engine engine(kTemplates);
  for (auto _ : state) {
    const teds::TedsImage image = teds::parseImage(kTemplate25);
    benchmark::DoNotOptimize(engine.decode(image, false));
  }
}
BENCHMARK(Template25ThroughTheFrontEnd);

void Template25ThroughLibtedskit(benchmark::State& state) {
  for (auto _ : state) {
    tedskit_teds* teds = nullptr;
    if (tedskit_teds_open(kTemplates.c_str(), kTemplate25.data(), kTemplate25.size(), TEDSKIT_INPUT_AUTO, 0,
                          &teds) != TEDSKIT_OK) {
      state.SkipWithError(tedskit_last_error());
      break;
    }
    int32_t count = 0;
    tedskit_teds_field_count(teds, &count);
    benchmark::DoNotOptimize(count);
    tedskit_teds_free(teds);
  }
}
BENCHMARK(Template25ThroughLibtedskit);

}  // namespace
