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

namespace {

Bytes splitImage(const ReadOut& out) {
  Bytes split = out.regBytes();
  const Bytes memory = out.mem(0, FERRUN_MAX_IMAGE - 8);
  split.insert(split.end(), memory.begin(), memory.end());
  return split;
}

struct PagedChip {
  const char* type;
  size_t size;       // bytes read
  size_t writeSize;  // bytes written
};
const PagedChip kPagedChips[] = {
    {"DS2431", 128, 128},
    {"DS2433", 512, 512},
    {"DS28EC20", 2560, 32},
};

TEST(RoundTrip, SplitFormBackToLayoutAOnEveryPagedChip) {
  for (const PagedChip& c : kPagedChips) {
    const Bytes chip = layoutA(c.size, 2, 40);
    TempBus sim(device(c.type, "000000000001", chip));
    Session session;
    const ReadOut out = readMemory();
    ASSERT_EQ(out.rc, 1) << c.type;
    EXPECT_EQ(out.registerUsed, 1) << c.type;
    EXPECT_EQ(out.templateId, 40) << c.type;
    const size_t lastPage = c.size / 32 - 1;
    EXPECT_EQ(out.mem(24 + 31 * (lastPage - 1), 31), slice(chip, 32 * lastPage + 1, 31)) << c.type;
    EXPECT_EQ(out.mem(c.size - 8, 8), Bytes(8, 0)) << c.type << ": nothing past the delivered bytes";

    // Change a byte of every written page, so that the write is seen to happen.
    Bytes split = splitImage(out);
    for (size_t p = 0; p * 32 < c.writeSize; ++p) split[p == 0 ? 20 : 32 + 31 * (p - 1) + 5] ^= 0x5A;
    ASSERT_EQ(stdcdll_write_memory(split.data(), 0, 0), 1) << c.type;
    const Bytes written = rawContents(c.size);
    Bytes expected = chip;
    for (size_t p = 0; p * 32 < c.writeSize; ++p) expected[p == 0 ? 20 : 32 * p + 6] ^= 0x5A;
    expected = withChecksums(Bytes(expected.begin(), expected.begin() + static_cast<long>(c.writeSize)));
    expected.insert(expected.end(), chip.begin() + static_cast<long>(c.writeSize), chip.end());
    EXPECT_EQ(written, expected) << c.type << ": only the first " << c.writeSize << " bytes are written";
  }
}

TEST(RoundTrip, LayoutBReadsInStreamFormAndWritingBackRepairsItsChecksum) {
  for (const PagedChip& c : kPagedChips) {
    Bytes chip = layoutB(c.size, 1, 30);
    chip[0] ^= 0x01;  // page 0 fails its check
    TempBus sim(device(c.type, "000000000001", chip));
    Session session;
    const ReadOut out = readMemory();
    ASSERT_EQ(out.rc, 1) << c.type;
    EXPECT_EQ(out.regBytes(), Bytes(8, 0xFF)) << c.type;
    EXPECT_EQ(out.registerUsed, 0) << c.type;
    EXPECT_EQ(out.flags[0], 0) << c.type;
    EXPECT_EQ(out.templateId, 30) << c.type;
    EXPECT_EQ(out.mem(0, 23), slice(chip, 9, 23)) << c.type;
    EXPECT_EQ(out.mem(23, 31), slice(chip, 33, 31)) << c.type;

    ASSERT_EQ(stdcdll_write_memory(out.memory.data(), 1, 0), 1) << c.type;
    chip[0] ^= 0x01;
    EXPECT_EQ(rawContents(c.writeSize), slice(chip, 0, c.writeSize)) << c.type;
  }
}

TEST(Read, FormsFollowSelectorTemplateAndChecksum) {
  struct Case {
    const char* what;
    Bytes chip;
    int32_t registerUsed;
    int32_t flag0;
    int32_t templateId;
    Bytes reg;
    Bytes memoryStart;
  };
  Bytes badA = layoutA(128, 0, 3);
  badA[0] ^= 0x10;
  Bytes selector3 = layoutA(128, 3, 50);
  Bytes lms = pattern(128, 0x11);
  std::copy(kBasic.begin(), kBasic.end(), lms.begin());
  lms[8] = selectorByte(3, 117);
  lms[9] = static_cast<uint8_t>(templateHigh(117) | 0x10);
  lms = withChecksums(lms);
  lms[1] ^= 0x01;  // no checksum on an LMS page 0
  const Bytes old = layoutA(128, 0, 24);
  const Case cases[] = {
      {"template ID below 25: inline", old, 0, 2, 24, Bytes(8, 0), slice(old, 1, 23)},
      {"failing page 0: inline", badA, 0, 2, 3, Bytes(8, 0), slice(badA, 1, 23)},
      {"selector 1 with ID 4 is the MTS template",
       layoutA(128, 1, 4),
       1,
       1,
       199,
       slice(layoutA(128, 1, 4), 1, 8),
       {}},
      {"selector 3: stream", selector3, 0, 1, 50, slice(selector3, 1, 8), slice(selector3, 9, 23)},
      {"LMS page 0 unchecked, delivered raw", lms, 0, 1, 117, slice(lms, 1, 8), slice(lms, 0, 32)},
  };
  for (const Case& c : cases) {
    TempBus sim(device("DS2431", "000000000001", c.chip));
    Session session;
    const ReadOut out = readMemory();
    EXPECT_EQ(out.rc, 1) << c.what;
    EXPECT_EQ(out.registerUsed, c.registerUsed) << c.what;
    EXPECT_EQ(out.flags[0], c.flag0) << c.what;
    EXPECT_EQ(out.templateId, c.templateId) << c.what;
    EXPECT_EQ(out.regBytes(), c.reg) << c.what;
    EXPECT_EQ(out.mem(0, c.memoryStart.size()), c.memoryStart) << c.what;
  }
}

TEST(Read, PageFlagsRawModeAndNoSession) {
  Bytes chip = layoutA(128, 0, 25);
  chip[70] ^= 0xFF;  // page 2 fails
  TempBus sim(device("DS2431", "000000000001", chip));
  {
    ReadOut out;
    out.rc = stdcdll_read_memory(out.reg.data(), out.memory.data(), &out.registerUsed, out.flags.data(), 0);
    EXPECT_EQ(out.rc, 1) << "no session: done, nothing read";
    EXPECT_EQ(out.flags, (std::array<int32_t, 4>{1, 1, 1, 1}));
    EXPECT_EQ(out.registerUsed, -5);
    EXPECT_EQ(out.memory[0], 0);
    EXPECT_EQ(stdcdll_write_memory(chip.data(), 0, 0), 3) << "no session: no chip";
  }
  Session session;
  ReadOut split = readMemory();
  EXPECT_EQ(split.flags, (std::array<int32_t, 4>{1, 1, 0, 1}));

  ReadOut raw;
  raw.memory.fill(0xEE);
  raw.reg.fill(0xEE);
  raw.rc = stdcdll_read_memory(raw.reg.data(), raw.memory.data(), &raw.registerUsed, raw.flags.data(),
                               FERRUN_RAW_MODE);
  EXPECT_EQ(raw.rc, 0);
  EXPECT_EQ(raw.mem(0, 128), chip);
  EXPECT_EQ(raw.mem(128, FERRUN_MAX_MEMORY - 128), Bytes(FERRUN_MAX_MEMORY - 128, 0));
  EXPECT_EQ(raw.regBytes(), Bytes(8, 0xEE)) << "raw mode leaves the register buffer";
  EXPECT_EQ(raw.registerUsed, -5);
  EXPECT_EQ(raw.flags, (std::array<int32_t, 4>{1, 1, 0, 1}));
}

TEST(RoundTrip, UncheckedLmsPageWithTheSelectorHint) {
  Bytes lms(128, 0);
  std::copy(kBasic.begin(), kBasic.end(), lms.begin());
  lms[8] = selectorByte(3, 118);
  lms[9] = templateHigh(118);
  for (size_t i = 10; i < 32; ++i) lms[i] = static_cast<uint8_t>(i);
  TempBus sim(device("DS2431", "000000000001", pattern(128, 3)));
  Session session;
  ASSERT_EQ(stdcdll_write_memory(lms.data(), 0, 1), 1);
  EXPECT_EQ(rawContents(128), lms) << "page 0 as given, the other pages cleared";
  const ReadOut out = readMemory();
  EXPECT_EQ(out.flags[0], 1);
  EXPECT_EQ(out.templateId, 118);
  EXPECT_EQ(out.mem(0, 32), slice(lms, 0, 32));
}

TEST(RoundTrip, StreamWithChecksumPrefixGoesToLayoutB) {
  // Layout flag 0, a template ID below 25: the image is a checksum byte and a stream.
  const Bytes chip = layoutB(128, 0, 10);
  Bytes stream(FERRUN_MAX_IMAGE, 0);
  stream[0] = 0x99;  // any old checksum
  std::copy(chip.begin() + 9, chip.begin() + 32, stream.begin() + 1);
  for (size_t k = 1; k < 4; ++k)
    std::copy(chip.begin() + 32 * k + 1, chip.begin() + 32 * k + 32, stream.begin() + 24 + 31 * (k - 1));
  TempBus sim(device("DS2431", "000000000001"));
  Session session;
  ASSERT_EQ(stdcdll_write_memory(stream.data(), 0, 0), 1);
  EXPECT_EQ(rawContents(128), chip);
}

TEST(RoundTrip, WritesPersistInTheBusFileForTheNextSession) {
  const Bytes chip = layoutA(128, 0, 25);
  TempBus sim(device("DS2431", "000000000001"));
  {
    Session session;
    Bytes split = slice(chip, 1, 8);
    split.push_back(0);
    split.insert(split.end(), chip.begin() + 9, chip.begin() + 32);
    for (size_t k = 1; k < 4; ++k)
      split.insert(split.end(), chip.begin() + 32 * k + 1, chip.begin() + 32 * k + 32);
    split.resize(FERRUN_MAX_IMAGE);
    ASSERT_EQ(stdcdll_write_memory(split.data(), 0, 0), 1);
  }
  EXPECT_NE(sim.text().find("memory 0000" + hexLine(chip, 0, 16)), std::string::npos) << sim.text();
  Session session;
  EXPECT_EQ(rawContents(128), chip);
}

TEST(Family0D, ReadAndWrittenAs112BytesWithTheDs2431Commands) {
  const Bytes chip = layoutA(128, 0, 25);
  TempBus sim(device("DS2431", "000000000001", chip, "  family 0D\n"));
  Session session;
  const ReadOut out = readMemory();
  ASSERT_EQ(out.rc, 1);
  EXPECT_EQ(out.registerUsed, 1);
  EXPECT_EQ(out.mem(24 + 62, 15), slice(chip, 97, 15)) << "page 3 up to byte 111";
  EXPECT_EQ(out.mem(24 + 62 + 15, 16), Bytes(16, 0));
  Bytes split = splitImage(out);
  split[30] ^= 0x0F;
  ASSERT_EQ(stdcdll_write_memory(split.data(), 0, 0), 1);
  const Bytes written = rawContents(112);
  EXPECT_EQ(written[30] ^ chip[30], 0x0F);
  EXPECT_NE(sim.text().find("memory 0070" + hexLine(chip, 112, 16)), std::string::npos)
      << "nothing past 112 bytes is written";
  const ReadOut again = readMemory();
  EXPECT_EQ(again.flags, (std::array<int32_t, 4>{1, 1, 1, 1})) << "the partial page 3 is checked as written";
}

}  // namespace

