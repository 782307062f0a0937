// TDL text from outside through the checks teds tdl adds to the reader's: any bytes give
// a list of faults, each on a line of the text, in line order.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tdl_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t lines = 1;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  int previous = 1;
  for (const teds::TdlFault& fault : teds::checkTdl(text)) {
    if (fault.line < previous || static_cast<std::size_t>(fault.line) > lines || fault.message.empty()) {
      __builtin_trap();
    }
    previous = fault.line;
  }
  return 0;
}
