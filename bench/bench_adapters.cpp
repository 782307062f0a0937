// Full reads and writes over the DS2480B back end, through a pseudo-terminal to
// owbus-emulator. Bus time is the back end's own account (serial line at its baud rate
// and 1-Wire slots, plus the waits); the emulator's time is not in it. Each run also
// counts the traffic ferrun asked for and reports the ratio of the bus time to the
// 1-Wire standard-speed minimum of that traffic (0.96 ms a reset, 0.56 ms a byte, a
// search pass a reset, its command byte and 192 slots) plus the chips' programming time.
// The last benchmark gives the host's CPU time per byte carried over the terminal.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "emulator_process.h"
#include "tedskit/ferrun.h"
#include "tedskit/owbus.h"

namespace {

struct Chip {
  const char* type;
  size_t size;
  int copies;        // EEPROM copies a full write makes
  double programMs;  // each one's programming time
};
constexpr Chip kChips[] = {
    {"DS2430A", 32, 1, 10}, {"DS2431", 128, 16, 10}, {"DS2433", 512, 16, 5}, {"DS28EC20", 2560, 1, 10}};

constexpr double kResetMs = 0.96;
constexpr double kByteMs = 0.56;
constexpr double kSearchBytes = 1 + 64 * 3 / 8.0;

struct Traffic {
  uint64_t resets = 0;
  uint64_t bytes = 0;
  uint64_t searches = 0;
  double minimumMs() const {
    return kResetMs * static_cast<double>(resets + searches) +
           kByteMs * (static_cast<double>(bytes) + kSearchBytes * static_cast<double>(searches));
  }
};

void count(void* context, const owbus_traffic* event) {
  auto& t = *static_cast<Traffic*>(context);
  if (event->kind == OWBUS_TRAFFIC_RESET) ++t.resets;
  if (event->kind == OWBUS_TRAFFIC_BYTES) t.bytes += static_cast<uint64_t>(event->count);
  if (event->kind == OWBUS_TRAFFIC_SEARCH) ++t.searches;
}

// A bus file with one chip holding a layout-A image, behind owbus-emulator, and a
// session on it for the benchmark's length.
class EmulatedChip {
 public:
  // With `ferrun`, a ferrun session is opened; otherwise an adapter session of its own.
  EmulatedChip(const Chip& chip, bool ferrun = true)
      : ferrun_(ferrun),
        path_((std::filesystem::temp_directory_path() /
               ("tedskit-bench-ds2480b-" + std::to_string(::getpid()) + ".bus"))
                  .string()) {
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
    emulator_ = std::make_unique<EmulatorProcess>(path_);
    owbus_configure(("ds2480b:" + emulator_->path()).c_str());
    if (ferrun_) {
      opened_ = stdcdll_OpenCom(1) == 1;
    } else {
      handle_ = TMExtendedStartSession(1, 5, nullptr);
      opened_ = handle_ > 0;
    }
  }
  ~EmulatedChip() {
    if (ferrun_) {
      stdcdll_CloseCom();
    } else {
      TMEndSession(handle_);
    }
    owbus_configure(nullptr);
    emulator_.reset();
    std::filesystem::remove(path_);
  }
  bool opened() const { return opened_; }
  int32_t handle() const { return handle_; }

 private:
  bool ferrun_;
  int32_t handle_ = 0;
  std::string path_;
  std::unique_ptr<EmulatorProcess> emulator_;
  bool opened_ = false;
};

void report(benchmark::State& state, const Traffic& traffic, double programmingMs) {
  const auto n = static_cast<double>(state.iterations());
  const double busMs = static_cast<double>(owbus_bus_time_us()) / 1000.0 / n;
  const double minimumMs = traffic.minimumMs() / n + programmingMs;
  state.counters["bus_ms"] = busMs;
  state.counters["minimum_ms"] = minimumMs;
  state.counters["ratio"] = busMs / minimumMs;
}

void BM_Ds2480bFullRead(benchmark::State& state) {
  const Chip& chip = kChips[state.range(0)];
  state.SetLabel(chip.type);
  EmulatedChip bus(chip);
  if (!bus.opened()) return state.SkipWithError(owbus_last_error());
  std::array<unsigned char, 8> reg{};
  std::array<unsigned char, FERRUN_MAX_MEMORY> memory{};
  std::array<int32_t, 4> flags{};
  int32_t used = 0;
  Traffic traffic;
  owbus_set_traffic_sink(count, &traffic);
  owbus_reset_counters();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        stdcdll_read_memory(reg.data(), memory.data(), &used, flags.data(), FERRUN_RAW_MODE));
  }
  owbus_set_traffic_sink(nullptr, nullptr);
  report(state, traffic, 0);
}

void BM_Ds2480bFullWrite(benchmark::State& state) {
  const Chip& chip = kChips[state.range(0)];
  state.SetLabel(chip.type);
  EmulatedChip bus(chip);
  if (!bus.opened()) return state.SkipWithError(owbus_last_error());
  std::array<unsigned char, FERRUN_MAX_IMAGE> image{};
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<unsigned char>(i * 5);
  Traffic traffic;
  owbus_set_traffic_sink(count, &traffic);
  owbus_reset_counters();
  for (auto _ : state) {
    if (stdcdll_write_memory(image.data(), 1, 0) != FERRUN_DONE) return state.SkipWithError("write failed");
  }
  owbus_set_traffic_sink(nullptr, nullptr);
  report(state, traffic, chip.copies * chip.programMs);
}

double processCpuNs() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// The host side of block transfers: what the driver itself costs per byte.
void BM_Ds2480bHostCpuPerByte(benchmark::State& state) {
  EmulatedChip bus(kChips[1], false);
  if (!bus.opened()) return state.SkipWithError(owbus_last_error());
  const int32_t handle = bus.handle();
  std::array<unsigned char, 128> block{};
  uint64_t bytes = 0;
  const double before = processCpuNs();
  for (auto _ : state) {
    block.fill(0xFF);
    TMTouchReset(handle);
    benchmark::DoNotOptimize(TMBlockStream(handle, block.data(), static_cast<int16_t>(block.size())));
    bytes += block.size();
  }
  const double cpuNs = processCpuNs() - before;
  state.counters["host_cpu_ns_per_byte"] = cpuNs / static_cast<double>(bytes);
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

BENCHMARK(BM_Ds2480bFullRead)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ds2480bFullWrite)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ds2480bHostCpuPerByte)->Unit(benchmark::kMicrosecond);

}  // namespace
