// Loading the shipped standard templates as the TDL engine does: parse the file, then lay
// out every template once (the first use of each). The engine keeps the templates it
// loaded until its end; the benchmark releases them after each load so that a run does
// not grow.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tedskit/tedsinfo.hpp"

namespace {

const std::string kFile = std::string(TEDSKIT_SOURCE_DIR) + "/data/ieee_temp_v10.tdl";

void BM_LoadStandardTemplates(benchmark::State& state) {
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  int64_t templates = 0;
  for (auto _ : state) {
    std::vector<CTDLTemplate*> held;
    {
      CTEDSInfo info;
      if (info.CreateTemplateStructure(kFile.c_str(), 0, 0) != 0) {
        state.SkipWithError("the templates did not load");
        return;
      }
      CTDLTemplateCollection* collection = info.GetTemplateCollection(0);
      held = collection->m_templates;
      for (CTDLTemplate* t : held) {
        std::memset(array.get(), 0, sizeof *array);
        array->templateID = t->m_templateID;
        benchmark::DoNotOptimize(info.CreateTEDSTemplateFieldArrayStruct(array.get(), false));
      }
    }
    templates = static_cast<int64_t>(held.size());
    for (CTDLTemplate* t : held) delete t;
  }
  state.counters["templates"] = static_cast<double>(templates);
}
BENCHMARK(BM_LoadStandardTemplates)->Unit(benchmark::kMillisecond);

}  // namespace