namespace {

// Bus time of one write, from a fresh session on a bus holding the given chip.
uint64_t writeBusTimeUs(const std::string& type, bool v1) {
  TempBus sim(device(type, "000000000001"));
  Session session;
  owbus_reset_counters();
  const int32_t rc = v1 ? stdcdll_write_v1_memory(pattern(40, 1).data())
                        : stdcdll_write_memory(pattern(FERRUN_MAX_IMAGE, 1).data(), 1, 0);
  EXPECT_EQ(rc, 1) << type;
  return owbus_bus_time_us();
}

TEST(Waits, CopiesWaitTheirDataSheetProgrammingTime) {
  struct Case {
    const char* type;
    bool v1;
    uint64_t programmingUs;  // the copies' programming times alone
    uint64_t mostUs;         // well below what the old fixed waits took
  };
  const Case cases[] = {
      {"DS2431", false, 16 * 10'000, 1'000'000},  // 16 rows; took 2.2 s
      {"DS2433", false, 16 * 5'000, 1'500'000},   // 16 pages; took 8.6 s
      {"DS28EC20", false, 10'000, 200'000},       // the first page only
      {"DS2430A", false, 10'000, 200'000},        // its wait alone was 200 ms
      {"DS2430A", true, 2 * 10'000, 300'000},     // memory copy and register lock; waited 800 ms
  };
  for (const Case& c : cases) {
    const uint64_t us = writeBusTimeUs(c.type, c.v1);
    EXPECT_GE(us, c.programmingUs) << c.type << (c.v1 ? " V1.0" : "");
    EXPECT_LT(us, c.mostUs) << c.type << (c.v1 ? " V1.0" : "");
  }
}

TEST(Waits, TheLongWaitsStayOnRequest) {
  ASSERT_EQ(owbus_set_programming_waits(OWBUS_WAITS_LONG), 0);
  EXPECT_GE(writeBusTimeUs("DS2433", false), 16u * 100'000u) << "100 ms after each page copy";
  EXPECT_GE(writeBusTimeUs("DS2430A", true), 4u * 200'000u)
      << "copy, two steps, and the register's programming";
  ASSERT_EQ(owbus_set_programming_waits(-1), 0);

  setenv("TEDSKIT_WAITS", "long", 1);
  EXPECT_EQ(owbus_programming_waits(), OWBUS_WAITS_LONG);
  EXPECT_GE(writeBusTimeUs("DS2431", false), 16u * 100'000u) << "TEDSKIT_WAITS=long asks for them too";
  unsetenv("TEDSKIT_WAITS");
  EXPECT_EQ(owbus_programming_waits(), OWBUS_WAITS_DATASHEET);
  EXPECT_EQ(owbus_set_programming_waits(7), -1);
}

}  // namespace
