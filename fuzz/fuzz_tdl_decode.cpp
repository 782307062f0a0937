// Decodes arbitrary images against the shipped standard templates. Input: 8 bytes of
// application register, then the memory image (shorter inputs are padded with zeros);
// one more byte, when present, picks a case for the first user-chosen select case and
// a template for a template-only layout.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>

#include "tedskit/tedsinfo.hpp"

namespace {

// One engine for the whole run, as in a process; released at exit like the library's.
CTEDSInfo& engine() {
  static CTEDSInfo info;
  static const bool loaded = [] {
    info.CreateTemplateStructure(TEDSKIT_SOURCE_DIR "/data/ieee_temp_v10.tdl", 0, 0);
    return info.IsStructureValid();
  }();
  if (!loaded) __builtin_trap();
  return info;
}

// A filled array must be consistent whatever the image held.
void check(CTEDSInfo& info, const TEDSTemplateFieldArrayStruct& array) {
  if (array.validMarker != TEDS_FIELD_ARRAY_VALID) __builtin_trap();
  if (array.numItems < 5 || array.numItems > TEDS_MAX_ITEMS - 1) __builtin_trap();
  if (info.traverseFSPropertyList() != array.numItems - 5) __builtin_trap();
  for (int i = 0; i < array.numItems; ++i) {
    const TEDSTemplateFieldStruct& item = array.items[i];
    if (memchr(item.label, 0, sizeof item.label) == nullptr) __builtin_trap();
    if (memchr(item.value, 0, sizeof item.value) == nullptr) __builtin_trap();
    if (memchr(item.units, 0, sizeof item.units) == nullptr) __builtin_trap();
    if (memchr(array.templateLines[i], 0, TEDS_LINE_SIZE) == nullptr) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CTEDSInfo& info = engine();
  uint8_t appreg[kTedsAppregSize] = {};
  uint8_t memory[kTedsMemorySize] = {};
  const size_t appregBytes = size < sizeof appreg ? size : sizeof appreg;
  if (appregBytes > 0) std::memcpy(appreg, data, appregBytes);
  const size_t memoryBytes = size > sizeof appreg ? std::min(size - sizeof appreg, sizeof memory) : 0;
  if (memoryBytes > 0) std::memcpy(memory, data + sizeof appreg, memoryBytes);
  info.setAppregData(appreg);
  info.setMemoryData(memory);

  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0, sizeof *array);
  if (info.CreateTEDSTemplateFieldArrayStruct(array.get(), true) == 0) check(info, *array);
  info.CreateTEDSInfoFromData();
  char description[512], case0[512], case1[512];
  for (int i = 0; i < info.getSCInformation(); ++i) info.getCaseInfo(i, description, case0, case1);

  if (size > sizeof appreg + sizeof memory) {
    const uint8_t pick = data[sizeof appreg + sizeof memory];
    info.SetWhichNBSC(5, pick & 0x3F);
    array->templateID = pick % 2 ? 33 : pick >> 1;
    if (info.CreateTEDSTemplateFieldArrayStruct(array.get(), false) == 0) check(info, *array);
    info.getMatchingOldTemplateID();
  }
  return 0;
}
