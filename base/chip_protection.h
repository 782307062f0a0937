// What a chip's own protection lets a write change. A DS2431 keeps one protection byte
// per page at 80h-83h: 55h makes the page read-only, AAh puts it in EPROM mode, where a
// write can only clear bits. A copy into such a page is refused or ANDed by the chip
// itself, so a write that needs more is known to fail before it starts.
#ifndef TEDSKIT_BASE_CHIP_PROTECTION_H
#define TEDSKIT_BASE_CHIP_PROTECTION_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tedskit::base {

inline constexpr uint16_t kDs2431PageControl = 0x80;  // first of the four protection bytes
inline constexpr std::size_t kDs2431PageControlSize = 4;
inline constexpr uint8_t kPageWriteProtected = 0x55;
inline constexpr uint8_t kPageEpromMode = 0xAA;

struct PageRefusal {
  std::size_t page;
  bool eprom;  // EPROM mode (bits would have to be set), else write-protected
};

// The first page whose protection keeps `wanted` from replacing `now` (both the chip's
// bytes from address 0, page checksums included; the shorter length counts), or none.
// control: the protection bytes of pages 0, 1, ...
std::optional<PageRefusal> pageRefusal(std::span<const uint8_t> now, std::span<const uint8_t> wanted,
                                       std::span<const uint8_t> control);

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_CHIP_PROTECTION_H
