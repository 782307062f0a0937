// LMS record blocks are laid out whatever LMS image the process decoded before. A process
// of its own: the decode leaves the LMS state changed for good.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "record_file_fixture.h"
#include "tedskit/pellam.h"

namespace {

using namespace storetest;

// Decoding an LMS image leaves its selector (3) in the LMS state; the LMS fills answer
// with that selector from then on.
void decodeAnLmsImage() {
  auto array = newTagged();
  ASSERT_EQ(0, PELLAM_FillFieldArrayStructWithFree(&array->array, 0));
  std::array<uint8_t, PELLAM_IMAGE_SIZE> image{};
  ASSERT_EQ(0, PELLAM_ReadFreeFieldArrayStruct(&array->array));
  PELLAM_EncodeFreeTEDS(image.data());
  ASSERT_EQ(1, PELLAM_DecodeFreeTEDS(image.data()));
  auto probe = newTagged();
  ASSERT_EQ(3, QUILLON_SetTEDSTemplate(probe.get(), kDataDir.c_str(), CALDEN_DESCRIPTOR_LMS, 117, 0));
}

TEST(RecordFileLayout, LmsRecordsReadBackAfterAnLmsImageWasDecoded) {
  const int32_t handle = CreateNewStoredDataStruct();
  for (const int32_t id : {117, 118}) {
    auto record = laidOut(CALDEN_DESCRIPTOR_LMS, id);
    fillValues(record->array, 18);
    ASSERT_EQ(0, Calden(handle, CALDEN_DESCRIPTOR_LMS, &record->array, 1, -1));
  }
  ScratchDir dir;
  ASSERT_EQ(0, save(handle, dir.file("lms.txt")));

  decodeAnLmsImage();
  const int32_t readBack = CreateNewStoredDataStruct();
  EXPECT_EQ(0, read(readBack, dir.file("lms.txt")));
  EXPECT_EQ(storedRecords(handle), storedRecords(readBack));
}

}  // namespace
