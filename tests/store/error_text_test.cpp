// Texts of the store's result codes and how they are copied.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "tedskit/calden.h"

namespace {

TEST(CaldenErrorText, EveryCodeWithATextGivesItExactly) {
  struct Case {
    int32_t code;
    const char* text;
  };
  const std::vector<Case> cases = {
      {CALDEN_SUCCESS, "Sucess"},
      {CALDEN_GENERAL_ERROR, "TEDS General Error"},
      {CALDEN_ITEM_NOT_FOUND, "TEDS Item Not Found"},
      {CALDEN_INVALID_HANDLE, "Invalid Handle"},
      {CALDEN_FILE_NOT_FOUND, "File Not Found"},
      {CALDEN_INVALID_PARAMETER, "Invalid Parameter"},
  };
  for (const Case& c : cases) {
    std::array<char, 64> text;
    text.fill('#');
    GetErrorCodeString(c.code, text.data(), static_cast<int32_t>(text.size()));
    EXPECT_STREQ(c.text, text.data());
    // The rest of max_len is filled with NUL.
    for (std::size_t i = std::strlen(c.text); i < text.size(); ++i) {
      ASSERT_EQ('\0', text[i]) << c.text << " at " << i;
    }
  }
}

TEST(CaldenErrorText, CodesWithoutATextLeaveTheBufferAlone) {
  for (const int32_t code : {CALDEN_FILE_MALFORMED, 5, -3, -14, INT32_MIN}) {
    std::string text = "untouched";
    GetErrorCodeString(code, text.data(), static_cast<int32_t>(text.size() + 1));
    EXPECT_EQ("untouched", text) << code;
  }
}

TEST(CaldenErrorText, CopiesAtMostMaxLenCharactersAndATerminatorOnlyIfRoomRemains) {
  struct Case {
    int32_t maxLen;
    std::string expected;  // the whole 20-byte buffer afterwards
  };
  const std::vector<Case> cases = {
      {4, "Inva" + std::string(16, '#')},
      {14, "Invalid Handle" + std::string(6, '#')},
      {16, std::string("Invalid Handle\0\0", 16) + std::string(4, '#')},
      {1, "I" + std::string(19, '#')},
      {0, std::string(20, '#')},
      {-5, std::string(20, '#')},
  };
  for (const Case& c : cases) {
    std::string text(20, '#');
    GetErrorCodeString(CALDEN_INVALID_HANDLE, text.data(), c.maxLen);
    EXPECT_EQ(c.expected, text) << c.maxLen;
  }
  GetErrorCodeString(CALDEN_INVALID_HANDLE, nullptr, 64);
}

}  // namespace
