// libtedskit's open on arbitrary input: the first byte picks the input kind and a field;
// whatever opens must show every field, place it in the memory image (or say it cannot),
// and take a field's own shown value back.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tedskit/tedskit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto kind = static_cast<tedskit_input>(data[0] % 5);
  const int pick = data[0] >> 3;
  tedskit_teds* teds = nullptr;
  if (tedskit_teds_open("data", data + 1, size - 1, kind, 0, &teds) != TEDSKIT_OK) {
    if (teds != nullptr || tedskit_last_error()[0] == '\0') std::abort();
    return 0;
  }
  int32_t count = 0;
  tedskit_teds_field_count(teds, &count);
  for (int32_t i = 0; i < count; ++i) {
    const char* text = nullptr;
    int32_t offset = 0;
    if (tedskit_field_label(teds, i, &text) != TEDSKIT_OK ||
        tedskit_field_display(teds, i, &text) != TEDSKIT_OK ||
        tedskit_field_bit_offset(teds, i, &offset) != TEDSKIT_OK || offset < -1)
      std::abort();
  }
  if (count > 0) {
    const char* label = nullptr;
    const char* shown = nullptr;
    tedskit_field_label(teds, pick % count, &label);
    tedskit_field_display(teds, pick % count, &shown);
    const std::string labelText = label, shownText = shown;
    tedskit_teds_set(teds, labelText.c_str(), shownText.c_str(), nullptr);
  }
  char* text = nullptr;
  if (tedskit_teds_text(teds, &text) != TEDSKIT_OK) std::abort();
  tedskit_string_free(text);
  tedskit_teds_free(teds);
  return 0;
}
