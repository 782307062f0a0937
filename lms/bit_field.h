// Fields of an LMS image: bit p is bit (p mod 8) of byte p / 8, and a field's least
// significant bit comes first.
#ifndef TEDSKIT_LMS_BIT_FIELD_H
#define TEDSKIT_LMS_BIT_FIELD_H

#include <cstddef>
#include <cstdint>
#include <span>

namespace tedskit::lms {

inline constexpr std::size_t kImageSize = 32;
inline constexpr unsigned kImageBits = kImageSize * 8;

using ImageView = std::span<const uint8_t, kImageSize>;
using ImageSpan = std::span<uint8_t, kImageSize>;

// Reads `width` (at most 32) bits from bit `first` on; bits past the image read as 0.
inline uint32_t readBits(ImageView image, unsigned first, unsigned width) {
  uint32_t value = 0;
  for (unsigned i = 0; i < width && first + i < kImageBits; ++i) {
    const unsigned bit = first + i;
    value |= static_cast<uint32_t>((image[bit / 8] >> (bit % 8)) & 1u) << i;
  }
  return value;
}

// Writes the low `width` (at most 32) bits of `value` from bit `first` on; the rest of
// the value is cut off, and bits past the image are never written.
inline void writeBits(ImageSpan image, unsigned first, unsigned width, uint32_t value) {
  for (unsigned i = 0; i < width && first + i < kImageBits; ++i) {
    const unsigned bit = first + i;
    const auto mask = static_cast<uint8_t>(1u << (bit % 8));
    if ((value >> i) & 1u) {
      image[bit / 8] |= mask;
    } else {
      image[bit / 8] &= static_cast<uint8_t>(~mask);
    }
  }
}

}  // namespace tedskit::lms

#endif
