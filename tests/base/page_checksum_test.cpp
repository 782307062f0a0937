#include "base/page_checksum.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tedskit::base {
namespace {

TEST(PageChecksum, TheByteItGivesMakesThePartsPass) {
  const std::vector<uint8_t> cases[] = {
      {}, {0}, {1}, {0xFF, 0x01}, {0x80, 0x80, 0x80}, std::vector<uint8_t>(31, 0xFF)};
  for (const auto& rest : cases) {
    std::vector<uint8_t> page{checksumFor(rest)};
    page.insert(page.end(), rest.begin(), rest.end());
    EXPECT_TRUE(checksumPasses(page)) << rest.size();
    page[0] ^= 1;
    EXPECT_FALSE(checksumPasses(page)) << rest.size();
  }
  EXPECT_EQ(checksumFor(std::vector<uint8_t>(31, 0)), 0) << "a page of zeros passes with a zero checksum";
  EXPECT_EQ(checksumFor(std::vector<uint8_t>{0x01}), 0xFF);
}

TEST(PageChecksum, PartsCountAsOneRun) {
  const std::array<uint8_t, 8> reg{0x45, 0x40, 0x26, 0x22, 0x04, 0x92, 0x8A, 0x01};
  std::array<uint8_t, 32> memory{};
  for (std::size_t i = 1; i < memory.size(); ++i) memory[i] = static_cast<uint8_t>(i * 9);
  memory[0] = checksumFor({reg, std::span(memory).subspan(1)});
  EXPECT_TRUE(checksumPasses({reg, memory}));
  EXPECT_FALSE(checksumPasses(memory)) << "the register belongs to the sum";
}

}  // namespace
}  // namespace tedskit::base
