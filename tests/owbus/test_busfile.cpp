// Bus files: the errors a malformed one gives, the canonical form written back, and how
// the back end is chosen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "raw_bus.h"
#include "temp_bus.h"

namespace {

TEST(BusFile, MalformedFilesAreRefusedWithLineAndReason) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"device DS9999\n", ":1: unknown chip type 'DS9999' (DS2430A, DS2431, DS2433, DS28EC20 or DS2406)"},
      {"serial 000000000001\n", ":1: 'serial' outside a device block"},
      {"device DS2431\n serial 00000001\nend\n", ":2: 'serial' needs 12 hex digits"},
      {"device DS2431\nend\n", ":2: device without 'serial'"},
      {"device DS2431\n serial 000000000001\n", ":2: device block opened at line 1 has no 'end'"},
      {"device DS2431\n serial 000000000001\n memory 0088 00 00 00 00 00 00 00 00 00\nend\n",
       ":3: memory past the end of the DS2431 (144 bytes)"},
      {"device DS2431\n serial 000000000001\n memory 0000 0G\nend\n",
       ":3: 'memory' needs hex bytes after the address"},
      {"device DS2431\n serial 000000000001\n memory 0000 123\nend\n",
       ":3: 'memory' needs hex bytes after the address"},
      {"device DS2431\n serial 000000000001\n register 00 00 00 00 00 00 00 00\nend\n",
       ":3: 'register' belongs to a DS2430A"},
      {"device DS2430A\n serial 000000000001\n register 00 00\nend\n", ":3: 'register' needs 8 hex bytes"},
      {"device DS2430A\n serial 000000000001\n locked maybe\nend\n", ":3: 'locked' needs yes or no"},
      {"device DS2406\n serial 000000000001\n memory 0000 00\nend\n", ":3: DS2406 has no memory to fill"},
      {"device DS2431\n serial 000000000001\n channel 4\nend\n", ":3: 'channel' needs 1, 2 or 3"},
      {"device DS2431\n serial 000000000001\n colour blue\nend\n", ":3: unknown keyword 'colour'"},
      {"device DS2431\n serial 000000000001\nend\ndevice DS2431\n serial 000000000001\nend\n",
       ":6: two devices with the same ROM"},
      {"device DS2431\n device DS2431\n", ":2: 'device' inside the device block opened at line 1"},
  };
  const tedskittest::ScratchDir scratch("tedskit-busfile");
  for (const Case& c : cases) {
    const std::string path = scratch.file("bad.bus");
    std::ofstream(path) << c.text;
    EXPECT_EQ(owbus_configure(("sim:" + path).c_str()), -2) << c.text;
    EXPECT_EQ(std::string(owbus_last_error()), path + c.error) << c.text;
  }
  owbus_configure(nullptr);
}

TEST(BusFile, WrittenBackInCanonicalFormThatReadsTheSame) {
  TempBus sim(
      "# a comment\n"
      "device DS2430A   # trailing comment\n"
      "  serial 0000000000FF\n  family 94\n  memory 0010 0102 03\n  register 0102030405060708\n  locked no\n"
      "end\n"
      "device DS2406\n  serial 000000000002\n  status FF FF FF FF FF 00 00 FF\nend\n"
      "device DS2431\n  serial 000000000003\n  channel 2\nend\n");
  {
    RawBus bus;
    bus.skipRom();
    bus.send({0x99, 0x00, 0x0A});  // changes the DS2430A register: the file is rewritten
  }
  const std::string first = sim.text();
  EXPECT_EQ(first.find("a comment"), std::string::npos);
  EXPECT_NE(first.find("  family 94\n"), std::string::npos);
  EXPECT_NE(first.find("  memory 0010 01 02 03 00"), std::string::npos);
  EXPECT_NE(first.find("  register 0A 02 03 04 05 06 07 08\n  locked no\n"), std::string::npos);
  EXPECT_NE(first.find("  channel 2\n"), std::string::npos);
  EXPECT_NE(first.find("  memory 0080 00 00 00 00 00 AA FF FF"), std::string::npos) << "DS2431 control bytes";

  ASSERT_EQ(owbus_configure(("sim:" + sim.path()).c_str()), 0);
  {
    RawBus bus;
    bus.skipRom();
    bus.send({0x99, 0x00, 0x0A});
  }
  EXPECT_EQ(sim.text(), first) << "reading and writing again changes nothing";
  const auto folder = std::filesystem::path(sim.path()).parent_path();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()),
            1)
      << "the temporary file of the atomic write is renamed away";
}

TEST(BusFile, BackEndChoice) {
  EXPECT_EQ(owbus_configure("serial:/dev/ttyS0"), -1);
  EXPECT_NE(std::string(owbus_last_error()).find("unknown 1-Wire bus 'serial:/dev/ttyS0'"),
            std::string::npos);
  EXPECT_EQ(owbus_configure("sim:"), -1);
  EXPECT_EQ(owbus_configure(nullptr), 0);

  unsetenv("TEDSKIT_BUS");
  EXPECT_EQ(TMExtendedStartSession(0, 5, nullptr), 0) << "port 0 names no serial device";
  EXPECT_NE(std::string(owbus_last_error()).find("set TEDSKIT_BUS"), std::string::npos);

  const tedskittest::ScratchDir scratch("tedskit-busfile");
  const std::string path = scratch.file("env.bus");
  std::ofstream(path) << "device DS2431\n  serial 000000000001\nend\n";
  setenv("TEDSKIT_BUS", ("sim:" + path).c_str(), 1);
  const int32_t handle = TMExtendedStartSession(1, 5, nullptr);
  EXPECT_GT(handle, 0);
  EXPECT_EQ(TMExtendedStartSession(2, 5, nullptr), 0) << "one session at a time";
  EXPECT_EQ(TMValidSession(handle), 1);
  EXPECT_EQ(TMTouchReset(handle), OWBUS_RESET_PRESENCE);
  EXPECT_EQ(TMEndSession(handle), 1);
  EXPECT_EQ(TMValidSession(handle), 0);
  EXPECT_EQ(TMTouchReset(handle), -1);
  unsetenv("TEDSKIT_BUS");
}

TEST(Clock, SleepsAndSlotsAdvanceTheVirtualClock) {
  TempBus sim("device DS2431\n  serial 000000000001\nend\n");
  owbus_sleep_ms(250);
  EXPECT_EQ(owbus_bus_time_us(), 250'000u);
  RawBus bus;
  bus.reset();
  bus.send({0xCC, 0xF0});
  std::array<unsigned char, 4> block{0xFF, 0xFF, 0xFF, 0xFF};
  TMBlockStream(bus.handle, block.data(), 4);
  EXPECT_EQ(owbus_bus_time_us(), 250'000u + 960 + 6 * 520);
  EXPECT_EQ(owbus_transactions(), 4u);
  owbus_reset_counters();
  EXPECT_EQ(owbus_bus_time_us(), 0u);
  EXPECT_EQ(owbus_transactions(), 0u);
}

}  // namespace
