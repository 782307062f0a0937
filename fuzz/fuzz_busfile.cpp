// The bus-file reader on any input: it accepts or refuses without harm, and what it
// accepts is written back in a form that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "owbus/busfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  owbus::ChipList chips;
  std::string error;
  if (!owbus::parseBusFile(text, "fuzz", chips, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  const std::string written = owbus::formatBusFile(chips);
  owbus::ChipList again;
  if (!owbus::parseBusFile(written, "fuzz", again, error) || owbus::formatBusFile(again) != written)
    std::abort();
  return 0;
}
