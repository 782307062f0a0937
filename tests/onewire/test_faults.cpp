// Bus faults: each one gives its code, and no write with a fault is reported as done
// unless the chip holds exactly what was written.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

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
  setFault(OWBUS_FAULT_NO_PRESENCE, 0, -1);
  EXPECT_EQ(readMemory().rc, 3);
  EXPECT_EQ(stdcdll_write_memory(splitOf(layoutA(128, 0, 26)).data(), 0, 0), 3);
  clearFaults();
  EXPECT_EQ(rawContents(128), layoutA(128, 0, 25));
}

TEST(Faults, WriteRetriesDetectionOnce) {
  const Bytes chip = layoutA(128, 0, 26);
  TempBus sim(device("DS2431", "000000000001"));
  Session session;
  setFault(OWBUS_FAULT_NO_PRESENCE, 0, 5);  // the five searches of the first detection
  EXPECT_EQ(stdcdll_write_memory(splitOf(chip).data(), 0, 0), 1);
  EXPECT_EQ(rawContents(128), chip);
}

// A bus file that cannot be saved means the chip kept nothing: the write failed. Files are
// limited to a size smaller than the bus file, which stops even root.
TEST(Faults, AnUnsavedBusFileIsAFailedWrite) {
  if (TempBus::behindSerialLine()) GTEST_SKIP() << "the bus file is saved by another process";
  TempBus sim(device("DS2431", "000000000001", layoutA(128, 0, 25)));
  const std::string before = sim.text();
  Session session;
  signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  const rlimit small{64, previous.rlim_max};
  setrlimit(RLIMIT_FSIZE, &small);
  const int32_t result = stdcdll_write_memory(splitOf(layoutA(128, 0, 26)).data(), 0, 0);
  setrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_NE(result, FERRUN_DONE);
  EXPECT_NE(std::string(owbus_last_error()).find("cannot write the bus file back"), std::string::npos)
      << owbus_last_error();
  EXPECT_EQ(sim.text(), before);
}

// The read slots (bytes sent as FFh, the chances of a flipped bit) of a clean write of
// `chip` over `before`, before its verifying read of the 128 bytes.
int32_t readSlotsBeforeTheVerifyingRead(const Bytes& before, const Bytes& chip) {
  TempBus sim(device("DS2431", "000000000001", before));
  Session session;
  int32_t slots = 0;
  owbus_set_traffic_sink(
      [](void* context, const owbus_traffic* event) {
        if (event->kind != OWBUS_TRAFFIC_BYTES) return;
        for (int32_t i = 0; i < event->count; ++i) *static_cast<int32_t*>(context) += event->sent[i] == 0xFF;
      },
      &slots);
  EXPECT_EQ(stdcdll_write_memory(splitOf(chip).data(), 0, 0), 1);
  owbus_set_traffic_sink(nullptr, nullptr);
  return slots - 128;
}

TEST(Faults, EveryWriteFaultIsReportedAndNeverAsDone) {
  const Bytes before = layoutA(128, 0, 25);
  const Bytes chip = layoutA(128, 0, 26, 0x77);
  const int32_t inTheVerifyingRead = readSlotsBeforeTheVerifyingRead(before, chip) + 100;
  struct Case {
    const char* what;
    int32_t kind;
    int32_t skip;
    int32_t count;
    bool chipWritten;
  };
  const Case cases[] = {
      {"every copy refused from the sixth row on", OWBUS_FAULT_COPY_FAIL, 5, -1, false},
      {"a flipped bit in the read back", OWBUS_FAULT_FLIP_BIT, inTheVerifyingRead, 1, true},
      // Detection's search for 14h finds the DS2431 too (and rejects it); the one for 2Dh
      // is the second find.
      {"the chip leaves the bus after detection", OWBUS_FAULT_VANISH, 1, 1, false},
  };
  for (const Case& c : cases) {
    TempBus sim(device("DS2431", "000000000001", before));
    Session session;
    setFault(c.kind, c.skip, c.count);
    EXPECT_EQ(stdcdll_write_memory(splitOf(chip).data(), 0, 0), 4) << c.what;
    clearFaults();
    const Bytes now = rawContents(128);
    if (c.chipWritten) {
      EXPECT_EQ(now, chip) << c.what;
    } else {
      EXPECT_NE(now, chip) << c.what;
    }
  }
}

// A fault that passes is survived (the row is written again) or reported; either way the
// chip never holds part of the new image. (A flip in the verifying read itself leaves
// the new image reported as not verified.)
TEST(Faults, AWriteHitByAPassingFaultEndsWithTheOldOrTheNewImage) {
  const Bytes before = layoutA(128, 0, 25);
  const Bytes after = layoutA(128, 0, 26, 0x77);
  struct Kind {
    const char* what;
    int32_t kind;
  };
  const Kind kinds[] = {
      {"no presence", OWBUS_FAULT_NO_PRESENCE},   {"a wrong echo", OWBUS_FAULT_ECHO_MISMATCH},
      {"a flipped bit", OWBUS_FAULT_FLIP_BIT},    {"a refused copy", OWBUS_FAULT_COPY_FAIL},
      {"a lost answer", OWBUS_FAULT_LOST_ANSWER}, {"a garbled answer", OWBUS_FAULT_GARBLED_ANSWER},
  };
  // Chances spread over detection, the rows and the verifying read.
  for (const Kind& k : kinds) {
    for (int32_t skip : {0, 2, 5, 11, 23, 47, 95, 191, 383}) {
      TempBus sim(device("DS2431", "000000000001", before));
      Session session;
      ASSERT_EQ(session.opened, 1);
      setFault(k.kind, skip, 1);
      const int32_t rc = stdcdll_write_memory(splitOf(after).data(), 0, 0);
      clearFaults();
      const Bytes now = rawContents(128);
      EXPECT_TRUE(now == before || now == after) << k.what << " after " << skip << ": a mix of old and new";
      EXPECT_TRUE(rc != 1 || now == after) << k.what << " after " << skip << ": done, but not written";
    }
  }
}

TEST(Faults, DisappearingChipReadsAsFailingPages) {
  TempBus sim(device("DS2431", "000000000001", layoutA(128, 0, 25)));
  Session session;
  setFault(OWBUS_FAULT_VANISH, 1, 1);
  const ReadOut out = readMemory();
  EXPECT_EQ(out.rc, 1);
  EXPECT_EQ(out.flags, (std::array<int32_t, 4>{0, 0, 0, 0}));
}

TEST(Faults, DS2430AWritesAreVerifiedToo) {
  TempBus sim(device("DS2430A", "000000000001", Bytes(32, 0)));
  Session session;
  setFault(OWBUS_FAULT_COPY_FAIL, 0, -1);
  EXPECT_EQ(stdcdll_write_memory(pattern(FERRUN_MAX_IMAGE, 1).data(), 0, 0), 4);
  Bytes v1(40, 0x3C);
  clearFaults();
  setFault(OWBUS_FAULT_COPY_FAIL, 1, -1);  // the register's copy and lock, every time
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
