// The soundness checks of one decoded TEDS (the decode itself is outside the loop): each
// example image and a template-25 image, checked as teds check does.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "api/check.h"
#include "api/document.h"

namespace {

const std::string kSource = TEDSKIT_SOURCE_DIR;

std::string fileText(const std::string& name) {
  std::ifstream in(kSource + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void CheckOneTeds(benchmark::State& state, const std::string& input) {
  const teds::TedsImage image = teds::parseImage(input);
  const teds::Document document(kSource + "/data", image, false);
  const int64_t today = teds::todayOnTedsCalendar();
  for (auto _ : state) benchmark::DoNotOptimize(teds::checkDocument(document, today));
}
BENCHMARK_CAPTURE(CheckOneTeds, Accelerometer, fileText("examples/accelerometer.hex"));
BENCHMARK_CAPTURE(CheckOneTeds, LoadCell, fileText("examples/loadcell.hex"));
BENCHMARK_CAPTURE(CheckOneTeds, Template25,
                  "memory: 231240262204928A0164A013F84406290C40A16BB645001E1C0E5BB21A68EA8CC162B0180C000000\n");

}  // namespace
