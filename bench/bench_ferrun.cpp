// Full reads and writes of each memory chip on the simulated bus. Besides the host time,
// each reports the bus time (virtual clock: waits and standard-speed slots) and the
// adapter calls per operation, the figures a real adapter's speed depends on.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "tedskit/ferrun.h"
#include "tedskit/owbus.h"

namespace {

struct Chip {
  const char* type;
  size_t size;
};
constexpr Chip kChips[] = {{"DS2430A", 32}, {"DS2431", 128}, {"DS2433", 512}, {"DS28EC20", 2560}};

// A bus file with one chip holding a layout-A image, opened for the benchmark's length.
class Bench {
 public:
  explicit Bench(const Chip& chip) {
    path_ =
        (std::filesystem::temp_directory_path() / ("tedskit-bench-" + std::to_string(::getpid()) + ".bus"))
            .string();
    std::ofstream out(path_);
    out << "device " << chip.type << "\n  serial 000000000001\n";
    for (size_t a = 0; a < chip.size; a += 32) {
      char line[32];
      std::snprintf(line, sizeof line, "  memory %04zX", a);
      out << line;
      unsigned sum = 0;
      std::array<unsigned, 32> page{};
      for (size_t i = 1; i < 32; ++i) sum += page[i] = static_cast<unsigned>((a + i * 13) & 0xFF);
      page[0] = (256 - sum % 256) % 256;
      for (unsigned b : page) {
        std::snprintf(line, sizeof line, " %02X", b);
        out << line;
      }
      out << "\n";
    }
    out << "end\n";
    out.close();
    owbus_configure(("sim:" + path_).c_str());
    stdcdll_OpenCom(1);
  }
  ~Bench() {
    stdcdll_CloseCom();
    owbus_configure(nullptr);
    std::filesystem::remove(path_);
  }

 private:
  std::string path_;
};

void report(benchmark::State& state, int64_t operations) {
  state.counters["bus_ms"] =
      static_cast<double>(owbus_bus_time_us()) / 1000.0 / static_cast<double>(operations);
  state.counters["transactions"] =
      static_cast<double>(owbus_transactions()) / static_cast<double>(operations);
}

void BM_FullRead(benchmark::State& state) {
  const Chip& chip = kChips[state.range(0)];
  state.SetLabel(chip.type);
  Bench bench(chip);
  std::array<unsigned char, 8> reg{};
  std::array<unsigned char, FERRUN_MAX_MEMORY> memory{};
  std::array<int32_t, 4> flags{};
  int32_t used = 0;
  owbus_reset_counters();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        stdcdll_read_memory(reg.data(), memory.data(), &used, flags.data(), FERRUN_RAW_MODE));
  }
  report(state, state.iterations());
}

void BM_FullWrite(benchmark::State& state) {
  const Chip& chip = kChips[state.range(0)];
  state.SetLabel(chip.type);
  Bench bench(chip);
  std::array<unsigned char, FERRUN_MAX_IMAGE> image{};
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<unsigned char>(i * 5);
  owbus_reset_counters();
  for (auto _ : state) benchmark::DoNotOptimize(stdcdll_write_memory(image.data(), 1, 0));
  report(state, state.iterations());
}

BENCHMARK(BM_FullRead)->DenseRange(0, 3);
BENCHMARK(BM_FullWrite)->DenseRange(0, 3);

}  // namespace
