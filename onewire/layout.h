// TEDS image layouts on the memory chips and the caller's forms of them: pure byte
// conversions, with no bus traffic.
//
// On a chip every 32-byte page starts with a checksum byte. Page 0 holds the Basic TEDS in
// layout A (checksum, Basic TEDS, selector...), layout B (checksum, eight FFh, Basic TEDS,
// selector...) or the unchecked layout of the LMS templates (Basic TEDS at byte 0).
#ifndef TEDSKIT_ONEWIRE_LAYOUT_H
#define TEDSKIT_ONEWIRE_LAYOUT_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace ferrun {

inline constexpr size_t kPage = 32;
inline constexpr size_t kMaxChipImage = 2560;
inline constexpr size_t kMaxWrite = 512;
inline constexpr size_t kRegisterSize = 8;
inline constexpr int kMtsTemplateId = 199;  // stored as selector 1, template ID 4

// A page (or the 40-byte DS2430A image) passes when its bytes sum to 0 modulo 256.
bool checksumPasses(std::span<const uint8_t> bytes);
// The checksum byte that makes a page pass, from the page's other bytes.
uint8_t checksumFor(std::span<const uint8_t> rest);

struct Selection {
  int selector;
  int templateId;
};
// Selector and template ID from the selector byte s and the byte t after it.
Selection selectionOf(uint8_t s, uint8_t t);
bool isLmsTemplate(int templateId);

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
int32_t deliverPagedImage(const std::array<uint8_t, kMaxChipImage>& image, size_t n, bool raw,
                          const ReadTarget& out);
// Completes a DS2430A read: memory (32 bytes), reg and registerUsed already hold what
// the chip gave.
void deliverDs2430aImage(const ReadTarget& out);

// Lays a caller's image out as the n bytes to write to a paged chip.
std::array<uint8_t, kMaxWrite> layOutPagedImage(std::span<const uint8_t> image, size_t n, bool layoutB,
                                                int32_t selectorHint);
// The 32 bytes to write to a DS2430A.
std::array<uint8_t, kMaxWrite> layOutDs2430aImage(std::span<const uint8_t> image, bool recomputeChecksum);

}  // namespace ferrun

#endif  // TEDSKIT_ONEWIRE_LAYOUT_H
