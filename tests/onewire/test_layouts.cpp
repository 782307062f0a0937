// Reading and writing TEDS images in every form and layout, on every memory chip.
#include <gtest/gtest.h>

#include "ferrun_fixture.h"

namespace {

TEST(Read, LayoutAWithAStandardTemplateReadsInSplitFormAndWritesBack) {
  const Bytes chip = layoutA(128, 0, 25);
  TempBus sim(device("DS2431", "000000000001", chip));
  Session session;
  const ReadOut out = readMemory();
  ASSERT_EQ(out.rc, 1);
  EXPECT_EQ(out.regBytes(), slice(chip, 1, 8));
  EXPECT_EQ(out.registerUsed, 1);
  EXPECT_EQ(out.memory[0], chip[0]);
  EXPECT_EQ(out.mem(1, 23), slice(chip, 9, 23));
  EXPECT_EQ(out.mem(24, 31), slice(chip, 33, 31));
  EXPECT_EQ(out.mem(86, 31), slice(chip, 97, 31));
  EXPECT_EQ(out.flags, (std::array<int32_t, 4>{1, 1, 1, 1}));
  EXPECT_EQ(out.templateId, 25);

  Bytes split = out.regBytes();
  const Bytes memory = out.mem(0, FERRUN_MAX_IMAGE - 8);
  split.insert(split.end(), memory.begin(), memory.end());
  EXPECT_EQ(stdcdll_write_memory(split.data(), 0, 0), 1);
  EXPECT_EQ(rawContents(128), chip);
}

}  // namespace
