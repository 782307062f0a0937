// The DS2430A: its application register and lock, the TEDS V1.0 write, and its image.
#include <gtest/gtest.h>

#include "ferrun_fixture.h"

namespace {

const Bytes kRegister{0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};

std::string ds2430a(const Bytes& memory, const Bytes& reg, bool locked) {
  return device("DS2430A", "000000000001", memory,
                "  register" + hexLine(reg, 0, 8) + "\n  locked " + (locked ? "yes" : "no") + "\n");
}

struct Register {
  std::array<uint8_t, 8> bytes{};
  int32_t locked = -5;
  int32_t rc = -5;
  Bytes reg() const { return Bytes(bytes.begin(), bytes.end()); }
};

Register readRegister() {
  Register r;
  r.rc = stdcdll_read_appreg(r.bytes.data(), &r.locked);
  return r;
}

TEST(ApplicationRegister, ReadsContentsAndLockState) {
  for (bool locked : {false, true}) {
    TempBus sim(ds2430a(pattern(32, 1), kRegister, locked));
    Session session;
    const Register r = readRegister();
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.reg(), kRegister);
    EXPECT_EQ(r.locked, locked ? 1 : 0);
  }
  TempBus sim(device("DS2431", "000000000001"));
  Session session;
  EXPECT_EQ(readRegister().rc, 3);
}

TEST(ApplicationRegister, AnUnknownStatusByteLeavesTheLockStateAsItWas) {
  TempBus sim(ds2430a(pattern(32, 1), kRegister, false));
  Session session;
  // Read back: 7 echo bytes pass, then 16 register bytes, then the status byte (FFh -> FEh).
  setFault(OWBUS_FAULT_FLIP_BIT, 16, 1);
  const Register r = readRegister();
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.locked, -5);
}

TEST(ApplicationRegister, WriteIsVerifiedAndDoesNotLock) {
  {
    TempBus sim(ds2430a(pattern(32, 1), Bytes(8, 0), false));
    Session session;
    EXPECT_EQ(stdcdll_write_appreg(kRegister.data()), 1);
    const Register r = readRegister();
    EXPECT_EQ(r.reg(), kRegister);
    EXPECT_EQ(r.locked, 0);
  }
  {
    TempBus sim(ds2430a(pattern(32, 1), Bytes(8, 0xAB), true));
    Session session;
    EXPECT_EQ(stdcdll_write_appreg(kRegister.data()), 4) << "a locked register cannot take it";
    EXPECT_EQ(readRegister().reg(), Bytes(8, 0xAB));
  }
  TempBus sim(ds2430a(pattern(32, 1), Bytes(8, 0), false));
  EXPECT_EQ(stdcdll_write_appreg(kRegister.data()), 4) << "no session: nothing written";
}

Bytes v1Image() {
  Bytes image = kRegister;
  const Bytes memory = pattern(32, 0x40);
  image.insert(image.end(), memory.begin(), memory.end());
  return image;
}

TEST(V1Memory, WritesMemoryAndRegisterThenLocksIt) {
  const Bytes image = v1Image();
  TempBus sim(ds2430a(Bytes(32, 0), Bytes(8, 0), false) + device("DS2431", "000000000002", pattern(128, 9)));
  Session session;
  EXPECT_EQ(stdcdll_write_v1_memory(image.data()), 1);
  const Register r = readRegister();
  EXPECT_EQ(r.reg(), kRegister);
  EXPECT_EQ(r.locked, 1);
  const ReadOut out = readMemory();
  EXPECT_EQ(out.mem(0, 32), slice(image, 8, 32));
  EXPECT_NE(sim.text().find("memory 0000" + hexLine(pattern(128, 9), 0, 16)), std::string::npos)
      << "the DS2431 beside it is not touched";
}

