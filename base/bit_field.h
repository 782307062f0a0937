// Fields of a TEDS image: bit p is bit (p mod 8) of byte p div 8, and a field's least
// significant bit comes first. Bits outside the image read as 0 and are never written,
// whatever the position and width. Inline: decoding reads every field through here.
#ifndef TEDSKIT_BASE_BIT_FIELD_H
#define TEDSKIT_BASE_BIT_FIELD_H

#include <cstdint>
#include <span>

namespace tedskit::base {

// The `width` bits from `position` on (at most 64 of them count).
inline uint64_t readBits(std::span<const uint8_t> image, int64_t position, int64_t width) {
  uint64_t value = 0;
  const int64_t limit = static_cast<int64_t>(image.size()) * 8;
  if (position >= 0 && width > 0 && width <= 56 && position + width <= limit) {
    // The common case, a field inside the image: its bytes at once.
    const auto first = static_cast<std::size_t>(position >> 3);
    const int64_t shift = position & 7;
    const int64_t bytes = (shift + width + 7) / 8;
    for (int64_t k = 0; k < bytes; ++k)
      value |= uint64_t{image[first + static_cast<std::size_t>(k)]} << (8 * k);
    return (value >> shift) & ((uint64_t{1} << width) - 1);
  }
  const int64_t count = width < 64 ? width : 64;
  for (int64_t k = 0; k < count; ++k) {
    const int64_t bit = position + k;
    if (bit < 0 || bit >= limit) continue;
    if ((image[static_cast<std::size_t>(bit >> 3)] >> (bit & 7)) & 1u) value |= uint64_t{1} << k;
  }
  return value;
}

// The low `width` bits of value from `position` on; bits of a width beyond 64 are 0.
inline void writeBits(std::span<uint8_t> image, int64_t position, int64_t width, uint64_t value) {
  const int64_t limit = static_cast<int64_t>(image.size()) * 8;
  const int64_t first = position < 0 ? 0 : position;
  const int64_t end = position + width < limit ? position + width : limit;
  for (int64_t bit = first; bit < end; ++bit) {
    const int64_t k = bit - position;
    const bool set = k < 64 && ((value >> k) & 1u);
    auto& byte = image[static_cast<std::size_t>(bit >> 3)];
    const auto mask = static_cast<uint8_t>(1u << (bit & 7));
    byte = set ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
  }
}

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_BIT_FIELD_H
