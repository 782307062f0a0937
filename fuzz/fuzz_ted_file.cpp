// libtedskit's virtual TEDS file reader. The first byte chooses: even, the rest is the file
// as it is; odd, the rest is a stream behind a good header, eight bits to a byte. Whatever
// opens must write back the very file it came from.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tedskit/tedskit.h"

namespace {

const char kHeader[] = "[v03]";

std::string fileOf(const uint8_t* data, size_t size) {
  if (size == 0 || data[0] % 2 == 0)
    return std::string(reinterpret_cast<const char*>(data), size).substr(size > 0);
  std::string file;
  for (int i = 0; i < 5; ++i) {
    for (int b = 0; b < 8; ++b) file += static_cast<char>((kHeader[i] >> b) & 1);
  }
  for (size_t i = 1; i < size; ++i) {
    for (int b = 0; b < 8; ++b) file += static_cast<char>((data[i] >> b) & 1);
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = fileOf(data, size);
  tedskit_teds* teds = nullptr;
  if (tedskit_teds_open("data", file.data(), file.size(), TEDSKIT_INPUT_TED, 0, &teds) != TEDSKIT_OK) {
    if (teds != nullptr || tedskit_last_error()[0] == '\0') std::abort();
    return 0;
  }
  char* bytes = nullptr;
  size_t written = 0;
  if (tedskit_teds_ted(teds, &bytes, &written) != TEDSKIT_OK) std::abort();
  if (std::string(bytes, written) != file) std::abort();
  tedskit_string_free(bytes);
  int32_t count = 0;
  tedskit_teds_field_count(teds, &count);
  for (int32_t i = 0; i < count; ++i) {
    const char* text = nullptr;
    if (tedskit_field_display(teds, i, &text) != TEDSKIT_OK) std::abort();
  }
  tedskit_teds_free(teds);
  return 0;
}
