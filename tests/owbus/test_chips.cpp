// The CRCs, and the DS2430A, DS2433, DS28EC20 and DS2406 models against their data sheets.
#include <gtest/gtest.h>

#include <cstring>

#include "raw_bus.h"
#include "temp_bus.h"

namespace {

TEST(Crc, CheckValues) {
  const auto* text = reinterpret_cast<const unsigned char*>("123456789");
  EXPECT_EQ(TMCRC(9, text, 0, OWBUS_CRC8), 0xA1);
  EXPECT_EQ(TMCRC(9, text, 0, OWBUS_CRC16), 0xBB3D);
  const unsigned char rom[] = {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00};
  EXPECT_EQ(TMCRC(7, rom, 0, OWBUS_CRC8), 0xA2);
}

TEST(Ds2430a, ScratchpadWrapsAndCopiesWithTheValidationKey) {
  TempBus sim("device DS2430A\n  serial 000000000001\nend\n");
  RawBus bus;
  bus.skipRom();
  bus.send({0x0F, 0x1E, 0xA1, 0xA2, 0xA3, 0xA4});
  bus.skipRom();
  bus.send({0xAA, 0x1E});
  EXPECT_EQ(bus.read(4), (std::vector<uint8_t>{0xA1, 0xA2, 0xA3, 0xA4})) << "address wraps 1Fh to 00h";

  bus.skipRom();
  bus.send({0x55, 0x00});  // wrong key: nothing copied
  owbus_sleep_ms(10);
  bus.skipRom();
  bus.send({0xF0, 0x00});
  EXPECT_EQ(bus.read(2), (std::vector<uint8_t>{0x00, 0x00}));

  bus.skipRom();
  bus.send({0x0F, 0x1E, 0xA1, 0xA2, 0xA3, 0xA4});
  bus.skipRom();
  bus.send({0x55, 0xA5});
  owbus_sleep_ms(10);
  bus.skipRom();
  bus.send({0xF0, 0x1E});
  EXPECT_EQ(bus.read(4), (std::vector<uint8_t>{0xA1, 0xA2, 0xA3, 0xA4}));
}

TEST(Ds2430a, ApplicationRegisterLocksOnce) {
  TempBus sim("device DS2430A\n  serial 000000000001\n  register 00 00 00 00 00 00 00 00\nend\n");
  RawBus bus;
  auto status = [&] {
    bus.skipRom();
    bus.send({0x66, 0x00});
    return bus.read();
  };
  auto reg = [&] {
    bus.skipRom();
    bus.send({0xC3, 0x00});
    return bus.read(8);
  };
  EXPECT_EQ(status(), 0xFF);
  bus.skipRom();
  bus.send({0x99, 0x06, 0x11, 0x22, 0x33});
  EXPECT_EQ(reg(), (std::vector<uint8_t>{0x33, 0, 0, 0, 0, 0, 0x11, 0x22})) << "address wraps 07h to 00h";
  bus.skipRom();
  bus.send({0x5A, 0xA5});
  owbus_sleep_ms(10);
  EXPECT_EQ(status(), 0xFC);
  bus.skipRom();
  bus.send({0x99, 0x00, 0x77});
  EXPECT_EQ(reg()[0], 0x33) << "writes are ignored once locked";
  EXPECT_NE(sim.text().find("locked yes"), std::string::npos);
}

TEST(Ds2433, PartialCopyAndCrcOnlyAtTheEndOfTheScratchpad) {
  TempBus sim("device DS2433\n  serial 000000000001\nend\n");
  RawBus bus;
  const std::vector<uint8_t> row{1, 2, 3, 4, 5, 6, 7, 8};
  bus.skipRom();
  bus.send({0x0F, 0x18, 0x01});
  bus.send(row);
  const auto crc = bus.read(2);
  EXPECT_EQ(crc16Of(concat(concat({0x0F, 0x18, 0x01}, row), crc)), 0xB001) << "ending offset 1Fh: CRC";

  bus.skipRom();
  bus.send({0xAA});
  const auto pad = bus.read(3 + 8 + 2);
  EXPECT_EQ(std::vector<uint8_t>(pad.begin(), pad.begin() + 3), (std::vector<uint8_t>{0x18, 0x01, 0x1F}));
  EXPECT_EQ(std::vector<uint8_t>(pad.begin() + 3, pad.begin() + 11), row);
  EXPECT_EQ(pad[11], 0xFF) << "no CRC after Read Scratchpad";

  bus.skipRom();
  bus.send({0x55, 0x18, 0x01, 0x1F});
  owbus_sleep_ms(5);
  EXPECT_EQ(bus.read(), 0xAA);
  bus.skipRom();
  bus.send({0xF0, 0x10, 0x01});
  const auto memory = bus.read(16);
  EXPECT_EQ(std::vector<uint8_t>(memory.begin(), memory.begin() + 8), std::vector<uint8_t>(8, 0xFF))
      << "only 118h-11Fh copied";
  EXPECT_EQ(std::vector<uint8_t>(memory.begin() + 8, memory.end()), row);

  bus.skipRom();
  bus.send({0x0F, 0x00, 0x00, 0x09});
  EXPECT_EQ(bus.read(), 0xFF) << "no CRC before the end of the scratchpad";
}

TEST(Ds28ec20, CopyRefusedAfterAnInterveningReadAndPageCrcsOnExtendedRead) {
  TempBus sim("device DS28EC20\n  serial 000000000001\n  memory 0020 01 02 03\nend\n");
  RawBus bus;
  std::vector<uint8_t> page(32);
  for (size_t i = 0; i < 32; ++i) page[i] = static_cast<uint8_t>(0x80 + i);
  bus.skipRom();
  bus.send({0x0F, 0x00, 0x00});
  bus.send(page);
  const auto crc = bus.read(2);
  EXPECT_EQ(crc16Of(concat(concat({0x0F, 0x00, 0x00}, page), crc)), 0xB001);
  bus.skipRom();
  bus.send({0xAA});
  const auto pad = bus.read(3 + 32 + 2);
  EXPECT_EQ(crc16Of(concat({0xAA}, pad)), 0xB001) << "CRC after a read to the end of the scratchpad";

  bus.skipRom();
  bus.send({0xF0, 0x00, 0x00});
  bus.read(1);
  bus.skipRom();
  bus.send({0x55, 0x00, 0x00, 0x1F});
  owbus_sleep_ms(10);
  EXPECT_EQ(bus.read(), 0xFF) << "a Read Memory came between write and copy";

  bus.skipRom();
  bus.send({0xA5, 0x1E, 0x00});
  const auto first = bus.read(2 + 2);
  EXPECT_EQ(crc16Of(concat({0xA5, 0x1E, 0x00}, first)), 0xB001);
  const auto second = bus.read(32 + 2);
  EXPECT_EQ(second[0], 0x01);
  EXPECT_EQ(crc16Of(second), 0xB001) << "each further page has its own CRC";
}

TEST(Ds2406, StatusWriteAndReadCloseWithACrc) {
  TempBus sim("device DS2406\n  serial 000000000001\nend\n");
  const std::string before = sim.text();
  RawBus bus;
  bus.skipRom();
  bus.send({0x55, 0x07, 0x00, 0x3F});
  const auto crc = bus.read(2);
  EXPECT_EQ(crc16Of(concat({0x55, 0x07, 0x00, 0x3F}, crc)), 0xB001);
  bus.skipRom();
  bus.send({0xAA, 0x05, 0x00});
  const auto status = bus.read(3 + 2);
  EXPECT_EQ(std::vector<uint8_t>(status.begin(), status.begin() + 3),
            (std::vector<uint8_t>{0x00, 0x00, 0xBF}))
      << "supply bit kept, PIO-A flip-flop set";
  EXPECT_EQ(crc16Of(concat({0xAA, 0x05, 0x00}, status)), 0xB001);
  EXPECT_EQ(sim.text(), before) << "the flip-flops are SRAM, the file keeps the power-up status";
}

}  // namespace
