// The two 1-Wire CRCs: CRC-8 of registration numbers, CRC-16 of memory transfers.
#ifndef TEDSKIT_OWBUS_CRC_H
#define TEDSKIT_OWBUS_CRC_H

#include <cstdint>
#include <span>

namespace owbus {

// x^8 + x^5 + x^4 + 1, LSB first, start 0.
uint8_t crc8(uint8_t crc, uint8_t byte);
uint8_t crc8(std::span<const uint8_t> bytes);

// x^16 + x^15 + x^2 + 1, LSB first. Chips send it inverted, low byte first, so a run
// over the data and the two bytes received ends at kCrc16Residue.
uint16_t crc16(uint16_t crc, uint8_t byte);
inline constexpr uint16_t kCrc16Residue = 0xB001;

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_CRC_H
