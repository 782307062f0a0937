// The TEDS image exports: read in split, inline, stream or raw form; write back with page
// checksums, then read back to verify.
#include <algorithm>
#include <array>
#include <span>

#include "base/chip_layout.h"
#include "base/guard.h"
#include "bus.h"
#include "sequences.h"
#include "tedskit/ferrun.h"

using namespace ferrun;
using namespace tedskit::base;

namespace {

int32_t readImage(unsigned char* reg, unsigned char* memory, int32_t* registerUsed, int32_t* pageFlags,
                  int32_t* templateId, int32_t mode) {
  if (!reg || !memory || !registerUsed || !pageFlags) return FERRUN_MISSING_ARGUMENT;
  std::fill_n(pageFlags, FERRUN_PAGE_FLAGS, 1);
  if (!sessionValid()) return FERRUN_DONE;
  const ReadTarget out{reg, memory, registerUsed, pageFlags, templateId};
  // A read the adapter failed is read again, never delivered as the chip's contents.
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const uint8_t family = detectChipRetrying();
    if (adapterFailed()) break;
    if (family == 0) return FERRUN_CHIP_NOT_FOUND;
    if (family == kFamilyDs2430a) {
      ds2430aReadMemory(std::span<uint8_t, 32>(memory, 32));
      ds2430aReadLock(*registerUsed);
      ds2430aReadRegister(std::span<uint8_t, 8>(reg, 8));
      if (adapterFailed()) continue;
      deliverDs2430aImage(out);
      return FERRUN_DONE;
    }
    const size_t n = chipModel(family)->readSize;
    std::array<uint8_t, kMaxChipImage> image{};
    pagedReadMemory(std::span<uint8_t>(image.data(), n));
    if (adapterFailed()) continue;
    return deliverPagedImage(image, n, mode == FERRUN_RAW_MODE, out);
  }
  std::fill_n(pageFlags, FERRUN_PAGE_FLAGS, 0);
  return FERRUN_ADAPTER_CHECK;
}

// Writes and verifies once; a DS2430A's whole-memory copy is tried again as a unit.
bool writeAndVerify(uint8_t family, std::span<const uint8_t> w, size_t n) {
  std::array<uint8_t, kMaxWrite> back{};
  if (family == kFamilyDs2430a) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      if (attempt > 0) select();
      if (!ds2430aWriteMemory(std::span<const uint8_t, 32>(w.data(), 32))) return false;
      clearAdapterFailure();
      ds2430aReadMemory(std::span<uint8_t, 32>(back.data(), 32));
      if (!adapterFailed() && std::equal(w.begin(), w.begin() + 32, back.begin())) return true;
    }
    return false;
  }
  if (!pagedWriteMemory(family, w.first(n))) return false;
  clearAdapterFailure();
  pagedReadMemory(std::span<uint8_t>(back.data(), n));
  return sessionValid() && !adapterFailed() &&
         std::equal(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(n), back.begin());
}

}  // namespace

namespace {

int32_t readMemoryExtended(unsigned char* reg, unsigned char* memory, int32_t* register_used,
                           int32_t* page_flags, int32_t* template_id, int32_t mode) {
  if (!template_id) return FERRUN_MISSING_ARGUMENT;
  return readImage(reg, memory, register_used, page_flags, template_id, mode);
}

int32_t readMemory(unsigned char* reg, unsigned char* memory, int32_t* register_used, int32_t* page_flags,
                   int32_t mode) {
  return readImage(reg, memory, register_used, page_flags, nullptr, mode);
}

int32_t writeMemory(const unsigned char* image, int32_t layout_b, int32_t selector_hint) {
  if (!image) return FERRUN_MISSING_ARGUMENT;
  uint8_t family = detectChipRetrying();
  if (family == 0 && !adapterFailed()) {
    reset();
    family = detectChipRetrying();
  }
  if (family == 0) return adapterFailed() ? FERRUN_ADAPTER_CHECK : FERRUN_CHIP_NOT_FOUND;
  const size_t n = chipModel(family)->writeSize;
  select();
  const std::span<const uint8_t> source(image, kMaxWrite);
  const auto w = family == kFamilyDs2430a ? layOutDs2430aImage(source, layout_b != 0)
                                          : layOutPagedImage(source, n, layout_b != 0, selector_hint);
  if (writeAndVerify(family, w, n)) return FERRUN_DONE;
  return adapterFailed() ? FERRUN_ADAPTER_CHECK : FERRUN_NOT_VERIFIED;
}

}  // namespace

extern "C" {

int32_t stdcdll_read_memory_extended(unsigned char* reg, unsigned char* memory, int32_t* register_used,
                                     int32_t* page_flags, int32_t* template_id, int32_t mode) {
  return guard(FERRUN_CHIP_NOT_FOUND,
               [&] { return readMemoryExtended(reg, memory, register_used, page_flags, template_id, mode); });
}

int32_t stdcdll_read_memory(unsigned char* reg, unsigned char* memory, int32_t* register_used,
                            int32_t* page_flags, int32_t mode) {
  return guard(FERRUN_CHIP_NOT_FOUND,
               [&] { return readMemory(reg, memory, register_used, page_flags, mode); });
}

int32_t stdcdll_write_memory(const unsigned char* image, int32_t layout_b, int32_t selector_hint) {
  return guard(FERRUN_NOT_VERIFIED, [&] { return writeMemory(image, layout_b, selector_hint); });
}

}  // extern "C"
