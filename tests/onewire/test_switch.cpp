// The DS2406 channel switch of a multiplexed cable.
#include <gtest/gtest.h>

#include "ferrun_fixture.h"

namespace {

std::string triaxCable() {
  return device("DS2406", "000000000001") + device("DS2431", "000000000002", {}, "  channel 1\n") +
         device("DS2433", "000000000003", {}, "  channel 2\n") +
         device("DS28EC20", "000000000004", {}, "  channel 3\n");
}

int32_t family() {
  int32_t f = -1;
  stdcdll_read_family(&f);
  return f;
}

TEST(Switch, ChannelsSelectTheSensorOnTheBus) {
  TempBus sim(triaxCable());
  Session session;
  EXPECT_EQ(stdcdll_triax_enabled(), 1);
  struct Case {
    int32_t channel;
    int32_t family;
    const char* status7;  // DS2406 status byte 7: supply bit, PIO flip-flops, bits 0-4 as 1
  };
  for (const Case c : {Case{1, 0x2D, "9F"}, Case{2, 0x23, "BF"}, Case{3, 0x43, "DF"}, Case{7, 0, "FF"},
                       Case{0x10001, 0x2D, "9F"}}) {
    EXPECT_EQ(stdcdll_ds2406_channel(c.channel), 1) << c.channel;
    EXPECT_EQ(family(), c.family) << c.channel;
    EXPECT_NE(sim.text().find(std::string("status FF FF FF FF FF 00 00 ") + c.status7), std::string::npos)
        << c.channel;
  }
}

TEST(Switch, CrcErrorsAreRetriedUpToTenAttempts) {
  TempBus sim(triaxCable());
  Session session;
  setFault(OWBUS_FAULT_DS2406_CRC, 0, 9);
  EXPECT_EQ(stdcdll_ds2406_channel(2), 1) << "the tenth attempt checks";
  EXPECT_EQ(family(), 0x23);
  setFault(OWBUS_FAULT_DS2406_CRC, 0, 10);
  EXPECT_EQ(stdcdll_ds2406_channel(1), 0);
}

TEST(Switch, FailsWithoutASwitchOrASession) {
  {
    TempBus sim(device("DS2431", "000000000002"));
    Session session;
    EXPECT_EQ(stdcdll_triax_enabled(), 0);
    EXPECT_EQ(stdcdll_ds2406_channel(1), 0);
  }
  TempBus sim(triaxCable());
  EXPECT_EQ(stdcdll_ds2406_channel(1), 0);
  EXPECT_EQ(stdcdll_triax_enabled(), 0) << "closing keeps the flag of the last open";
}

}  // namespace
