// The bit runs chained templates are cut, edited and joined in: every operation against a
// plain list of bits, at aligned and unaligned places alike.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bit_string.h"

namespace {

using teds::BitString;

std::vector<bool> bitsOf(const BitString& bits) {
  std::vector<bool> out;
  for (int64_t at = 0; at < bits.size(); ++at) out.push_back(bits.read(at, 1) != 0);
  return out;
}

BitString fromBits(const std::vector<bool>& bits) {
  BitString out;
  for (const bool bit : bits) out.append(bit ? 1 : 0, 1);
  return out;
}

TEST(BitString, EveryOperationAgreesWithAPlainListOfBits) {
  std::mt19937_64 random(7);
  std::vector<bool> model;
  BitString bits;
  for (int step = 0; step < 3000; ++step) {
    const auto size = static_cast<int64_t>(model.size());
    const int64_t at = size == 0 ? 0 : static_cast<int64_t>(random() % static_cast<uint64_t>(size + 1));
    switch (random() % 6) {
      case 0: {
        const int width = 1 + static_cast<int>(random() % 64);
        const uint64_t value = random();
        bits.append(value, width);
        for (int k = 0; k < width; ++k) model.push_back(((value >> k) & 1u) != 0);
        break;
      }
      case 1: {
        std::vector<bool> more(random() % 40);
        for (auto&& bit : more) bit = (random() & 1u) != 0;
        bits.insert(at, fromBits(more));
        model.insert(model.begin() + at, more.begin(), more.end());
        break;
      }
      case 2: {
        const int64_t count = std::min<int64_t>(size - at, static_cast<int64_t>(random() % 30));
        bits.erase(at, count);
        model.erase(model.begin() + at, model.begin() + at + count);
        break;
      }
      case 3: {
        const int width = static_cast<int>(std::min<int64_t>(size - at, 1 + static_cast<int64_t>(random() % 56)));
        const uint64_t value = random();
        bits.write(at, width, value);
        for (int k = 0; k < width; ++k) model[static_cast<std::size_t>(at + k)] = ((value >> k) & 1u) != 0;
        break;
      }
      case 4: {
        const int64_t count = static_cast<int64_t>(random() % 100);
        const BitString part = bits.slice(at, count);
        const std::vector<bool> expected(model.begin() + at, model.begin() + std::min(size, at + count));
        ASSERT_EQ(bitsOf(part), expected) << "step " << step;
        ASSERT_TRUE(part == fromBits(expected));
        break;
      }
      default: {
        BitString copy = bits.slice(0, at);
        copy.append(bits.slice(at, size - at));
        ASSERT_TRUE(copy == bits) << "step " << step;
        break;
      }
    }
    ASSERT_EQ(bits.size(), static_cast<int64_t>(model.size()));
    if (model.size() > 2000) {
      bits.erase(0, 1000);
      model.erase(model.begin(), model.begin() + 1000);
    }
  }
  EXPECT_EQ(bitsOf(bits), model);
  int64_t used = 0;
  for (std::size_t i = 0; i < model.size(); ++i)
    if (model[i]) used = static_cast<int64_t>(i) + 1;
  EXPECT_EQ(bits.usedSize(), used);
}

}  // namespace
