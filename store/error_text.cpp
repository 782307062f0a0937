// The texts of the store's result codes, exactly as callers have always received them
// ("Sucess" included).
#include <cstring>

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

}  // namespace

void GetErrorCodeString(int32_t error_code, char* string, int32_t max_len) {
  const char* text = errorText(error_code);
  if (text == nullptr || string == nullptr || max_len <= 0) {
    return;
  }
  const std::size_t size = static_cast<std::size_t>(max_len);
  const std::size_t length = strnlen(text, size);
  std::memcpy(string, text, length);
  std::memset(string + length, 0, size - length);
}
