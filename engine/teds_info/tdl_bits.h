// Bit-field access to TEDS images. Bit p is bit (p mod 8) of byte p div 8, and a
// field's least significant bit comes first. Every routine is bounded by the
// buffers it is given: bits outside the source read as 0, bits outside the
// destination are dropped, and the cursors still advance by the full count so a
// walk over a template stays in step with the template whatever the image holds.
#ifndef TEDSKIT_ENGINE_TEDS_INFO_TDL_BITS_H
#define TEDSKIT_ENGINE_TEDS_INFO_TDL_BITS_H

#include <cstdint>
#include <span>

namespace dorvia {

// Cursors never go past this, so adding any field width stays inside int32_t.
inline constexpr int32_t kBitCursorLimit = 1 << 30;

// Advances a cursor by n bits (n <= 0 leaves it), saturating at kBitCursorLimit.
void advanceCursor(int32_t& cursor, int64_t n);

void copyBits(std::span<const uint8_t> source, int32_t& sourceCursor, std::span<uint8_t> destination,
              int32_t& destinationCursor, int64_t n);

// n is at most 32; the field comes back as an unsigned integer.
uint32_t readBitField(std::span<const uint8_t> buffer, int n, int32_t& cursor);

void writeBitField(uint32_t value, int n, int32_t& cursor, std::span<uint8_t> buffer);

// The byte that makes the 8 application-register bytes and the first 32 memory
// bytes sum to 0 modulo 256, computed as if memory byte 0 (the checksum) were 0.
uint8_t imageChecksum(std::span<const uint8_t, 8> appreg, std::span<const uint8_t> memory);

}  // namespace dorvia

#endif
