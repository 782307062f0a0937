// The TEDS image exports: read in split, inline, stream or raw form; write back with page
// checksums, then read back to verify.
#include <algorithm>
#include <array>
#include <span>

#include "base/chip_layout.h"
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
  const uint8_t family = detectChip();
  if (family == 0) return FERRUN_CHIP_NOT_FOUND;
  const ReadTarget out{reg, memory, registerUsed, pageFlags, templateId};
  if (family == kFamilyDs2430a) {
    ds2430aReadMemory(std::span<uint8_t, 32>(memory, 32));
    ds2430aReadLock(*registerUsed);
    ds2430aReadRegister(std::span<uint8_t, 8>(reg, 8));
    deliverDs2430aImage(out);
    return FERRUN_DONE;
  }
  const size_t n = chipModel(family)->readSize;
  std::array<uint8_t, kMaxChipImage> image{};
  pagedReadMemory(std::span<uint8_t>(image.data(), n));
  return deliverPagedImage(image, n, mode == FERRUN_RAW_MODE, out);
}

}  // namespace

extern "C" {

int32_t stdcdll_read_memory_extended(unsigned char* reg, unsigned char* memory, int32_t* register_used,
                                     int32_t* page_flags, int32_t* template_id, int32_t mode) {
  if (!template_id) return FERRUN_MISSING_ARGUMENT;
  return readImage(reg, memory, register_used, page_flags, template_id, mode);
}

int32_t stdcdll_read_memory(unsigned char* reg, unsigned char* memory, int32_t* register_used,
                            int32_t* page_flags, int32_t mode) {
  return readImage(reg, memory, register_used, page_flags, nullptr, mode);
}

int32_t stdcdll_write_memory(const unsigned char* image, int32_t layout_b, int32_t selector_hint) {
  if (!image) return FERRUN_MISSING_ARGUMENT;
  uint8_t family = detectChip();
  if (family == 0) {
    reset();
    family = detectChip();
    if (family == 0) return FERRUN_CHIP_NOT_FOUND;
  }
  const size_t n = chipModel(family)->writeSize;
  select();
  const std::span<const uint8_t> source(image, kMaxWrite);
  std::array<uint8_t, kMaxWrite> back{};
  if (family == kFamilyDs2430a) {
    const auto w = layOutDs2430aImage(source, layout_b != 0);
    ds2430aWriteMemory(std::span<const uint8_t, 32>(w.data(), 32));
    ds2430aReadMemory(std::span<uint8_t, 32>(back.data(), 32));
    return std::equal(w.begin(), w.begin() + 32, back.begin()) ? FERRUN_DONE : FERRUN_NOT_VERIFIED;
  }
  const auto w = layOutPagedImage(source, n, layout_b != 0, selector_hint);
  pagedWriteMemory(std::span<const uint8_t>(w.data(), n));
  pagedReadMemory(std::span<uint8_t>(back.data(), n));
  const bool verified =
      sessionValid() && std::equal(w.begin(), w.begin() + static_cast<std::ptrdiff_t>(n), back.begin());
  return verified ? FERRUN_DONE : FERRUN_NOT_VERIFIED;
}

}  // extern "C"
