// Expanding a record over the one before it gives the same bytes as expanding it alone.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "compact_array.h"

namespace {

using tedskit::store::CompactArray;

// Runs of non-zero bytes of random length and place, sparse or dense.
std::unique_ptr<TEDSTemplateFieldArrayStruct> patterned(std::mt19937& random, std::size_t gap) {
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0, sizeof *array);
  auto* bytes = reinterpret_cast<unsigned char*>(array.get());
  for (std::size_t at = random() % 80; at < sizeof *array; at += 1 + random() % gap) {
    const std::size_t filled = 1 + random() % 80;
    for (std::size_t i = at; i < at + filled && i < sizeof *array; ++i, ++at) {
      bytes[i] = static_cast<unsigned char>(1 + random() % 255);
    }
  }
  return array;
}

TEST(CompactArray, ExpandingOverThePreviousRecordGivesTheRecordAlone) {
  std::mt19937 random(1451);
  std::vector<uint64_t> scratch;
  std::vector<std::unique_ptr<TEDSTemplateFieldArrayStruct>> arrays;
  for (const std::size_t gap : {2000, 40, 20000, 3, 8000}) arrays.push_back(patterned(random, gap));
  auto empty = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(empty.get(), 0, sizeof *empty);
  arrays.push_back(std::move(empty));

  std::vector<CompactArray> compact;
  for (const auto& array : arrays) compact.emplace_back(*array, scratch);
  auto expanded = std::make_unique<TEDSTemplateFieldArrayStruct>();
  // Every record over every other one, the empty one included.
  for (std::size_t previous = 0; previous < compact.size(); ++previous) {
    for (std::size_t next = 0; next < compact.size(); ++next) {
      compact[previous].expandInto(*expanded);
      ASSERT_EQ(std::memcmp(expanded.get(), arrays[previous].get(), sizeof *expanded), 0) << previous;
      compact[next].expandOver(compact[previous], *expanded);
      EXPECT_EQ(std::memcmp(expanded.get(), arrays[next].get(), sizeof *expanded), 0)
          << previous << " then " << next;
    }
  }
}

}  // namespace
