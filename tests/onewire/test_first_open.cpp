// What holds before the first successful open of the process (a binary of its own, so
// that no other test has opened a session before).
#include <gtest/gtest.h>

#include "ferrun_fixture.h"

namespace {

TEST(FirstOpen, SwitchFlagIsMinusOneUntilAnOpenSucceeds) {
  EXPECT_EQ(stdcdll_triax_enabled(), -1);
  {
    TempBus sim(device("DS2406", "000000000001"));
    std::filesystem::remove(sim.path());
    EXPECT_EQ(stdcdll_OpenCom(1), 0);
    EXPECT_EQ(stdcdll_triax_enabled(), -1) << "a failed open sets nothing";
  }
  TempBus sim(device("DS2406", "000000000001"));
  Session session;
  EXPECT_EQ(session.opened, 1);
  EXPECT_EQ(stdcdll_triax_enabled(), 1);
}

}  // namespace
