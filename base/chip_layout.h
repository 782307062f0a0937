// TEDS image layouts on the 1-Wire memory chips and the caller's forms of them: pure byte
// conversions with no bus traffic. The 1-Wire library runs them on every read and write;
// the tool runs them on chip images it is given and on the images it plans to write, so
// both see a chip the same way.
//
// On a chip every 32-byte page starts with a checksum byte. Page 0 holds the Basic TEDS in
// layout A (checksum, Basic TEDS, selector...), layout B (checksum, eight FFh, Basic TEDS,
// selector...) or the unchecked layout of the LMS templates (Basic TEDS at byte 0). A
// DS2430A may instead keep the Basic TEDS in its locked application register.
#ifndef TEDSKIT_BASE_CHIP_LAYOUT_H
#define TEDSKIT_BASE_CHIP_LAYOUT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/fixed_meanings.h"

namespace tedskit::base {

enum class ChipLayout { A, B, UncheckedLms, LockedRegister };

// "layout A", "layout B", "unchecked LMS layout", "locked application register".
const char* layoutName(ChipLayout layout);

struct Selection {
  int selector;
  int templateId;
};
// Selector and template ID from the selector byte s and the byte t after it.
constexpr Selection selectionOf(uint8_t s, uint8_t t) { return Selection{s & 3, (s >> 2) | ((t & 3) << 6)}; }
constexpr bool isMtsPair(Selection sel) {
  return sel.selector == kMtsStoredSelector && sel.templateId == kMtsStoredTemplate;
}

// Page 0 in layout B: bytes 1-8 are all FFh.
bool isLayoutB(std::span<const uint8_t> page0);
// Page 0 in the unchecked layout: bytes 8 and 9 hold selector 3 with an LMS template.
bool isUncheckedLmsPage(std::span<const uint8_t> page0);

// Where page 0 of a layout keeps the Basic TEDS and the selector byte.
struct Page0Offsets {
  std::size_t basic;
  std::size_t selector;
};
Page0Offsets page0Offsets(ChipLayout layout);

// Copies the 31 data bytes of every page from page 1 up to the chip size n, one after
// the other, to `to` from offset `at`.
void copyFurtherPages(std::span<const uint8_t> chip, std::size_t n, uint8_t* to, std::size_t at);
// The other way: data bytes from `from` on go behind the checksum byte of pages 1.. of w.
void placeFurtherPages(std::span<const uint8_t> data, std::size_t from, std::size_t n, std::span<uint8_t> w);

// The caller's side of a read.
struct ReadTarget {
  uint8_t* reg;     // 8 bytes
  uint8_t* memory;  // the chip size, or kMaxChipImage in raw mode
  int32_t* registerUsed;
  int32_t* pageFlags;   // 4 entries, all 1 on entry
  int32_t* templateId;  // may be null
};

// Delivers the image of a paged chip (n bytes read, zero beyond) in split, inline or
// stream form, or whole in raw mode. Returns the read's result code.
int32_t deliverPagedImage(const std::array<uint8_t, kMaxChipImage>& image, std::size_t n, bool raw,
                          const ReadTarget& out);
// Completes a DS2430A read: memory (32 bytes), reg and registerUsed already hold what
// the chip gave.
void deliverDs2430aImage(const ReadTarget& out);

// The layout a paged chip will hold after a write of `image` with these flags.
ChipLayout writtenLayout(std::span<const uint8_t> image, bool layoutB, int32_t selectorHint);
// Lays a caller's image out as the n bytes to write to a paged chip.
std::array<uint8_t, kMaxWrite> layOutPagedImage(std::span<const uint8_t> image, std::size_t n, bool layoutB,
                                                int32_t selectorHint);
// The 32 bytes to write to a DS2430A.
std::array<uint8_t, kMaxWrite> layOutDs2430aImage(std::span<const uint8_t> image, bool recomputeChecksum);

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_CHIP_LAYOUT_H
