#include <cstring>

#include "base/chip_layout.h"
#include "base/page_checksum.h"

namespace tedskit::base {

void placeFurtherPages(std::span<const uint8_t> data, std::size_t from, std::size_t n, std::span<uint8_t> w) {
  for (std::size_t k = 1; k * kPage < n; ++k)
    std::memcpy(&w[k * kPage + 1], &data[from + (k - 1) * (kPage - 1)], kPage - 1);
}

ChipLayout writtenLayout(std::span<const uint8_t> image, bool layoutB, int32_t selectorHint) {
  if (layoutB) return ChipLayout::B;
  const auto page0 = image.first(kPage);
  std::size_t at = 9;
  if (!checksumPasses(page0)) {
    if ((image[9] & 3) == kLmsSelector)
      at = 8;
    else if (selectorHint != 0)
      at = 8;
  } else if (selectorHint != 0 && isUncheckedLmsPage(page0)) {
    // An unchecked page whose bytes happen to pass the check is still the unchecked layout.
    at = 8;
  }
  Selection sel = selectionOf(image[at], image[at + 1]);
  if (sel.selector == kStandardSelector && sel.templateId == kMtsTemplate)
    sel = Selection{kMtsStoredSelector, kMtsStoredTemplate};
  if (sel.selector == kLmsSelector && isLmsTemplate(sel.templateId)) return ChipLayout::UncheckedLms;
  if (sel.templateId >= kFirstV10Template || isMtsPair(sel)) return ChipLayout::A;
  return ChipLayout::B;
}

std::array<uint8_t, kMaxWrite> layOutPagedImage(std::span<const uint8_t> image, std::size_t n, bool layoutB,
                                                int32_t selectorHint) {
  std::array<uint8_t, kMaxWrite> w{};
  const ChipLayout layout = writtenLayout(image, layoutB, selectorHint);
  if (layout == ChipLayout::UncheckedLms) {
    std::memcpy(&w[0], &image[0], kPage);
  } else if (layout == ChipLayout::A) {
    // Layout A from a split image: register bytes, then the memory after its checksum.
    std::memcpy(&w[1], &image[0], 8);
    std::memcpy(&w[9], &image[9], 23);
    placeFurtherPages(image, 32, n, w);
  } else {
    // Layout B, from a stream (layout flag set) or from a stream behind a checksum byte.
    const std::size_t from = layoutB ? 0 : 1;
    std::memset(&w[1], 0xFF, 8);
    std::memcpy(&w[9], &image[from], 23);
    placeFurtherPages(image, 23 + from, n, w);
  }
  // Nothing past the chip's size is written, so nothing past it may count in a checksum.
  std::memset(w.data() + n, 0, kMaxWrite - n);
  if (layout != ChipLayout::UncheckedLms) {
    for (std::size_t p = 0; p * kPage < n; ++p)
      w[p * kPage] = checksumFor(std::span<const uint8_t>(&w[p * kPage + 1], kPage - 1));
  }
  return w;
}

std::array<uint8_t, kMaxWrite> layOutDs2430aImage(std::span<const uint8_t> image, bool recomputeChecksum) {
  std::array<uint8_t, kMaxWrite> w{};
  std::memcpy(w.data(), image.data(), kPage);
  if (recomputeChecksum) w[0] = checksumFor(std::span<const uint8_t>(&w[1], kPage - 1));
  return w;
}

}  // namespace tedskit::base
