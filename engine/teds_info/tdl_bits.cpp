#include "teds_info/tdl_bits.h"

#include <algorithm>

namespace dorvia {

void advanceCursor(int32_t& cursor, int64_t n) {
  if (n <= 0) return;
  cursor = static_cast<int32_t>(std::min<int64_t>(int64_t{cursor} + n, kBitCursorLimit));
}

void copyBits(std::span<const uint8_t> source, int32_t& sourceCursor, std::span<uint8_t> destination,
              int32_t& destinationCursor, int64_t n) {
  if (n <= 0) return;
  const int64_t sourceBits = static_cast<int64_t>(source.size()) * 8;
  const int64_t destinationBits = static_cast<int64_t>(destination.size()) * 8;
  int64_t src = sourceCursor;
  int64_t dst = destinationCursor;
  // Only bits that land inside the destination are worth copying.
  int64_t remaining = dst < 0 ? 0 : std::min(n, std::max<int64_t>(0, destinationBits - dst));
  while (remaining > 0) {
    const int sbit = static_cast<int>(src & 7);
    const int dbit = static_cast<int>(dst & 7);
    const int chunk = static_cast<int>(std::min<int64_t>({8 - sbit, 8 - dbit, remaining}));
    const unsigned mask = (1u << chunk) - 1u;
    const unsigned sourceByte = (src >= 0 && src < sourceBits) ? source[static_cast<size_t>(src >> 3)] : 0u;
    uint8_t& out = destination[static_cast<size_t>(dst >> 3)];
    const unsigned bits = ((sourceByte >> sbit) & mask) << dbit;
    out = static_cast<uint8_t>((out & ~(mask << dbit)) | bits);
    src += chunk;
    dst += chunk;
    remaining -= chunk;
  }
  advanceCursor(sourceCursor, n);
  advanceCursor(destinationCursor, n);
}

uint32_t readBitField(std::span<const uint8_t> buffer, int n, int32_t& cursor) {
  n = std::clamp(n, 0, 32);
  uint8_t field[4] = {0, 0, 0, 0};
  int32_t fieldCursor = 0;
  copyBits(buffer, cursor, field, fieldCursor, n);
  return uint32_t{field[0]} | uint32_t{field[1]} << 8 | uint32_t{field[2]} << 16 | uint32_t{field[3]} << 24;
}

void writeBitField(uint32_t value, int n, int32_t& cursor, std::span<uint8_t> buffer) {
  n = std::clamp(n, 0, 32);
  const uint8_t field[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  int32_t fieldCursor = 0;
  copyBits(field, fieldCursor, buffer, cursor, n);
}

uint8_t imageChecksum(std::span<const uint8_t, 8> appreg, std::span<const uint8_t> memory) {
  unsigned sum = 0;
  for (uint8_t b : appreg) sum += b;
  const size_t covered = std::min<size_t>(memory.size(), 32);
  for (size_t i = 1; i < covered; ++i) sum += memory[i];
  return static_cast<uint8_t>((256 - sum % 256) % 256);
}

}  // namespace dorvia
