// 10,000 records of a decoded sensor: storing them, saving them to a record file and
// reading the file back. Peak memory is reported as the process's peak resident size.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "tedskit/calden.h"
#include "tedskit/quillon.h"

namespace {

constexpr int32_t kRecords = 10000;
const std::string kDataDir = std::string(TEDSKIT_SOURCE_DIR) + "/data";

// The shipped IEPE accelerometer, decoded: a record as a caller stores it.
const TaggedFieldArray& accelerometer() {
  static const auto tagged = [] {
    auto t = std::make_unique<TaggedFieldArray>();
    std::memset(t.get(), 0, sizeof *t);
    const char* memory = "2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000";
    const char* form = nullptr;
    int32_t valid = 0;
    QUILLON_DecodeRAWTedsToTemplateForm(kDataDir.c_str(), memory, "12C0664408190010", 0, &form, &valid, 0);
    QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, t.get(), 1);
    return t;
  }();
  return *tagged;
}

std::string filePath() { return "/tmp/bench_record_file." + std::to_string(getpid()) + ".txt"; }

void storeAll(int32_t handle, int32_t records = kRecords) {
  const TaggedFieldArray& record = accelerometer();
  for (int32_t i = 0; i < records; ++i) Calden(handle, record.kind, &record.array, i % 4, i / 4);
}

void reportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Store10000(benchmark::State& state) {
  const int32_t handle = CreateNewStoredDataStruct();
  for (auto _ : state) {
    storeAll(handle);
    state.PauseTiming();
    ClearStoredTedsDataStruct(handle);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  reportPeakMemory(state);
}
BENCHMARK(Store10000)->Unit(benchmark::kMillisecond);

// Every record stored, then every one retrieved into the caller's array, as a test system
// does that keeps the channels of a rack and reads them back.
void StoreRetrieve10000(benchmark::State& state) {
  const int32_t handle = CreateNewStoredDataStruct();
  auto out = std::make_unique<TEDSTemplateFieldArrayStruct>();
  int32_t descriptor = 0;
  int32_t channel = 0;
  int32_t unit = 0;
  for (auto _ : state) {
    storeAll(handle);
    for (int32_t i = 0; i < kRecords; ++i) {
      if (RetrieveTedsData(handle, i, out.get(), &descriptor, &channel, &unit) != 0) {
        state.SkipWithError("retrieve failed");
        break;
      }
      benchmark::DoNotOptimize(out->numItems);
    }
    state.PauseTiming();
    ClearStoredTedsDataStruct(handle);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  reportPeakMemory(state);
}
BENCHMARK(StoreRetrieve10000)->Unit(benchmark::kMillisecond);

// What any store and retrieve of a whole field array must move: reading the 391440 bytes
// once and writing them once, per record. Beside StoreRetrieve10000 it shows how close the
// store comes to the machine's memory speed.
void FieldArrayReadWrite10000(benchmark::State& state) {
  const TEDSTemplateFieldArrayStruct& in = accelerometer().array;
  auto out = std::make_unique<TEDSTemplateFieldArrayStruct>();
  for (auto _ : state) {
    for (int32_t i = 0; i < kRecords; ++i) {
      std::memcpy(out.get(), &in, sizeof in);
      benchmark::DoNotOptimize(out->numItems);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(FieldArrayReadWrite10000)->Unit(benchmark::kMillisecond);

// Saving and reading a file of `records` records; the 10,000-record runs report peak memory too.
void saveFile(benchmark::State& state, int32_t records) {
  const int32_t handle = CreateNewStoredDataStruct();
  storeAll(handle, records);
  const std::string path = filePath();
  const sccontrolstruct none{};
  for (auto _ : state) {
    if (SaveTEDSReadToFile(handle, path.c_str(), 0, kDataDir.c_str(), 0, none) != 0)
      state.SkipWithError("save failed");
  }
  ClearStoredTedsDataStruct(handle);
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * records);
}

void readFile(benchmark::State& state, int32_t records) {
  const int32_t handle = CreateNewStoredDataStruct();
  storeAll(handle, records);
  const std::string path = filePath();
  const sccontrolstruct none{};
  SaveTEDSReadToFile(handle, path.c_str(), 0, kDataDir.c_str(), 0, none);
  ClearStoredTedsDataStruct(handle);
  for (auto _ : state) {
    if (ReadTEDSDataFromFile(handle, path.c_str(), kDataDir.c_str(), nullptr, nullptr) != 0 ||
        GetNumberOfSavedItems(handle) != records) {
      state.SkipWithError("read failed");
    }
    state.PauseTiming();
    ClearStoredTedsDataStruct(handle);
    state.ResumeTiming();
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * records);
}

void Save10000(benchmark::State& state) {
  saveFile(state, kRecords);
  reportPeakMemory(state);
}
BENCHMARK(Save10000)->Unit(benchmark::kMillisecond);

void Read10000(benchmark::State& state) {
  readFile(state, kRecords);
  reportPeakMemory(state);
}
BENCHMARK(Read10000)->Unit(benchmark::kMillisecond);

// Files of 1,250 to 20,000 records: the time per record stays the same.
void SaveRecords(benchmark::State& state) { saveFile(state, static_cast<int32_t>(state.range(0))); }
BENCHMARK(SaveRecords)->Arg(1250)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

void ReadRecords(benchmark::State& state) { readFile(state, static_cast<int32_t>(state.range(0))); }
BENCHMARK(ReadRecords)->Arg(1250)->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The whole road at once: both handles hold all 10,000 records at the end.
void StoreSaveRead10000(benchmark::State& state) {
  const std::string path = filePath();
  const sccontrolstruct none{};
  const int32_t stored = CreateNewStoredDataStruct();
  const int32_t readBack = CreateNewStoredDataStruct();
  for (auto _ : state) {
    storeAll(stored);
    SaveTEDSReadToFile(stored, path.c_str(), 0, kDataDir.c_str(), 0, none);
    ReadTEDSDataFromFile(readBack, path.c_str(), kDataDir.c_str(), nullptr, nullptr);
    state.PauseTiming();
    if (GetNumberOfSavedItems(readBack) != kRecords) state.SkipWithError("records lost");
    ClearStoredTedsDataStruct(stored);
    ClearStoredTedsDataStruct(readBack);
    state.ResumeTiming();
  }
  std::remove(path.c_str());
  reportPeakMemory(state);
}
BENCHMARK(StoreSaveRead10000)->Unit(benchmark::kMillisecond);

}  // namespace
