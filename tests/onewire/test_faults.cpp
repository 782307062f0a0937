// Bus faults: each one gives its code, and no write with a fault is reported as done
// unless the chip holds exactly what was written.
#include <gtest/gtest.h>

#include "ferrun_fixture.h"

namespace {

Bytes splitOf(const Bytes& chip) {
  Bytes split = slice(chip, 1, 8);
  split.push_back(chip[0]);
  split.insert(split.end(), chip.begin() + 9, chip.begin() + 32);
  for (size_t k = 1; k * 32 < chip.size(); ++k)
    split.insert(split.end(), chip.begin() + 32 * k + 1, chip.begin() + 32 * k + 32);
  split.resize(FERRUN_MAX_IMAGE);
  return split;
}

TEST(Faults, NoPresenceMeansNoChip) {
  TempBus sim(device("DS2431", "000000000001", layoutA(128, 0, 25)));
  Session session;
  owbus_set_fault(OWBUS_FAULT_NO_PRESENCE, 0, -1);
  EXPECT_EQ(readMemory().rc, 3);
  EXPECT_EQ(stdcdll_write_memory(splitOf(layoutA(128, 0, 26)).data(), 0, 0), 3);
  owbus_clear_faults();
  EXPECT_EQ(rawContents(128), layoutA(128, 0, 25));
}

TEST(Faults, WriteRetriesDetectionOnce) {
  const Bytes chip = layoutA(128, 0, 26);
  TempBus sim(device("DS2431", "000000000001"));
  Session session;
  owbus_set_fault(OWBUS_FAULT_NO_PRESENCE, 0, 5);  // the five searches of the first detection
  EXPECT_EQ(stdcdll_write_memory(splitOf(chip).data(), 0, 0), 1);
  EXPECT_EQ(rawContents(128), chip);
}

TEST(Faults, EveryWriteFaultIsReportedAndNeverAsDone) {
  const Bytes before = layoutA(128, 0, 25);
  const Bytes chip = layoutA(128, 0, 26, 0x77);
  struct Case {
    const char* what;
    int32_t kind;
    int32_t skip;
    int32_t count;
    bool chipWritten;
  };
  const Case cases[] = {
      {"a copy refused", OWBUS_FAULT_COPY_FAIL, 5, 1, false},
      {"a flipped bit in the read back", OWBUS_FAULT_FLIP_BIT, 16 * 3 + 100, 1, true},
      // Detection's search for 14h finds the DS2431 too (and rejects it); the one for 2Dh
      // is the second find.
      {"the chip leaves the bus after detection", OWBUS_FAULT_VANISH, 1, 1, false},
  };
  for (const Case& c : cases) {
    TempBus sim(device("DS2431", "000000000001", before));
    Session session;
    owbus_set_fault(c.kind, c.skip, c.count);
    EXPECT_EQ(stdcdll_write_memory(splitOf(chip).data(), 0, 0), 4) << c.what;
    owbus_clear_faults();
    const Bytes now = rawContents(128);
    if (c.chipWritten) {
      EXPECT_EQ(now, chip) << c.what;
    } else {
      EXPECT_NE(now, chip) << c.what;
    }
  }
}

TEST(Faults, DisappearingChipReadsAsFailingPages) {
  TempBus sim(device("DS2431", "000000000001", layoutA(128, 0, 25)));
  Session session;
  owbus_set_fault(OWBUS_FAULT_VANISH, 1, 1);
  const ReadOut out = readMemory();
  EXPECT_EQ(out.rc, 1);
  EXPECT_EQ(out.flags, (std::array<int32_t, 4>{0, 0, 0, 0}));
}

TEST(Faults, DS2430AWritesAreVerifiedToo) {
  TempBus sim(device("DS2430A", "000000000001", Bytes(32, 0)));
  Session session;
  owbus_set_fault(OWBUS_FAULT_COPY_FAIL, 0, 1);
  EXPECT_EQ(stdcdll_write_memory(pattern(FERRUN_MAX_IMAGE, 1).data(), 0, 0), 4);
  Bytes v1(40, 0x3C);
  owbus_set_fault(OWBUS_FAULT_COPY_FAIL, 1, 1);  // the register's copy and lock
  EXPECT_EQ(stdcdll_write_v1_memory(v1.data()), 4);
}

}  // namespace

namespace {

TEST(Protection, AWriteProtectedDs2431PageIsReportedNotVerified) {
  const Bytes before = layoutA(128, 0, 25);
  Bytes chip = before;
  chip.resize(0x88, 0);
  chip[0x80 + 1] = 0x55;  // page 1 write-protected
  TempBus sim(device("DS2431", "000000000001", chip));
  Session session;
  const Bytes after = layoutA(128, 0, 26, 0x77);
  EXPECT_EQ(stdcdll_write_memory(splitOf(after).data(), 0, 0), 4);
  const Bytes now = rawContents(128);
  EXPECT_EQ(slice(now, 32, 32), slice(before, 32, 32)) << "page 1 kept";
  EXPECT_EQ(slice(now, 64, 64), slice(after, 64, 64)) << "the other pages written";
}

}  // namespace
