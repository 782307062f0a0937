#include "teds_info/tdl_bits.h"

#include <algorithm>

#include "base/bit_field.h"
#include "base/page_checksum.h"

namespace dorvia {

void advanceCursor(int32_t& cursor, int64_t n) {
  if (n <= 0) return;
  cursor = static_cast<int32_t>(std::min<int64_t>(int64_t{cursor} + n, kBitCursorLimit));
}

void copyBits(std::span<const uint8_t> source, int32_t& sourceCursor, std::span<uint8_t> destination,
              int32_t& destinationCursor, int64_t n) {
  if (n <= 0) return;
  const int64_t destinationBits = static_cast<int64_t>(destination.size()) * 8;
  const int64_t src = sourceCursor;
  const int64_t dst = destinationCursor;
  // Only bits that land inside the destination are worth copying.
  const int64_t count = dst < 0 ? 0 : std::min(n, std::max<int64_t>(0, destinationBits - dst));
  constexpr int64_t kChunk = 56;
  for (int64_t done = 0; done < count; done += kChunk) {
    const int64_t width = std::min(kChunk, count - done);
    tedskit::base::writeBits(destination, dst + done, width,
                             tedskit::base::readBits(source, src + done, width));
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
  const std::size_t covered = std::min<std::size_t>(memory.size(), 32);
  return tedskit::base::checksumFor(
      {appreg, memory.subspan(covered == 0 ? 0 : 1, covered == 0 ? 0 : covered - 1)});
}

}  // namespace dorvia
