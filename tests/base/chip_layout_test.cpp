// The unchecked LMS page is recognised by its selector and template ID alone, also when
// its bytes happen to pass the page check (one page in 256).
#include "base/chip_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/page_checksum.h"

namespace tedskit::base {
namespace {

// Basic TEDS, selector 3 with template 118, data; the last byte set so the page passes.
std::array<uint8_t, kMaxChipImage> lmsPageThatPasses() {
  std::array<uint8_t, kMaxChipImage> chip{};
  const uint8_t basic[8] = {0x45, 0x40, 0x26, 0x22, 0x04, 0x92, 0x8A, 0x01};
  std::copy(std::begin(basic), std::end(basic), chip.begin());
  chip[8] = static_cast<uint8_t>(3 | ((kLmsGeometryTemplate & 0x3F) << 2));
  chip[9] = static_cast<uint8_t>(0x20 | (kLmsGeometryTemplate >> 6));
  for (std::size_t i = 10; i < 31; ++i) chip[i] = static_cast<uint8_t>(i * 3);
  chip[31] = checksumFor(std::span(chip).first(31));
  return chip;
}

struct Read {
  std::array<uint8_t, 8> reg{};
  std::array<uint8_t, kMaxChipImage> memory{};
  int32_t registerUsed = 0;
  std::array<int32_t, 4> flags{1, 1, 1, 1};
  int32_t templateId = -1;
  ReadTarget target() { return {reg.data(), memory.data(), &registerUsed, flags.data(), &templateId}; }
};

TEST(ChipLayout, UncheckedPageThatPassesIsDeliveredWhole) {
  const auto chip = lmsPageThatPasses();
  ASSERT_TRUE(checksumPasses(std::span(chip).first(kPage)));
  ASSERT_TRUE(isUncheckedLmsPage(chip));

  Read paged;
  EXPECT_EQ(deliverPagedImage(chip, 128, false, paged.target()), FERRUN_DONE);
  EXPECT_TRUE(std::equal(chip.begin(), chip.begin() + kPage, paged.memory.begin()))
      << "the Basic TEDS starts the memory buffer, its first byte included";
  EXPECT_EQ(paged.flags[0], 1);
  EXPECT_EQ(paged.registerUsed, 0);
  EXPECT_EQ(paged.templateId, kLmsGeometryTemplate);

  Read ds2430a;
  std::copy_n(chip.begin(), kPage, ds2430a.memory.begin());
  deliverDs2430aImage(ds2430a.target());
  EXPECT_EQ(ds2430a.templateId, kLmsGeometryTemplate);
  EXPECT_EQ(ds2430a.flags[0], 1);
}

TEST(ChipLayout, UncheckedPageThatPassesIsWrittenAsItIsWithTheSelectorHint) {
  const auto chip = lmsPageThatPasses();
  const std::span<const uint8_t> image(chip.data(), kMaxWrite);
  EXPECT_EQ(writtenLayout(image, false, 1), ChipLayout::UncheckedLms);
  const auto w = layOutPagedImage(image, 128, false, 1);
  EXPECT_TRUE(std::equal(chip.begin(), chip.begin() + kPage, w.begin()));
  EXPECT_EQ(std::vector<uint8_t>(w.begin() + kPage, w.begin() + 128), std::vector<uint8_t>(96, 0));
  // Without the hint a passing page keeps its selector byte at 9, as before.
  EXPECT_NE(writtenLayout(image, false, 0), ChipLayout::UncheckedLms);
}

}  // namespace
}  // namespace tedskit::base
