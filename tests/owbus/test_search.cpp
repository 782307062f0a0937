// Search, Read ROM, Match ROM and Resume over several chips on one bus.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "raw_bus.h"
#include "temp_bus.h"

namespace {

constexpr const char* kFourChips =
    "device DS2431\n  serial 000000000011\nend\n"
    "device DS2431\n  serial 000000000012\n  memory 0000 5A\nend\n"
    "device DS2433\n  serial 0000000000A0\nend\n"
    "device DS2430A\n  serial 000000000003\nend\n";

std::array<int16_t, 8> currentRom(RawBus& bus, std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE>& state) {
  std::array<int16_t, 8> rom{};
  TMRom(bus.handle, state.data(), rom.data());
  return rom;
}

TEST(Search, FindsEveryDeviceOnceWithAValidCrc) {
  TempBus sim(kFourChips);
  RawBus bus;
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
  std::set<std::array<int16_t, 8>> found;
  while (TMNext(bus.handle, state.data()) == 1) {
    const auto rom = currentRom(bus, state);
    std::array<unsigned char, 8> bytes{};
    std::transform(rom.begin(), rom.end(), bytes.begin(),
                   [](int16_t w) { return static_cast<unsigned char>(w); });
    EXPECT_EQ(TMCRC(8, bytes.data(), 0, OWBUS_CRC8), 0);
    EXPECT_TRUE(found.insert(rom).second) << "found twice";
    ASSERT_LE(found.size(), 4u);
  }
  EXPECT_EQ(found.size(), 4u);
}

TEST(Search, FamilySearchFindsTheFamilyOrTheNextOne) {
  TempBus sim(kFourChips);
  RawBus bus;
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
  struct Case {
    int16_t family;
    int16_t found;
  };
  for (const Case c : {Case{0x23, 0x23}, Case{0x2D, 0x2D}, Case{0x14, 0x14}, Case{0x12, 0x14}}) {
    ASSERT_EQ(TMFamilySearchSetup(bus.handle, state.data(), c.family), 1);
    ASSERT_EQ(TMNext(bus.handle, state.data()), 1) << c.family;
    EXPECT_EQ(currentRom(bus, state)[0], c.found) << c.family;
  }
}

TEST(Search, AccessSelectsOneDeviceAndResumeReturnsToIt) {
  TempBus sim(kFourChips);
  RawBus bus;
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
  std::array<int16_t, 8> rom{0x2D, 0x12, 0, 0, 0, 0, 0, 0};
  unsigned char bytes[7] = {0x2D, 0x12, 0, 0, 0, 0, 0};
  rom[7] = static_cast<int16_t>(TMCRC(7, bytes, 0, OWBUS_CRC8));
  ASSERT_EQ(TMRom(bus.handle, state.data(), rom.data()), 1);
  ASSERT_EQ(TMAccess(bus.handle, state.data()), 1);
  bus.send({0xF0, 0x00, 0x00});
  EXPECT_EQ(bus.read(), 0x5A) << "only the matched DS2431 answers";
  bus.reset();
  bus.send({0xA5, 0xF0, 0x00, 0x00});
  EXPECT_EQ(bus.read(), 0x5A) << "Resume addresses it again";
}

TEST(Search, ReadRomOfTheOnlyDevice) {
  TempBus sim("device DS2431\n  serial 0000A1B2C3D4\nend\n");
  RawBus bus;
  bus.reset();
  bus.send({0x33});
  const auto rom = bus.read(8);
  EXPECT_EQ(std::vector<uint8_t>(rom.begin(), rom.begin() + 7),
            (std::vector<uint8_t>{0x2D, 0xD4, 0xC3, 0xB2, 0xA1, 0x00, 0x00}));
  unsigned char crc = TMCRC(7, rom.data(), 0, OWBUS_CRC8) & 0xFF;
  EXPECT_EQ(rom[7], crc);
}

TEST(Search, NothingFoundOnAnEmptyOrSilentBus) {
  TempBus sim("");
  RawBus bus;
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
  EXPECT_FALSE(bus.reset());
  EXPECT_EQ(TMNext(bus.handle, state.data()), 0);
  EXPECT_EQ(TMAccess(bus.handle, state.data()), 0);
}

// A chosen device is alone on the bus beside the switches: the search passes over the
// others and a Skip ROM reaches it only.
TEST(Search, AChosenDeviceIsAloneBesideTheSwitches) {
  TempBus sim(
      "device DS2431\n  serial 000000000011\nend\n"
      "device DS2431\n  serial 000000000012\n  memory 0000 5A\nend\n"
      "device DS2433\n  serial 0000000000A0\nend\n"
      "device DS2406\n  serial 0000000000AA\nend\n");
  std::array<uint8_t, 8> chosen{0x2D, 0x11, 0, 0, 0, 0, 0, 0};
  chosen[7] = static_cast<uint8_t>(TMCRC(7, chosen.data(), 0, OWBUS_CRC8));
  std::array<uint8_t, 8> badCrc = chosen;
  badCrc[7] ^= 1;
  EXPECT_EQ(owbus_choose_device(badCrc.data()), -1);

  // Read Memory from 0 through Skip ROM: the other DS2431 holds 5Ah there, the chosen FFh.
  const auto firstByteThroughSkipRom = [] {
    RawBus bus;
    bus.reset();
    bus.send({0xCC, 0xF0, 0x00, 0x00});
    return bus.read(1).front();
  };
  EXPECT_EQ(firstByteThroughSkipRom(), 0x5A) << "both DS2431 answer";
  ASSERT_EQ(owbus_choose_device(chosen.data()), 0);
  EXPECT_EQ(firstByteThroughSkipRom(), 0xFF);
  {
    RawBus bus;
    std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
    std::set<int16_t> families;
    while (TMNext(bus.handle, state.data()) == 1) {
      const auto rom = currentRom(bus, state);
      families.insert(rom[0]);
      if (rom[0] == 0x2D) {
        EXPECT_EQ(rom[1], 0x11);
      }
    }
    EXPECT_EQ(families, (std::set<int16_t>{0x12, 0x2D}));
    ASSERT_EQ(TMFamilySearchSetup(bus.handle, state.data(), 0x23), 1);
    const int16_t found = TMNext(bus.handle, state.data()) == 1 ? currentRom(bus, state)[0] : 0;
    EXPECT_NE(found, 0x23) << "the DS2433 is hidden";
  }
  ASSERT_EQ(owbus_choose_device(nullptr), 0);
  EXPECT_EQ(firstByteThroughSkipRom(), 0x5A);
}

}  // namespace
