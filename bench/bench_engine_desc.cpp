// The description engine's main paths on the bundled accelerometer image, and what the
// description and manufacturer file caches save when the files have not changed.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tedskit/dorvia.h"

namespace {

const std::string kData = std::string(TEDSKIT_SOURCE_DIR) + "/data";

struct Example {
  std::string memory;
  std::string appRegister;
};

Example accelerometer() {
  std::ifstream in(std::string(TEDSKIT_SOURCE_DIR) + "/examples/accelerometer.hex");
  Example example;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    (example.memory.empty() ? example.memory : example.appRegister) = line;
  }
  return example;
}

std::string decodedForm() {
  const Example example = accelerometer();
  const char* form = nullptr;
  int32_t valid = 0;
  DORVIA_DecodeRawTEDSToTemplateForm(kData.c_str(), example.memory.c_str(), example.appRegister.c_str(), 0,
                                     &form, &valid);
  return form != nullptr ? form : "";
}

// A private copy of the data folder whose files can be touched between iterations.
class DataCopy {
 public:
  DataCopy() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-dorvia-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    for (const char* name : {"TemplateDescription.txt", "Manufacture.txt"}) {
      std::filesystem::copy_file(kData + "/" + name, dir_ + "/" + name);
    }
  }
  ~DataCopy() { std::filesystem::remove_all(dir_); }
  const std::string& dir() const { return dir_; }
  // A new modification time, as an editor saving the file would leave.
  void touch(const char* name) {
    ++tick_;
    const timespec times[2] = {{tick_, 0}, {tick_, 0}};
    ::utimensat(AT_FDCWD, (dir_ + "/" + name).c_str(), times, 0);
  }

 private:
  std::string dir_;
  long tick_ = 1000000000;
};

void BM_DecodeToFormText(benchmark::State& state) {
  const Example example = accelerometer();
  DataCopy data;
  const bool changed = state.range(0) != 0;
  for (auto _ : state) {
    if (changed) data.touch("TemplateDescription.txt");
    const char* form = nullptr;
    int32_t valid = 0;
    benchmark::DoNotOptimize(DORVIA_DecodeRawTEDSToTemplateForm(
        data.dir().c_str(), example.memory.c_str(), example.appRegister.c_str(), 0, &form, &valid));
  }
}
BENCHMARK(BM_DecodeToFormText)->ArgName("file_changed")->Arg(0)->Arg(1);

// CPU time, as the Python side measures it, so that other work on the machine does not tilt
// the ratio.
double cpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// CPU seconds per decode of the plain Python decoder in bench/, timed by Python itself so that
// the interpreter's start is not counted.
double pythonSecondsPerDecode(const std::string& memoryHex, int decodes) {
  const std::string command = "/usr/bin/python3 " + std::string(TEDSKIT_SOURCE_DIR) +
                              "/bench/description_decoder.py " + kData + "/TemplateDescription.txt " +
                              memoryHex + " --time " + std::to_string(decodes);
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  double seconds = 0;
  if (!pipe || std::fscanf(pipe.get(), "%lf", &seconds) != 1) return 0;
  return seconds;
}

// The engine's decode beside a plain Python decoder of the same file and image, in one run:
// "python_ratio" is how many times faster the engine is.
void BM_DecodeVersusPython(benchmark::State& state) {
  const Example example = accelerometer();
  const double python = pythonSecondsPerDecode(example.memory, 2000);
  if (python <= 0) {
    state.SkipWithError("the Python decoder did not run");
    return;
  }
  const double began = cpuSeconds();
  for (auto _ : state) {
    const char* form = nullptr;
    int32_t valid = 0;
    benchmark::DoNotOptimize(DORVIA_DecodeRawTEDSToTemplateForm(
        kData.c_str(), example.memory.c_str(), example.appRegister.c_str(), 0, &form, &valid));
  }
  const double perDecode = (cpuSeconds() - began) / static_cast<double>(state.iterations());
  state.counters["python_us"] = python * 1e6;
  state.counters["python_ratio"] = python / perDecode;
}
BENCHMARK(BM_DecodeVersusPython);

void BM_FormTextToFieldArray(benchmark::State& state) {
  const std::string form = decodedForm();
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(form.c_str(), array.get(), 1));
  }
}
BENCHMARK(BM_FormTextToFieldArray);

void BM_FieldArrayToFormText(benchmark::State& state) {
  const std::string form = decodedForm();
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(form.c_str(), array.get(), 1);
  std::string text(1 << 16, '\0');
  for (auto _ : state) {
    benchmark::DoNotOptimize(DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(
        array.get(), text.data(), static_cast<int32_t>(text.size())));
  }
}
BENCHMARK(BM_FieldArrayToFormText);

void BM_EncodeFormText(benchmark::State& state) {
  const std::string form = decodedForm();
  for (auto _ : state) {
    const char* image = nullptr;
    benchmark::DoNotOptimize(DORVIA_EncodeTemplateFormToRawTEDS(form.c_str(), &image, 0));
  }
}
BENCHMARK(BM_EncodeFormText);

void BM_ManufacturerName(benchmark::State& state) {
  DataCopy data;
  const bool changed = state.range(0) != 0;
  char name[128];
  for (auto _ : state) {
    if (changed) data.touch("Manufacture.txt");
    benchmark::DoNotOptimize(
        DORVIA_ConvertTEDSManufactureIndexToString(data.dir().c_str(), 23, name, sizeof name));
  }
}
BENCHMARK(BM_ManufacturerName)->ArgName("file_changed")->Arg(0)->Arg(1);

}  // namespace
