// Opening and decoding a template-25 image: through libtedskit (recognition, decode,
// typed fields and their models) against the front-end road it wraps; and a template-25
// image that chains a calibration table of 20 points.
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

// The image of template 25 followed by a calibration table of 20 points, each one set.
std::string chainedImage() {
  tedskit_teds* teds = nullptr;
  std::string text;
  if (tedskit_teds_new(kTemplates.c_str(), 0, 25, 0, 0, &teds) != TEDSKIT_OK) return text;
  bool made = tedskit_teds_add_template(teds, 40) == TEDSKIT_OK &&
              tedskit_teds_set(teds, "Calibration table", "20", nullptr) == TEDSKIT_OK;
  for (int point = 1; made && point <= 20; ++point) {
    const std::string at = "Calibration table[" + std::to_string(point) + "].";
    made = tedskit_teds_set(teds, (at + "Domain value").c_str(), std::to_string(point * 4.5).c_str(), nullptr) ==
               TEDSKIT_OK &&
           tedskit_teds_set(teds, (at + "Range deviation").c_str(), std::to_string(point * 0.01 - 0.1).c_str(),
                            nullptr) == TEDSKIT_OK;
  }
  char* encoded = nullptr;
  if (made && tedskit_teds_text(teds, &encoded) == TEDSKIT_OK) text = encoded;
  tedskit_string_free(encoded);
  tedskit_teds_free(teds);
  return text;
}

void BM_DecodeChainedCalibrationTable(benchmark::State& state) {
  const std::string image = chainedImage();
  if (image.empty()) {
    state.SkipWithError(tedskit_last_error());
    return;
  }
  for (auto _ : state) {
    tedskit_teds* teds = nullptr;
    if (tedskit_teds_open(kTemplates.c_str(), image.data(), image.size(), TEDSKIT_INPUT_TEXT, 0, &teds) !=
        TEDSKIT_OK) {
      state.SkipWithError(tedskit_last_error());
      break;
    }
    int32_t templates = 0, fields = 0;
    tedskit_teds_template_count(teds, &templates);
    tedskit_teds_field_count(teds, &fields);
    if (templates != 2) state.SkipWithError("the calibration table was not read");
    benchmark::DoNotOptimize(fields);
    tedskit_teds_free(teds);
  }
}
BENCHMARK(BM_DecodeChainedCalibrationTable)->Unit(benchmark::kMicrosecond);

}  // namespace
