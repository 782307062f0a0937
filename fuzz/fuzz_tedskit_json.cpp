// libtedskit's JSON reader on arbitrary text: whatever opens must give its JSON, and that
// JSON must open again to the same image with no field taken for changed.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tedskit/tedskit.h"

namespace {

std::string taken(char* text) {
  std::string copy = text == nullptr ? "" : text;
  tedskit_string_free(text);
  return copy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tedskit_teds* teds = nullptr;
  if (tedskit_teds_open("data", data, size, TEDSKIT_INPUT_JSON, 0, &teds) != TEDSKIT_OK) {
    if (teds != nullptr || tedskit_last_error()[0] == '\0') std::abort();
    return 0;
  }
  char* raw = nullptr;
  if (tedskit_teds_json(teds, &raw) != TEDSKIT_OK) std::abort();
  const std::string json = taken(raw);
  if (tedskit_teds_text(teds, &raw) != TEDSKIT_OK) std::abort();
  const std::string text = taken(raw);
  tedskit_teds_free(teds);

  tedskit_teds* again = nullptr;
  if (tedskit_teds_open("data", json.data(), json.size(), TEDSKIT_INPUT_AUTO, 0, &again) != TEDSKIT_OK)
    std::abort();
  const char* note = nullptr;
  if (tedskit_teds_note(again, &note) != TEDSKIT_OK || note[0] != '\0') std::abort();
  if (tedskit_teds_text(again, &raw) != TEDSKIT_OK || taken(raw) != text) std::abort();
  tedskit_teds_free(again);
  return 0;
}
