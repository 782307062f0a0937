// Opening and closing the session, chip detection and the adapter echo check.
#include <gtest/gtest.h>

#include "ferrun_fixture.h"

namespace {

TEST(Session, PortNumbersSelectSerialOrUsbAdapter) {
  TempBus sim(device("DS2431", "000000000001"));
  struct Case {
    int32_t port;
    int16_t number;
    int16_t type;
  };
  for (const Case c : {Case{101, 1, 6}, Case{3, 3, 5}}) {
    Session session(c.port);
    ASSERT_EQ(session.opened, 1);
    int16_t number = 0, type = 0;
    owbus_last_port(&number, &type);
    EXPECT_EQ(number, c.number) << c.port;
    EXPECT_EQ(type, c.type) << c.port;
  }
}

TEST(Session, WithoutABusThePortNumberNamesTheAdapter) {
  if (TempBus::road() != TempBus::Road::Sim) GTEST_SKIP() << "about the default bus only";
  owbus_configure(nullptr);
  const char* bus = std::getenv("TEDSKIT_BUS");
  const std::string saved = bus ? bus : "";
  unsetenv("TEDSKIT_BUS");
  struct Case {
    int32_t port;
    const char* says;
  };
  const Case cases[] = {
      {101, "no DS2490 adapter found"},                   // the first USB adapter
      {64, "cannot open the serial port /dev/ttyUSB31"},  // 33-64: /dev/ttyUSB0-31
      {96, "cannot open the serial port /dev/ttyACM31"},  // 65-96: /dev/ttyACM0-31
      {0, "set TEDSKIT_BUS"},                             // names no device
  };
  for (const Case& c : cases) {
    EXPECT_EQ(stdcdll_OpenCom(c.port), 0) << c.port;
    EXPECT_NE(std::string(owbus_last_error()).find(c.says), std::string::npos) << owbus_last_error();
  }
  if (!saved.empty()) setenv("TEDSKIT_BUS", saved.c_str(), 1);
}

TEST(Session, SecondOpenKeepsTheFirstSessionAndCloseEndsIt) {
  TempBus sim(device("DS2431", "000000000001"));
  ASSERT_EQ(stdcdll_OpenCom(7), 1);
  EXPECT_EQ(stdcdll_OpenCom(101), 1);
  int16_t number = 0, type = 0;
  owbus_last_port(&number, &type);
  EXPECT_EQ(number, 7);
  EXPECT_EQ(type, 5);
  EXPECT_EQ(stdcdll_CloseCom(), 1);
  EXPECT_EQ(stdcdll_CloseCom(), 0) << "no session left to end";
}

TEST(Session, OpenFailsWhenTheBusCannotBeOpened) {
  if (TempBus::behindSerialLine()) GTEST_SKIP() << "the emulator has read the bus file already";
  TempBus sim(device("DS2431", "000000000001"));
  std::filesystem::remove(sim.path());
  EXPECT_EQ(stdcdll_OpenCom(1), 0);
  EXPECT_NE(std::string(owbus_last_error()).find("cannot open the bus file"), std::string::npos)
      << owbus_last_error();
  int32_t family = 77;
  EXPECT_EQ(stdcdll_read_family(&family), 1) << "no session: done, nothing read";
  EXPECT_EQ(family, 77);
}

TEST(Detection, FindsTheFirstSupportedChipInSearchOrder) {
  struct Case {
    const char* what;
    std::string bus;
    int32_t rc;
    int32_t family;
  };
  const Case cases[] = {
      {"DS2430A", device("DS2430A", "000000000001"), 1, 0x14},
      {"DS2431", device("DS2431", "000000000002"), 1, 0x2D},
      {"DS2433", device("DS2433", "000000000003"), 1, 0x23},
      {"DS28EC20", device("DS28EC20", "000000000004"), 1, 0x43},
      {"family 0Dh", device("DS2431", "000000000005", {}, "  family 0D\n"), 1, 0x0D},
      {"bit 7 of the family is ignored", device("DS2430A", "000000000006", {}, "  family 94\n"), 1, 0x14},
      {"DS2430A before DS2431", device("DS2431", "000000000007") + device("DS2430A", "000000000008"), 1,
       0x14},
      {"DS2433 before DS28EC20", device("DS28EC20", "000000000009") + device("DS2433", "00000000000A"), 1,
       0x23},
      {"a switch alone", device("DS2406", "00000000000B"), 3, 0},
      {"empty bus", "", 3, 0},
  };
  for (const Case& c : cases) {
    TempBus sim(c.bus);
    Session session;
    int32_t family = -1;
    EXPECT_EQ(stdcdll_read_family(&family), c.rc) << c.what;
    EXPECT_EQ(family, c.family) << c.what;
  }
}

TEST(Detection, EchoCheckFailsOnAMismatchUnlessASwitchIsPresent) {
  {
    TempBus sim(device("DS2431", "000000000001"));
    Session session;
    setFault(OWBUS_FAULT_ECHO_MISMATCH, 0, -1);
    int32_t family = -1;
    EXPECT_EQ(stdcdll_read_family(&family), 2);
    EXPECT_EQ(family, -1);
    std::array<uint8_t, 8> reg{};
    int32_t locked = -1;
    EXPECT_EQ(stdcdll_read_appreg(reg.data(), &locked), 2);
    EXPECT_EQ(stdcdll_write_v1_memory(Bytes(40).data()), 2);
    EXPECT_EQ(stdcdll_triax_enabled(), 0);
  }
  {
    // The echo of 0Fh and 91h alone decides: the fifth and sixth byte sent.
    TempBus sim(device("DS2431", "000000000001"));
    Session session;
    int32_t family = -1;
    setFault(OWBUS_FAULT_ECHO_MISMATCH, 3, 1);
    EXPECT_EQ(stdcdll_read_family(&family), 1) << "a wrong echo of 5Fh does not count";
    setFault(OWBUS_FAULT_ECHO_MISMATCH, 5, 1);
    EXPECT_EQ(stdcdll_read_family(&family), 2) << "a wrong echo of 91h does";
  }
  {
    TempBus sim(device("DS2431", "000000000001") + device("DS2406", "000000000002"));
    Session session;
    EXPECT_EQ(stdcdll_triax_enabled(), 1);
    setFault(OWBUS_FAULT_ECHO_MISMATCH, 0, -1);
    int32_t family = -1;
    EXPECT_EQ(stdcdll_read_family(&family), 1);
    EXPECT_EQ(family, 0x2D);
  }
}

TEST(Detection, MissingPointersAreRefused) {
  TempBus sim(device("DS2431", "000000000001"));
  Session session;
  int32_t i = 0;
  std::array<uint8_t, FERRUN_MAX_MEMORY> m{};
  std::array<int32_t, 4> f{};
  EXPECT_EQ(stdcdll_read_family(nullptr), FERRUN_MISSING_ARGUMENT);
  EXPECT_EQ(stdcdll_read_appreg(nullptr, &i), FERRUN_MISSING_ARGUMENT);
  EXPECT_EQ(stdcdll_write_appreg(nullptr), FERRUN_MISSING_ARGUMENT);
  EXPECT_EQ(stdcdll_write_v1_memory(nullptr), FERRUN_MISSING_ARGUMENT);
  EXPECT_EQ(stdcdll_read_memory(m.data(), nullptr, &i, f.data(), 0), FERRUN_MISSING_ARGUMENT);
  EXPECT_EQ(stdcdll_read_memory_extended(m.data(), m.data(), &i, f.data(), nullptr, 0),
            FERRUN_MISSING_ARGUMENT);
  EXPECT_EQ(stdcdll_write_memory(nullptr, 0, 0), FERRUN_MISSING_ARGUMENT);
}

}  // namespace

namespace {

TEST(Example, TheBundledSensorReadsAsATemplate25SplitImage) {
  std::ifstream in(std::string(TEDSKIT_SOURCE_DIR) + "/examples/sensor.bus");
  std::stringstream text;
  text << in.rdbuf();
  TempBus sim(text.str());
  Session session;
  const ReadOut out = readMemory();
  EXPECT_EQ(out.rc, 1);
  EXPECT_EQ(out.registerUsed, 1);
  EXPECT_EQ(out.flags, (std::array<int32_t, 4>{1, 1, 1, 1}));
  EXPECT_EQ(out.templateId, 25);
}

}  // namespace
