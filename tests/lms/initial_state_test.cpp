// What the library holds before anything is decoded; a binary of its own, so that no
// other test has touched the states yet.
#include <gtest/gtest.h>

#include "lms_fixture.h"

namespace {

using namespace lmstest;

TEST(LmsInitialState, StatesStartZeroAndAReadMakesThemLms) {
  auto array = newArray();
  EXPECT_EQ(0, PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1));
  EXPECT_EQ(Image{}, encodeGeometry());
  EXPECT_EQ(0, PELLAM_FillFieldArrayStructWithFree(array.get(), 1));
  EXPECT_EQ(Image{}, encodeFree());

  PELLAM_FillFieldArrayStructWithGeometry(array.get(), 0);
  EXPECT_EQ(0, PELLAM_ReadGeometryFieldArrayStruct(array.get()));
  EXPECT_EQ(3, PELLAM_FillFieldArrayStructWithGeometry(array.get(), 0));
  EXPECT_EQ(lmsImage(118), encodeGeometry());
  // The free-format state is untouched by the geometry read.
  EXPECT_EQ(Image{}, encodeFree());

  PELLAM_FillFieldArrayStructWithFree(array.get(), 0);
  EXPECT_EQ(0, PELLAM_ReadFreeFieldArrayStruct(array.get()));
  EXPECT_EQ(3, PELLAM_FillFieldArrayStructWithFree(array.get(), 0));
  EXPECT_EQ(lmsImage(117), encodeFree());
}

}  // namespace
