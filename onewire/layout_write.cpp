#include <cstring>

#include "layout.h"

namespace ferrun {

namespace {

// Copies the caller's data of pages 1.. (31 bytes each, from image offset `from`) behind
// the checksum byte of each page of w.
void layOutFurtherPages(std::span<const uint8_t> image, size_t n, std::array<uint8_t, kMaxWrite>& w,
                        size_t from) {
  for (size_t k = 1; k * kPage < n; ++k)
    std::memcpy(&w[k * kPage + 1], &image[from + (k - 1) * (kPage - 1)], kPage - 1);
}

}  // namespace

std::array<uint8_t, kMaxWrite> layOutPagedImage(std::span<const uint8_t> image, size_t n, bool layoutB,
                                                int32_t selectorHint) {
  std::array<uint8_t, kMaxWrite> w{};
  bool unchecked = false;
  if (layoutB) {
    std::memset(&w[1], 0xFF, 8);
    std::memcpy(&w[9], &image[0], 23);
    layOutFurtherPages(image, n, w, 23);
  } else {
    size_t at = 9;
    if (!checksumPasses(image.first(kPage))) {
      if ((image[9] & 3) == 3)
        at = 8;
      else if (selectorHint != 0)
        at = 8;
    }
    Selection sel = selectionOf(image[at], image[at + 1]);
    if (sel.selector == 0 && sel.templateId == kMtsTemplateId) sel = Selection{1, 4};
    if (sel.selector == 3 && isLmsTemplate(sel.templateId)) {
      std::memcpy(&w[0], &image[0], kPage);
      unchecked = true;
    } else if (sel.templateId >= 25 || (sel.selector == 1 && sel.templateId == 4)) {
      // Layout A from a split image: register bytes, then the memory after its checksum.
      std::memcpy(&w[1], &image[0], 8);
      std::memcpy(&w[9], &image[9], 23);
      layOutFurtherPages(image, n, w, 32);
    } else {
      // Layout B from a stream that starts with a checksum byte.
      std::memset(&w[1], 0xFF, 8);
      std::memcpy(&w[9], &image[1], 23);
      layOutFurtherPages(image, n, w, 24);
    }
  }
  // Nothing past the chip's size is written, so nothing past it may count in a checksum.
  std::memset(w.data() + n, 0, kMaxWrite - n);
  if (!unchecked) {
    for (size_t p = 0; p * kPage < n; ++p)
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

}  // namespace ferrun
