// Handle numbers from a freshly loaded library; a binary of its own, so that no other
// test has created a handle yet.
#include <gtest/gtest.h>

#include "tedskit/calden.h"

namespace {

TEST(CaldenFirstHandle, HandlesAreNumberedFromZeroAndMinusOneIsNeverOne) {
  EXPECT_EQ(CALDEN_INVALID_HANDLE, GetNumberOfSavedItems(0));
  EXPECT_EQ(CALDEN_INVALID_HANDLE, GetNumberOfSavedItems(-1));
  EXPECT_EQ(0, CreateNewStoredDataStruct());
  EXPECT_EQ(1, CreateNewStoredDataStruct());
  EXPECT_EQ(2, CreateNewStoredDataStruct());
  EXPECT_EQ(0, GetNumberOfSavedItems(0));
  EXPECT_EQ(CALDEN_INVALID_HANDLE, GetNumberOfSavedItems(-1));
  EXPECT_EQ(CALDEN_INVALID_HANDLE, GetNumberOfSavedItems(3));
}

}  // namespace
