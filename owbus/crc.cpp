#include "crc.h"

namespace owbus {

uint8_t crc8(uint8_t crc, uint8_t byte) {
  crc ^= byte;
  for (int bit = 0; bit < 8; ++bit)
    crc = (crc & 1) ? static_cast<uint8_t>((crc >> 1) ^ 0x8C) : static_cast<uint8_t>(crc >> 1);
  return crc;
}

uint8_t crc8(std::span<const uint8_t> bytes) {
  uint8_t crc = 0;
  for (uint8_t b : bytes) crc = crc8(crc, b);
  return crc;
}

uint16_t crc16(uint16_t crc, uint8_t byte) {
  crc ^= byte;
  for (int bit = 0; bit < 8; ++bit)
    crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
  return crc;
}

}  // namespace owbus
