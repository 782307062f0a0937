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
  const std::string before = sim.text();
  Session session;
  EXPECT_EQ(stdcdll_triax_enabled(), 1);
  struct Case {
    int32_t channel;
    int32_t family;
  };
  for (const Case c : {Case{1, 0x2D}, Case{2, 0x23}, Case{3, 0x43}, Case{7, 0}, Case{0x10001, 0x2D}}) {
    EXPECT_EQ(stdcdll_ds2406_channel(c.channel), 1) << c.channel;
    EXPECT_EQ(family(), c.family) << c.channel;
  }
  // The PIO flip-flops are SRAM: switching is no change of the bus file.
  EXPECT_EQ(sim.text(), before);
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
