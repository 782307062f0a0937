#include <algorithm>
#include <cstring>

#include "layout.h"

namespace ferrun {

namespace {

constexpr int kSelectorSplit = 2;
constexpr int kSelectorLms = 3;
constexpr int kFirstSplitTemplate = 25;

bool allFF(std::span<const uint8_t> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; });
}

// Copies the data bytes of pages 1.. (each without its checksum byte) to memory from `at`.
void deliverFurtherPages(const std::array<uint8_t, kMaxChipImage>& image, size_t n, uint8_t* memory,
                         size_t at) {
  for (size_t k = 1; k * kPage < n; ++k)
    std::memcpy(memory + at + (k - 1) * (kPage - 1), &image[k * kPage + 1], kPage - 1);
}

}  // namespace

bool checksumPasses(std::span<const uint8_t> bytes) {
  unsigned sum = 0;
  for (uint8_t b : bytes) sum += b;
  return sum % 256 == 0;
}

uint8_t checksumFor(std::span<const uint8_t> rest) {
  unsigned sum = 0;
  for (uint8_t b : rest) sum += b;
  return static_cast<uint8_t>((256 - sum % 256) % 256);
}

Selection selectionOf(uint8_t s, uint8_t t) { return Selection{s & 3, (s >> 2) | ((t & 3) << 6)}; }

bool isLmsTemplate(int templateId) { return templateId == 117 || templateId == 118; }

int32_t deliverPagedImage(const std::array<uint8_t, kMaxChipImage>& image, size_t n, bool raw,
                          const ReadTarget& out) {
  const std::span<const uint8_t> page0(image.data(), kPage);
  const bool layoutB = allFF(page0.subspan(1, 8));
  size_t at = 9;
  if (layoutB) {
    at = 17;
  } else if (image[8] != 0 && isLmsTemplate(selectionOf(image[8], image[9]).templateId)) {
    at = 8;
  }
  Selection sel = selectionOf(image[at], image[at + 1]);
  if (sel.selector == 1 && sel.templateId == 4) sel = Selection{0, kMtsTemplateId};
  if (out.templateId) *out.templateId = sel.templateId;

  std::memset(out.memory, 0, n);
  for (size_t i = 0; i < 4; ++i)
    out.pageFlags[i] = checksumPasses(std::span<const uint8_t>(&image[i * kPage], kPage)) ? 1 : 0;

  if (raw) {
    std::memcpy(out.memory, image.data(), kMaxChipImage);
    return 0;
  }
  if (out.pageFlags[0] == 1 &&
      (sel.selector == kSelectorSplit || (sel.selector == 0 && sel.templateId >= kFirstSplitTemplate))) {
    std::memcpy(out.reg, &image[1], kRegisterSize);
    out.memory[0] = image[0];
    std::memcpy(out.memory + 1, &image[9], 23);
    deliverFurtherPages(image, n, out.memory, 24);
    *out.registerUsed = 1;
    return 1;
  }
  if (!layoutB && sel.selector != kSelectorLms) {
    // Inline form: the Basic TEDS stays in the memory buffer.
    std::memset(out.reg, 0, kRegisterSize);
    std::memcpy(out.memory, &image[1], 23);
    out.pageFlags[0] = 2;
  } else {
    // Stream form.
    std::memcpy(out.reg, &image[1], kRegisterSize);
    std::memcpy(out.memory, &image[9], 23);
  }
  deliverFurtherPages(image, n, out.memory, 23);
  // A failing page 0 may be the unchecked layout, which goes to the caller as it is. A
  // layout-B page never is: its stream form stays, so that writing it back repairs it.
  if (out.pageFlags[0] == 0 && !layoutB) {
    std::memcpy(out.memory, image.data(), kPage);
    const Selection lms = selectionOf(image[8], image[9]);
    if (out.templateId) *out.templateId = lms.templateId;
    if (lms.selector == kSelectorLms && isLmsTemplate(lms.templateId)) out.pageFlags[0] = 1;
  }
  *out.registerUsed = 0;
  return 1;
}

void deliverDs2430aImage(const ReadTarget& out) {
  if (*out.registerUsed != 0) {
    // Locked register: the TEDS is checksum byte, register, memory bytes 1-31.
    std::array<uint8_t, 40> teds{};
    teds[0] = out.memory[0];
    std::memcpy(&teds[1], out.reg, kRegisterSize);
    std::memcpy(&teds[9], out.memory + 1, 31);
    out.pageFlags[0] = checksumPasses(teds) ? 1 : 0;
    if (out.templateId) *out.templateId = selectionOf(out.memory[1], out.memory[2]).templateId;
    return;
  }
  out.pageFlags[0] = checksumPasses(std::span<const uint8_t>(out.memory, kPage)) ? 1 : 0;
  const size_t at = out.pageFlags[0] == 1 ? 9 : 8;
  const Selection sel = selectionOf(out.memory[at], out.memory[at + 1]);
  if (out.templateId) *out.templateId = sel.templateId;
  if (sel.selector == kSelectorLms && isLmsTemplate(sel.templateId)) out.pageFlags[0] = 1;
}

}  // namespace ferrun
