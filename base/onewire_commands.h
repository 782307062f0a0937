// The command bytes of the 1-Wire chips, as the bus master sends them and the chip
// models answer them.
#ifndef TEDSKIT_BASE_ONEWIRE_COMMANDS_H
#define TEDSKIT_BASE_ONEWIRE_COMMANDS_H

#include <cstdint>

namespace tedskit::base::onewire {

// ROM commands, after a reset.
inline constexpr uint8_t kReadRom = 0x33;
inline constexpr uint8_t kMatchRom = 0x55;
inline constexpr uint8_t kSkipRom = 0xCC;
inline constexpr uint8_t kResume = 0xA5;

// Memory commands of the EEPROM chips (DS2430A, DS2431, DS2433, DS28EC20).
inline constexpr uint8_t kReadMemory = 0xF0;
inline constexpr uint8_t kWriteScratchpad = 0x0F;
inline constexpr uint8_t kReadScratchpad = 0xAA;
inline constexpr uint8_t kCopyScratchpad = 0x55;

// DS2430A: the key of its copy commands, and its application register and status.
inline constexpr uint8_t kCopyKey = 0xA5;
inline constexpr uint8_t kWriteRegister = 0x99;
inline constexpr uint8_t kReadRegister = 0xC3;
inline constexpr uint8_t kCopyAndLock = 0x5A;
inline constexpr uint8_t kReadStatus = 0x66;
inline constexpr uint8_t kStatusKey = 0x00;

// DS2406 channel switch.
inline constexpr uint8_t kDs2406WriteStatus = 0x55;
inline constexpr uint8_t kDs2406ReadStatus = 0xAA;

}  // namespace tedskit::base::onewire

#endif  // TEDSKIT_BASE_ONEWIRE_COMMANDS_H
