// The front end's state as the library is loaded, and its table of result buffers.
// A binary of its own: these tests need the state of a fresh process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include "frontend_fixture.h"
#include "tedskit/quillon.h"

namespace {

using namespace frontendtest;

// A geometry image that sends the engine to a template manufacturer 17 does not have.
std::string lmsOnlyImage() {
  LmsImage image = lmsImage(118);
  setBits(image, 8, 12, 17);
  setBits(image, 74, 8, 200);
  return toHex(image.data(), 32);
}

// One new result buffer per call: an LMS-only image decoded with its name.
const char* nextNameBuffer() {
  static const std::string hex = lmsOnlyImage();
  const char* form = nullptr;
  int32_t valid = 0;
  EXPECT_EQ(
      QUILLON_DecodeRAWTedsToTemplateForm(kDataDir, hex.c_str(), "0000000000000000", 0, &form, &valid, 1), 0);
  return form;
}

TEST(QuillonLoadState, ListsStartEmptyAndTheSavedKindIsStandard) {
  auto array = newTaggedArray();
  ASSERT_EQ(QUILLON_SetTEDSTemplate(array.get(), kDataDir, 0, 0, 0), 0);
  char form[16384];
  ASSERT_EQ(QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), form, sizeof form), 0);
  array->kind = 5;
  ASSERT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1), 0);
  EXPECT_EQ(array->kind, 0);

  // A failed listing hands out the first node as it was reset at load.
  IDNameNode* first = nullptr;
  EXPECT_EQ(QUILLON_GetTemplateIDNames(kDataDir, 9, 0, &first), QUILLON_ERR_BAD_LIST_KIND);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->id, -1);
  EXPECT_EQ(first->prev, nullptr);
  EXPECT_EQ(first->next, nullptr);
  EXPECT_STREQ(first->name, "");
}

TEST(QuillonResultBuffers, TheBufferAfterTheTableIsFullReplacesTheNewest) {
  std::vector<const char*> kept;
  for (int i = 0; i < QUILLON_RESULT_BUFFERS; ++i) kept.push_back(nextNameBuffer());
  const char* newest = kept.back();
  const char* replacement = nextNameBuffer();
  EXPECT_STREQ(replacement, "LMS Geometry");
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer keeps freed memory out of use for a while, so the replacement lies
  // elsewhere and the newest buffer's memory is poisoned.
  EXPECT_NE(replacement, newest);
  EXPECT_TRUE(__asan_address_is_poisoned(newest));
#else
  (void)newest;
#endif
  for (int i = 0; i < 500; ++i) nextNameBuffer();
  // Every earlier buffer is still the caller's.
  for (std::size_t i = 0; i + 1 < kept.size(); ++i) {
    ASSERT_STREQ(kept[i], "LMS Geometry") << i;
  }
}

}  // namespace
