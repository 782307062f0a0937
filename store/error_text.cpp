// The texts of the store's result codes, exactly as callers have always received them
// ("Sucess" included).
#include <cstring>

#include "base/guard.h"
#include "tedskit/calden.h"

namespace {

const char* errorText(int32_t code) {
  switch (code) {
    case CALDEN_SUCCESS:
      return "Sucess";
    case CALDEN_GENERAL_ERROR:
      return "TEDS General Error";
    case CALDEN_ITEM_NOT_FOUND:
      return "TEDS Item Not Found";
    case CALDEN_INVALID_HANDLE:
      return "Invalid Handle";
    case CALDEN_FILE_NOT_FOUND:
      return "File Not Found";
    case CALDEN_INVALID_PARAMETER:
      return "Invalid Parameter";
    default:
      return nullptr;
  }
}

// As strncpy copies: at most max_len characters, the rest of max_len zeroed, and no
// terminator when the text fills it.
void copyErrorText(int32_t code, char* string, int32_t max_len) {
  const char* text = errorText(code);
  if (text == nullptr || string == nullptr || max_len <= 0) {
    return;
  }
  std::strncpy(string, text, static_cast<std::size_t>(max_len));
}

}  // namespace

void GetErrorCodeString(int32_t error_code, char* string, int32_t max_len) {
  tedskit::base::guard([&] { copyErrorText(error_code, string, max_len); });
}
