// The DS2431 model against its data sheet: the write / read / copy scratchpad sequence
// with its CRC bytes and authorisation, Read Memory, and page protection.
#include <gtest/gtest.h>

#include "raw_bus.h"
#include "temp_bus.h"

namespace {

constexpr const char* kOneDs2431 =
    "device DS2431\n"
    "  serial 0000000A1B2C\n"
    "end\n";

const std::vector<uint8_t> kRow{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};

// Write Scratchpad of a full row at `address`; returns the two CRC bytes the chip sent.
std::vector<uint8_t> writeRow(RawBus& bus, int address, const std::vector<uint8_t>& row) {
  bus.skipRom();
  bus.send({0x0F, address & 0xFF, address >> 8});
  bus.send(row);
  return bus.read(2);
}

TEST(Ds2431, WriteReadCopyScratchpadWithCrcs) {
  TempBus sim(kOneDs2431);
  RawBus bus;

  const auto crc = writeRow(bus, 0x0008, kRow);
  EXPECT_EQ(crc16Of(concat(concat({0x0F, 0x08, 0x00}, kRow), crc)), 0xB001)
      << "inverted CRC-16 over command, TA and data";

  bus.skipRom();
  bus.send({0xAA});
  const auto pad = bus.read(3 + 8 + 2);
  EXPECT_EQ(pad[0], 0x08);
  EXPECT_EQ(pad[1], 0x00);
  EXPECT_EQ(pad[2], 0x07) << "E/S: ending offset 7, no PF, no AA";
  EXPECT_EQ(std::vector<uint8_t>(pad.begin() + 3, pad.begin() + 11), kRow);
  EXPECT_EQ(crc16Of(concat({0xAA}, pad)), 0xB001);

  bus.skipRom();
  bus.send({0x55, 0x08, 0x00, 0x07});
  EXPECT_EQ(bus.read(), 0xFF) << "still programming";
  owbus_sleep_ms(10);
  EXPECT_EQ(bus.read(2), (std::vector<uint8_t>{0xAA, 0xAA})) << "copy done: AAh pattern";

  bus.skipRom();
  bus.send({0xF0, 0x00, 0x00});
  const auto memory = bus.read(0x90 + 1);
  EXPECT_EQ(std::vector<uint8_t>(memory.begin() + 8, memory.begin() + 16), kRow);
  EXPECT_EQ(memory[0], 0xFF) << "rows not copied keep their blank state";
  EXPECT_EQ(memory[0x85], 0xAA) << "factory byte";
  EXPECT_EQ(memory[0x90], 0xFF) << "past the memory map";

  bus.skipRom();
  bus.send({0xAA});
  EXPECT_EQ(bus.read(3)[2], 0x87) << "E/S gains the AA flag after the copy";
}

TEST(Ds2431, CopyIsRefusedWithoutAuthorisationOrAFullRow) {
  struct Case {
    const char* what;
    std::vector<uint8_t> data;
    int es;
  };
  const Case cases[] = {
      {"wrong E/S", kRow, 0x06},
      {"partial row", {1, 2, 3, 4, 5}, 0x24},
  };
  for (const Case& c : cases) {
    TempBus sim(kOneDs2431);
    RawBus bus;
    bus.skipRom();
    bus.send({0x0F, 0x00, 0x00});
    bus.send(c.data);
    bus.skipRom();
    bus.send({0x55, 0x00, 0x00, c.es});
    owbus_sleep_ms(10);
    EXPECT_EQ(bus.read(), 0xFF) << c.what;
    bus.skipRom();
    bus.send({0xF0, 0x00, 0x00});
    EXPECT_EQ(bus.read(), 0xFF) << c.what << ": memory unchanged";
  }
}

TEST(Ds2431, ProtectedPagesKeepTheirDataAndEpromModeOnlyClearsBits) {
  TempBus sim(
      "device DS2431\n"
      "  serial 0000000A1B2C\n"
      "  memory 0000 F0 F0 F0 F0 F0 F0 F0 F0\n"
      "  memory 0020 F0 F0 F0 F0 F0 F0 F0 F0\n"
      "  memory 0080 55 AA\n"
      "end\n");
  RawBus bus;
  for (int address : {0x00, 0x20}) {
    writeRow(bus, address, std::vector<uint8_t>(8, 0x3C));
    bus.skipRom();
    bus.send({0x55, address, 0x00, 0x07});
    owbus_sleep_ms(10);
  }
  bus.skipRom();
  bus.send({0xF0, 0x00, 0x00});
  const auto memory = bus.read(0x28);
  EXPECT_EQ(memory[0], 0xF0) << "page 0 is write-protected";
  EXPECT_EQ(memory[0x20], 0x30) << "page 1 is in EPROM mode: F0h AND 3Ch";

  // Protection bytes, once set, stay set.
  writeRow(bus, 0x80, std::vector<uint8_t>(8, 0x00));
  bus.skipRom();
  bus.send({0x55, 0x80, 0x00, 0x07});
  owbus_sleep_ms(10);
  bus.skipRom();
  bus.send({0xF0, 0x80, 0x00});
  EXPECT_EQ(bus.read(3), (std::vector<uint8_t>{0x55, 0xAA, 0x00}));
}

TEST(Ds2431, ResetDuringProgrammingGetsNoPresence) {
  TempBus sim(kOneDs2431);
  RawBus bus;
  writeRow(bus, 0, kRow);
  bus.skipRom();
  bus.send({0x55, 0x00, 0x00, 0x07});
  EXPECT_FALSE(bus.reset());
  owbus_sleep_ms(10);
  EXPECT_TRUE(bus.reset());
}

}  // namespace
