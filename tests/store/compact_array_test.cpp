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

// Records of one layout differing in a few words share the words of the one before; the
// run also holds records that share nothing: their zero runs moved, or too many words differ.
TEST(CompactArray, RecordsSharingTheWordsOfThePreviousOneExpandToThemselves) {
  std::mt19937 random(2024);
  const auto base = patterned(random, 300);
  auto* baseBytes = reinterpret_cast<unsigned char*>(base.get());
  // A word at random that holds something, inside a literal run.
  auto nonZeroWord = [&] {
    for (;;) {
      const std::size_t word = random() % (sizeof *base / 8);
      uint64_t value;
      std::memcpy(&value, baseBytes + word * 8, 8);
      if (value != 0) return word;
    }
  };
  std::vector<std::unique_ptr<TEDSTemplateFieldArrayStruct>> arrays;
  for (const int changedWords : {0, 3, 1, 0, 20000, 2, -1, 5}) {
    auto array = std::make_unique<TEDSTemplateFieldArrayStruct>(*base);
    auto* bytes = reinterpret_cast<unsigned char*>(array.get());
    if (changedWords < 0) {
      bytes[sizeof *array - 1] ^= 0x40;  // a zero run ends elsewhere
    }
    for (int k = 0; k < changedWords; ++k) {
      const std::size_t word = nonZeroWord();
      bytes[word * 8 + random() % 8] |= 0x80;  // stays non-zero
    }
    arrays.push_back(std::move(array));
  }

  std::vector<uint64_t> scratch;
  std::vector<CompactArray> compact;
  compact.reserve(arrays.size());
  for (const auto& array : arrays) compact.emplace_back(*array, scratch, compact.empty() ? nullptr : &compact.back());
  auto expanded = std::make_unique<TEDSTemplateFieldArrayStruct>();
  for (std::size_t previous = 0; previous < compact.size(); ++previous) {
    for (std::size_t next = 0; next < compact.size(); ++next) {
      std::memset(expanded.get(), 0x33, sizeof *expanded);
      compact[previous].expandInto(*expanded);
      ASSERT_EQ(std::memcmp(expanded.get(), arrays[previous].get(), sizeof *expanded), 0) << previous;
      compact[next].expandOver(compact[previous], *expanded);
      EXPECT_EQ(std::memcmp(expanded.get(), arrays[next].get(), sizeof *expanded), 0)
          << previous << " then " << next;
    }
  }
}

}  // namespace
