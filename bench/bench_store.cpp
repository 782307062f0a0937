// Storing and retrieving records: the cost per record must not grow with the number
// of records a handle already holds.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "tedskit/calden.h"

namespace {

void StoreAndRetrieveAll(benchmark::State& state) {
  const auto records = static_cast<int32_t>(state.range(0));
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0x5A, sizeof *array);
  const int32_t handle = CreateNewStoredDataStruct();
  int32_t descriptor = 0;
  int32_t channel = 0;
  int32_t unit = 0;
  for (auto _ : state) {
    for (int32_t i = 0; i < records; ++i) {
      Calden(handle, 0, array.get(), i, i);
    }
    for (int32_t i = 0; i < records; ++i) {
      RetrieveTedsData(handle, i, array.get(), &descriptor, &channel, &unit);
    }
    benchmark::DoNotOptimize(array.get());
    ClearStoredTedsDataStruct(handle);
  }
  state.SetComplexityN(records);
  state.SetItemsProcessed(state.iterations() * records);
}

// A record without zero runs is kept whole (391440 bytes), so 512 of them hold about 200 MB.
BENCHMARK(StoreAndRetrieveAll)
    ->RangeMultiplier(2)
    ->Range(32, 512)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// The newest record, reached at every size.
void RetrieveLast(benchmark::State& state) {
  const auto records = static_cast<int32_t>(state.range(0));
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0x5A, sizeof *array);
  const int32_t handle = CreateNewStoredDataStruct();
  for (int32_t i = 0; i < records; ++i) {
    Calden(handle, 0, array.get(), i, i);
  }
  int32_t descriptor = 0;
  int32_t channel = 0;
  int32_t unit = 0;
  for (auto _ : state) {
    RetrieveTedsData(handle, records - 1, array.get(), &descriptor, &channel, &unit);
    benchmark::DoNotOptimize(array.get());
  }
  ClearStoredTedsDataStruct(handle);
  state.SetComplexityN(records);
}

BENCHMARK(RetrieveLast)
    ->RangeMultiplier(4)
    ->Range(8, 512)
    ->Complexity(benchmark::o1)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
