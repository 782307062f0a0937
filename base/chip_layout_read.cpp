#include <algorithm>
#include <cstring>

#include "base/chip_layout.h"
#include "base/page_checksum.h"

namespace tedskit::base {

const char* layoutName(ChipLayout layout) {
  switch (layout) {
    case ChipLayout::A:
      return "layout A";
    case ChipLayout::B:
      return "layout B";
    case ChipLayout::UncheckedLms:
      return "unchecked LMS layout";
    case ChipLayout::LockedRegister:
      return "locked application register";
  }
  return "layout A";
}

bool isLayoutB(std::span<const uint8_t> page0) {
  const auto bytes = page0.subspan(1, kRegisterSize);
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; });
}

bool isUncheckedLmsPage(std::span<const uint8_t> page0) {
  const Selection sel = selectionOf(page0[8], page0[9]);
  return sel.selector == kLmsSelector && isLmsTemplate(sel.templateId);
}

Page0Offsets page0Offsets(ChipLayout layout) {
  switch (layout) {
    case ChipLayout::B:
      return {9, 17};
    case ChipLayout::UncheckedLms:
      return {0, 8};
    case ChipLayout::A:
    case ChipLayout::LockedRegister:
      break;
  }
  return {1, 9};
}

void copyFurtherPages(std::span<const uint8_t> chip, std::size_t n, uint8_t* to, std::size_t at) {
  for (std::size_t k = 1; k * kPage < n; ++k)
    std::memcpy(to + at + (k - 1) * (kPage - 1), &chip[k * kPage + 1], kPage - 1);
}

int32_t deliverPagedImage(const std::array<uint8_t, kMaxChipImage>& image, std::size_t n, bool raw,
                          const ReadTarget& out) {
  const std::span<const uint8_t> page0(image.data(), kPage);
  const bool layoutB = isLayoutB(page0);
  std::size_t at = page0Offsets(ChipLayout::A).selector;
  if (layoutB) {
    at = page0Offsets(ChipLayout::B).selector;
  } else if (image[8] != 0 && isLmsTemplate(selectionOf(image[8], image[9]).templateId)) {
    at = page0Offsets(ChipLayout::UncheckedLms).selector;
  }
  Selection sel = selectionOf(image[at], image[at + 1]);
  if (isMtsPair(sel)) sel = Selection{kStandardSelector, kMtsTemplate};
  if (out.templateId) *out.templateId = sel.templateId;

  std::memset(out.memory, 0, n);
  for (std::size_t i = 0; i < kPageFlags; ++i)
    out.pageFlags[i] = checksumPasses(std::span<const uint8_t>(&image[i * kPage], kPage)) ? 1 : 0;

  if (raw) {
    std::memcpy(out.memory, image.data(), kMaxChipImage);
    return FERRUN_FAILED;
  }
  if (out.pageFlags[0] == 1 && (sel.selector == kSplitSelector ||
                                (sel.selector == kStandardSelector && sel.templateId >= kFirstV10Template))) {
    std::memcpy(out.reg, &image[1], kRegisterSize);
    out.memory[0] = image[0];
    std::memcpy(out.memory + 1, &image[9], 23);
    copyFurtherPages(image, n, out.memory, 24);
    *out.registerUsed = 1;
    return FERRUN_DONE;
  }
  if (!layoutB && sel.selector != kLmsSelector) {
    // Inline form: the Basic TEDS stays in the memory buffer.
    std::memset(out.reg, 0, kRegisterSize);
    std::memcpy(out.memory, &image[1], 23);
    out.pageFlags[0] = 2;
  } else {
    // Stream form.
    std::memcpy(out.reg, &image[1], kRegisterSize);
    std::memcpy(out.memory, &image[9], 23);
  }
  copyFurtherPages(image, n, out.memory, 23);
  // A failing page 0 may be the unchecked layout, which goes to the caller as it is; so
  // does an unchecked page whose bytes happen to pass the check, since the stream form
  // would drop its first byte. A layout-B page never is: its stream form stays, so that
  // writing it back repairs it.
  if ((out.pageFlags[0] == 0 || isUncheckedLmsPage(page0)) && !layoutB) {
    std::memcpy(out.memory, image.data(), kPage);
    const Selection lms = selectionOf(image[8], image[9]);
    if (out.templateId) *out.templateId = lms.templateId;
    if (lms.selector == kLmsSelector && isLmsTemplate(lms.templateId)) out.pageFlags[0] = 1;
  }
  *out.registerUsed = 0;
  return FERRUN_DONE;
}

void deliverDs2430aImage(const ReadTarget& out) {
  const std::span<const uint8_t> memory(out.memory, kPage);
  if (*out.registerUsed != 0) {
    // Locked register: the TEDS is checksum byte, register, memory bytes 1-31.
    out.pageFlags[0] =
        checksumPasses({memory.first(1), std::span<const uint8_t>(out.reg, kRegisterSize), memory.subspan(1)})
            ? 1
            : 0;
    if (out.templateId) *out.templateId = selectionOf(memory[1], memory[2]).templateId;
    return;
  }
  out.pageFlags[0] = checksumPasses(memory) ? 1 : 0;
  // An unchecked page keeps its selector byte at 8, whether or not it happens to pass.
  const bool unchecked = out.pageFlags[0] == 0 || isUncheckedLmsPage(memory);
  const std::size_t at = page0Offsets(unchecked ? ChipLayout::UncheckedLms : ChipLayout::A).selector;
  const Selection sel = selectionOf(memory[at], memory[at + 1]);
  if (out.templateId) *out.templateId = sel.templateId;
  if (sel.selector == kLmsSelector && isLmsTemplate(sel.templateId)) out.pageFlags[0] = 1;
}

}  // namespace tedskit::base
