// Parse speed of orlin(): the shipped standard templates, and a generated file of
// thousands of templates to show that the time grows linearly with the file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tedskit/orlin.hpp"

namespace {

// orlin() reports syntax errors on stderr; a benchmark input has none.
void parseOnce(const std::string& path, benchmark::State& state) {
  if (orlin(path.c_str()) != ORLIN_OK) state.SkipWithError("parse failed");
  CTDLTemplateCollection* c = getTDLCollection();
  for (CTDLTemplate* t : c->m_templates) delete t;
  delete c;
}

void runOn(const std::string& path, benchmark::State& state) {
  const auto bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  for (auto _ : state) parseOnce(path, state);
  state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_ParseShippedStandardTemplates(benchmark::State& state) {
  runOn(std::string(TEDSKIT_SOURCE_DIR) + "/data/ieee_temp_v10.tdl", state);
}
BENCHMARK(BM_ParseShippedStandardTemplates)->Unit(benchmark::kMicrosecond);

// A file of n templates, each with an enumeration, a nested select case and a run of
// plain properties. Every property carries the engine's 10 KB raw-data buffer, so a
// parse of 10,000 templates holds some 1.3 GB: keep the sizes modest.
std::string generatedFile(int templates) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("bench_orlin_" + std::to_string(templates) + ".tdl"))
          .string();
  std::ofstream out(path, std::ios::binary);
  out << "// generated for the parse benchmark\n";
  for (int id = 0; id < templates; ++id) {
    out << "TEMPLATE 0, 16, " << id << ", \"Generated template " << id << "\"\n"
        << "ABSTRACT a generated template\n"
        << "ENUMERATE Axis, \"x\", \"y\", \"z\", \"n/a\"\n"
        << "SELECTCASE \"Kind\", ID, 1\n"
        << "  CASE \"A\", 0\n"
        << "    %Sens@Ref, \"Sensitivity @ Fref\", CAL, 16, ConRelRes, 5E-7, 0.00015, , \"V/(m/s^2)\"\n"
        << "    SELECTCASE \"Inner\", ID, 1\n      CASE \"Off\", 0\n      ENDCASE\n      CASE \"On\", 1\n"
        << "        %TF_HP_S, \"F hp electrical\", CAL, 8, ConRelRes, 0.005, 0.03, , \"Hz\"\n"
        << "      ENDCASE\n    ENDSELECT\n"
        << "  ENDCASE\n"
        << "  CASE \"B\", 1\n"
        << "    %Sens@Ref, \"Sensitivity @ Fref\", CAL, 16, ConRelRes, 5E-7, 0.00015, , \"V/N\"\n"
        << "  ENDCASE\n"
        << "ENDSELECT\n"
        << "%Direction, \"Sensitivity direction (x,y,z)\", ID, 2, Axis, , \n"
        << "%ElecSigType, \"Electrical Signal Type\", ID, 0, Axis, , = \"x\"\n"
        << "%RefTemp, \"Reference Temperature\", CAL, 5, ConRes, 15, 0.5, , \"degC\"\n"
        << "%CalDate, \"Calibration date\", CAL, 16, DATE, , \n"
        << "%CalInitials, \"Cal Initials\", CAL, 15, CHR5, , \n"
        << "%CalPeriod, \"Cal Period\", CAL, 12, UNINT, , \"days\"\n"
        << "%MeasID, \"Meas. position ID\", USR, 11, UNINT, , \n"
        << "ENDTEMPLATE\n\n";
  }
  out << "VALIDATION_KEYCODE 1\n";
  return path;
}

void BM_ParseGeneratedTemplates(benchmark::State& state) {
  const std::string path = generatedFile(static_cast<int>(state.range(0)));
  runOn(path, state);
  state.counters["templates"] = static_cast<double>(state.range(0));
  std::filesystem::remove(path);
}
BENCHMARK(BM_ParseGeneratedTemplates)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

// The objects a generated template builds: nine properties, two select cases and the
// property that ends the template (the one with a default value is not built).
constexpr std::size_t kObjectsPerGeneratedTemplate = 12;

// What no parse of the generated file can go below: every object it builds starts with
// its value and raw buffers cleared, 10 KB each. This clears as many buffers, in memory
// already in place, and does nothing else; bytes are those of the file it stands for.
void BM_ClearBuffersOfGeneratedTemplates(benchmark::State& state) {
  const auto templates = static_cast<std::size_t>(state.range(0));
  const std::size_t objects = templates * kObjectsPerGeneratedTemplate;
  constexpr std::size_t kCleared = sizeof(CTDLProperty::m_value) + sizeof(CTDLProperty::m_rawData);
  std::vector<unsigned char> memory(objects * sizeof(CTDLProperty), 1);
  for (auto _ : state) {
    for (std::size_t i = 0; i < objects; ++i) std::memset(memory.data() + i * sizeof(CTDLProperty), 0, kCleared);
    benchmark::ClobberMemory();
  }
  const std::string path = generatedFile(static_cast<int>(templates));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
  state.counters["templates"] = static_cast<double>(templates);
}
BENCHMARK(BM_ClearBuffersOfGeneratedTemplates)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
