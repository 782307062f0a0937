// Manufacturer lists from outside through the check every command makes before it uses
// one: any bytes give 0 or a line of the text.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "template_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream list(text);
  const int bad = teds::firstBadManufacturerLine(list);
  std::size_t lines = 1;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  if (bad < 0 || static_cast<std::size_t>(bad) > lines) __builtin_trap();
  return 0;
}