TEST(V1Memory, OutcomesByChip) {
  const Bytes image = v1Image();
  struct Case {
    const char* what;
    std::string bus;
    int32_t rc;
  };
  const Case cases[] = {
      {"register already locked with other contents", ds2430a(Bytes(32, 0), Bytes(8, 0x77), true), 4},
      {"register already locked with the same contents", ds2430a(Bytes(32, 0), kRegister, true), 1},
      {"a DS2431 takes nothing", device("DS2431", "000000000002"), 1},
      {"no chip", device("DS2433", "000000000003"), 3},
  };
  for (const Case& c : cases) {
    TempBus sim(c.bus);
    Session session;
    const std::string before = sim.text();
    EXPECT_EQ(stdcdll_write_v1_memory(image.data()), c.rc) << c.what;
    if (c.rc == 1 && c.bus.find("DS2431") != std::string::npos) {
      EXPECT_EQ(sim.text(), before) << c.what;
    }
  }
}

TEST(Ds2430aImage, ReadChecksTheMemoryOrTheLockedFortyByteImage) {
  // Unlocked: layout A in the 32-byte memory.
  {
    const Bytes memory = layoutA(32, 0, 4);
    TempBus sim(ds2430a(memory, kRegister, false));
    Session session;
    const ReadOut out = readMemory();
    EXPECT_EQ(out.rc, 1);
    EXPECT_EQ(out.registerUsed, 0);
    EXPECT_EQ(out.regBytes(), kRegister);
    EXPECT_EQ(out.mem(0, 32), memory);
    EXPECT_EQ(out.flags, (std::array<int32_t, 4>{1, 1, 1, 1}));
    EXPECT_EQ(out.templateId, 4);
  }
  // Locked: checksum byte, register, memory bytes 1-31; selector 1 / ID 4 stays 4.
  {
    Bytes memory = pattern(32, 0x21);
    memory[1] = selectorByte(1, 4);
    memory[2] = templateHigh(4);
    unsigned sum = 0;
    for (size_t i = 1; i < 32; ++i) sum += memory[i];
    for (uint8_t b : kRegister) sum += b;
    memory[0] = static_cast<uint8_t>((256 - sum % 256) % 256);
    TempBus sim(ds2430a(memory, kRegister, true));
    Session session;
    ReadOut out = readMemory();
    EXPECT_EQ(out.registerUsed, 1);
    EXPECT_EQ(out.flags, (std::array<int32_t, 4>{1, 1, 1, 1}));
    EXPECT_EQ(out.templateId, 4);
    setFault(OWBUS_FAULT_FLIP_BIT, 40, 1);  // a byte of the memory's second pass
    out = readMemory();
    EXPECT_EQ(out.flags, (std::array<int32_t, 4>{0, 1, 1, 1}));
  }
  // Unlocked and failing: the selector byte is taken from byte 8, the LMS layout passes.
  {
    Bytes memory(32, 0);
    memory[8] = selectorByte(3, 117);
    memory[9] = templateHigh(117);
    memory[0] = 0x01;
    TempBus sim(ds2430a(memory, kRegister, false));
    Session session;
    const ReadOut out = readMemory();
    EXPECT_EQ(out.flags[0], 1);
    EXPECT_EQ(out.templateId, 117);
  }
}

TEST(Ds2430aImage, WriteRecomputesTheChecksumOnlyWhenAsked) {
  Bytes image = pattern(FERRUN_MAX_IMAGE, 0x05);
  for (int32_t flag : {0, 1}) {
    TempBus sim(ds2430a(Bytes(32, 0), kRegister, false));
    Session session;
    EXPECT_EQ(stdcdll_write_memory(image.data(), flag, 0), 1);
    const ReadOut out = readMemory();
    Bytes expected = slice(image, 0, 32);
    if (flag) expected = withChecksums(expected);
    EXPECT_EQ(out.mem(0, 32), expected) << flag;
    EXPECT_EQ(out.regBytes(), kRegister) << "the register is not touched";
  }
}

}  // namespace
