// Encodes arbitrary field arrays with the V1.0 engine, then decodes what it wrote.
// Input: byte 0 picks the template, byte 1 how the array is spoilt (see below), the
// rest is the spoiling material.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "tedskit/dorvia.h"

namespace {

// Old template numbers, IEEE and MTS template IDs, and numbers nothing knows.
constexpr int32_t kTemplates[] = {0, 1, 4, 5, 12, 13, 16, 17, 25, 26, 27, 28, 33, 39, 199, 2, 30, -3};
constexpr size_t kBasicItems = 5;

enum Spoil : uint8_t {
  kValues = 0,      // the items' value texts, 64 bytes each, terminators not promised
  kAnywhere = 1,    // any bytes of the record, at an offset taken from the input
  kItems = 2,       // whole items, labels included
  kSelectCases = 3  // a select-case record and a user-chosen case, then values
};

// The engine opens its template file in the current directory; the fuzzer's corpus
// paths are relative to the directory it started in, so that one comes back.
bool startEngine() {
  char previous[4096];
  if (getcwd(previous, sizeof previous) == nullptr || chdir(TEDSKIT_DATA_DIR) != 0) return false;
  const bool started = DORVIA_SetTEDSV10SupportState(1) == 0;
  return chdir(previous) == 0 && started;
}

void spoil(TEDSTemplateFieldArrayStruct& array, uint8_t how, const uint8_t* data, size_t size) {
  auto* record = reinterpret_cast<uint8_t*>(&array);
  switch (how) {
    case kValues:
    case kSelectCases:
      for (size_t i = kBasicItems; i < TEDS_MAX_ITEMS && size > 0; ++i) {
        const size_t n = std::min(size, sizeof array.items[i].value);
        std::memcpy(array.items[i].value, data, n);
        data += n;
        size -= n;
      }
      break;
    case kAnywhere: {
      if (size < 3) return;
      const size_t offset = (size_t{data[0]} << 16 | size_t{data[1]} << 8 | data[2]) % sizeof array;
      const size_t n = std::min(size - 3, sizeof array - offset);
      std::memcpy(record + offset, data + 3, n);
      break;
    }
    default: {
      const size_t n = std::min(size, sizeof array.items);
      std::memcpy(array.items, data, n);
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = startEngine();
  static const auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  if (!started || size < 2) return 0;
  std::memset(array.get(), 0, sizeof *array);
  array->templateID = kTemplates[data[0] % std::size(kTemplates)];
  const auto how = static_cast<uint8_t>(data[1] & 3);
  const bool unmark = (data[1] & 4) != 0;
  data += 2;
  size -= 2;

  if (how == kSelectCases && size >= sizeof(sccontrolstruct) + 2) {
    sccontrolstruct scc;
    std::memcpy(&scc, data, sizeof scc);
    setTemplateSCC(&scc);
    DORVIA_FormatTEDSV10FromTemplateOnly(array.get());
    DORVIA_SetTemplateState(data[sizeof scc], static_cast<int8_t>(data[sizeof scc + 1]));
    data += sizeof scc + 2;
    size -= sizeof scc + 2;
  }
  DORVIA_FormatTEDSV10FromTemplateOnly(array.get());
  spoil(*array, how, data, size);
  if (unmark) array->validMarker = 0;

  DORVIA_FormatTEDSV10FromFieldArray(array.get());
  const char* image = nullptr;
  if (DORVIA_EncodeTemplateFormToRawTEDS(nullptr, &image, 1) == 1) {
    // What was written must decode again: hand it back and read it.
    std::array<uint8_t, 8> appreg{};
    std::array<uint8_t, 2568> memory{};
    std::memcpy(appreg.data(), image, appreg.size());
    std::memcpy(memory.data(), image + appreg.size(), 2552);
    setV10APPandMemory(appreg.data(), memory.data());
    DORVIA_FormatTEDSV10FromRaw(array.get());
  }
  return 0;
}
