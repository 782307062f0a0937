#include <gtest/gtest.h>

#include "tedskit/orlin.hpp"

namespace {

sccontrolstruct record(int32_t count, std::initializer_list<int32_t> values) {
  sccontrolstruct r{};
  r.count = count;
  r.current = 9;
  int i = 0;
  for (int32_t v : values) r.values[i++] = v;
  return r;
}

TEST(SCcontrol, StartsWithNoValues) {
  CSCcontrol scc;
  EXPECT_EQ(scc.getSCControl()->count, 0);
  EXPECT_EQ(scc.getSCControl()->current, 0);
  EXPECT_EQ(scc.getCurrentSCValue(), ORLIN_SC_NO_VALUE);
}

TEST(SCcontrol, LoadTurnsUnsetIntoZeroAndReadsInOrder) {
  CSCcontrol scc;
  const sccontrolstruct r = record(3, {2, -1, 5});
  EXPECT_TRUE(scc.loadSCC(&r));
  EXPECT_EQ(scc.getSCControl()->current, 0);
  EXPECT_EQ(scc.getCurrentSCValue(), 2);
  EXPECT_EQ(scc.getCurrentSCValue(), 0);
  EXPECT_EQ(scc.getCurrentSCValue(), 5);
  EXPECT_EQ(scc.getCurrentSCValue(), ORLIN_SC_NO_VALUE);
  EXPECT_EQ(scc.getSCControl()->current, 3);
}

TEST(SCcontrol, RefusedLoadKeepsOnlyTheCount) {
  for (int32_t bad : {0, -2, 17}) {
    CSCcontrol scc;
    const sccontrolstruct good = record(2, {4, 6});
    ASSERT_TRUE(scc.loadSCC(&good));
    scc.getCurrentSCValue();
    const sccontrolstruct r = record(bad, {9, 9, 9});
    EXPECT_FALSE(scc.loadSCC(&r));
    EXPECT_EQ(scc.getSCControl()->count, bad);
    EXPECT_EQ(scc.getSCControl()->current, 1);
    EXPECT_EQ(scc.getSCControl()->values[0], 4);
    // A record holding no valid count has no value to read.
    EXPECT_TRUE(scc.resetCurrentSCPtr());
    EXPECT_EQ(scc.getCurrentSCValue(), ORLIN_SC_NO_VALUE) << "count " << bad;
  }
}

TEST(SCcontrol, WritesPastTheCountGrowIt) {
  CSCcontrol scc;
  const sccontrolstruct r = record(2, {1, 1});
  ASSERT_TRUE(scc.loadSCC(&r));
  scc.resetCurrentSCPtr();
  for (int32_t v : {7, 8, 9}) EXPECT_TRUE(scc.setCurrentSCValue(v));
  EXPECT_EQ(scc.getSCControl()->count, 3);
  EXPECT_TRUE(scc.setCurrentSCPtr(1));
  EXPECT_EQ(scc.getCurrentSCValue(), 8);
}

TEST(SCcontrol, WritesAfterARefusedLoadStartAFreshCount) {
  CSCcontrol scc;
  const sccontrolstruct r = record(40, {});
  EXPECT_FALSE(scc.loadSCC(&r));
  scc.resetCurrentSCPtr();
  EXPECT_TRUE(scc.setCurrentSCValue(3));
  EXPECT_EQ(scc.getSCControl()->count, 1);
}

TEST(SCcontrol, CursorOutsideTheSixteenValuesNeitherReadsNorWrites) {
  CSCcontrol scc;
  const sccontrolstruct r = record(16, {});
  ASSERT_TRUE(scc.loadSCC(&r));
  for (int32_t at : {16, -1, 1000}) {
    scc.setCurrentSCPtr(at);
    EXPECT_FALSE(scc.setCurrentSCValue(1)) << at;
    EXPECT_EQ(scc.getCurrentSCValue(), ORLIN_SC_NO_VALUE) << at;
    EXPECT_EQ(scc.getSCControl()->current, at);
  }
  EXPECT_EQ(scc.getSCControl()->count, 16);
}

TEST(SCcontrol, CopyAssignmentCopiesTheRecord) {
  CSCcontrol a, b;
  const sccontrolstruct r = record(2, {4, 5});
  a.loadSCC(&r);
  b = a;
  EXPECT_EQ(b.getCurrentSCValue(), 4);
  EXPECT_EQ(b.getCurrentSCValue(), 5);
  EXPECT_EQ(a.getSCControl()->current, 0);
}

}  // namespace
