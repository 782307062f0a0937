// A TEDS as a whole: the Basic TEDS and the bytes after it (selector byte first), without
// checksum bytes, taken from a chip image or made ready to write to a chip. Built on the
// chip layouts of chip_layout.h, so a chip is recognised and filled the way the 1-Wire
// library reads and writes it.
#ifndef TEDSKIT_BASE_CHIP_IMAGE_H
#define TEDSKIT_BASE_CHIP_IMAGE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/chip_layout.h"

namespace tedskit::base {

struct ChipContents {
  std::array<uint8_t, kRegisterSize> basic{};
  std::vector<uint8_t> body;  // selector byte, template ID byte, template data
  ChipLayout layout = ChipLayout::A;
  // Every page passes its check (page 0 excepted in the unchecked layout, which has none).
  bool checksumsPass = true;
};

// The TEDS of a chip image of whole 32-byte pages with their checksum bytes (at most
// kMaxChipImage bytes; a partial last page is left out).
ChipContents contentsOfChip(std::span<const uint8_t> chip);
// The TEDS of a DS2430A whose locked application register holds the Basic TEDS.
ChipContents contentsOfLockedDs2430a(std::span<const uint8_t, kRegisterSize> reg,
                                     std::span<const uint8_t, kPage> memory);

// A write planned for a chip: the image and flags for the 1-Wire library's write, the
// layout the chip will then hold, and the room that layout has on that chip.
struct ChipWrite {
  std::array<uint8_t, kMaxWrite> image{};
  int32_t layoutFlag = 0;
  int32_t selectorHint = 0;
  ChipLayout layout = ChipLayout::A;
  std::size_t room = 0;  // bytes of body (selector byte on) the chip holds in that layout
};
// family: a memory chip family of kChipModels. The caller holds the body to the room;
// nothing past the image's kMaxWrite bytes is taken.
ChipWrite planChipWrite(std::span<const uint8_t, kRegisterSize> basic, std::span<const uint8_t> body,
                        int family);

// The whole memory of a chip (its read size) as a write of this TEDS leaves it: the layout
// the write chooses, every page with its checksum byte, zero past the TEDS. The unchecked
// LMS layout keeps page 0 only. memory is empty when the body needs more than room bytes.
struct WholeChip {
  std::vector<uint8_t> memory;
  ChipLayout layout = ChipLayout::A;
  std::size_t room = 0;  // bytes of body (selector byte on) the chip holds in that layout
};
WholeChip wholeChipImage(std::span<const uint8_t, kRegisterSize> basic, std::span<const uint8_t> body,
                         const ChipModel& chip);

// The 40-byte image that locks a DS2430A's application register: the Basic TEDS for the
// register, then the 32 memory bytes (checksum over both, then up to 31 bytes of body).
std::array<uint8_t, kV1ImageSize> lockedDs2430aImage(std::span<const uint8_t, kRegisterSize> basic,
                                                     std::span<const uint8_t> body);
inline constexpr std::size_t kLockedDs2430aRoom = kPage - 1;

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_CHIP_IMAGE_H
