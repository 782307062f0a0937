// The DS2490 USB 1-Wire bridge's command set as the back end and the emulator use it:
// vendor requests on endpoint 0, the status packet of endpoint 1, FIFO sizes.
#ifndef TEDSKIT_OWBUS_DS2490_PROTOCOL_H
#define TEDSKIT_OWBUS_DS2490_PROTOCOL_H

#include <cstddef>
#include <cstdint>
#include <span>

namespace owbus::ds2490 {

inline constexpr uint16_t kVendorId = 0x04FA;
inline constexpr uint16_t kProductId = 0x2490;
inline constexpr int kInterface = 0;
inline constexpr int kAltSetting = 3;  // 1 ms status polling, 64-byte bulk packets
inline constexpr uint8_t kStatusEndpoint = 0x81;
inline constexpr uint8_t kBulkOutEndpoint = 0x02;
inline constexpr uint8_t kBulkInEndpoint = 0x83;
inline constexpr size_t kFifoSize = 128;
inline constexpr size_t kStatusPacketMax = 32;
inline constexpr size_t kStatusRegisters = 16;
// The adapter's own ID chip, which every search of a DS9490R meets.
inline constexpr uint8_t kIdChipFamily = 0x81;

// bRequest of the vendor requests.
inline constexpr uint8_t kControlRequest = 0x00;
inline constexpr uint8_t kCommRequest = 0x01;
inline constexpr uint8_t kModeRequest = 0x02;

// CONTROL commands (wValue).
inline constexpr uint16_t kResetDevice = 0x0000;
inline constexpr uint16_t kStartExe = 0x0001;
inline constexpr uint16_t kFlushReceive = 0x0008;
inline constexpr uint16_t kFlushTransmit = 0x0009;

// MODE settings (wValue; wIndex the value).
inline constexpr uint16_t kModeEnablePulse = 0x0000;
inline constexpr uint16_t kModeSpeed = 0x0002;
inline constexpr uint16_t kModeSlewRate = 0x0004;
inline constexpr uint16_t kModeWrite1Low = 0x0006;
inline constexpr uint16_t kModeSampleOffset = 0x0007;
inline constexpr size_t kModeCount = 8;

// COMM commands: the command in bits 7-4 of wValue, flags around it.
inline constexpr uint16_t kCommBitIo = 0x0020;
inline constexpr uint16_t kCommReset = 0x0042;
inline constexpr uint16_t kCommByteIo = 0x0052;
inline constexpr uint16_t kCommBlockIo = 0x0074;
inline constexpr uint16_t commandOf(uint16_t value) { return value & 0x00F0; }
inline constexpr uint16_t kFlagImmediate = 0x0001;   // IM: run now, not at START EXE
inline constexpr uint16_t kFlagBitValue = 0x0008;    // D of BIT I/O
inline constexpr uint16_t kFlagResetFirst = 0x0100;  // RST
inline constexpr uint16_t kFlagNoResult = 0x0200;    // ICP: no read-back, no result
inline constexpr uint16_t kFlagNotify = 0x0400;      // NTF: a result byte even on success

// Settings of the back end: flexible speed, 1.37 V/us, 10 us write-1 low, 8 us offset.
inline constexpr uint16_t kSpeedFlexible = 1;
inline constexpr uint16_t kSlewCode = 3;
inline constexpr uint16_t kWrite1LowCode = 2;
inline constexpr uint16_t kSampleOffsetCode = 5;
inline constexpr uint16_t kAllowStrongPullup = 0x02;

// Status packet: 16 register bytes, then one result byte per finished command that
// reported.
inline constexpr size_t kStatusFlags = 8;
inline constexpr size_t kCommandLow = 9;
inline constexpr size_t kCommandHigh = 10;
inline constexpr size_t kEp2Count = 12;
inline constexpr size_t kEp3Count = 13;
inline constexpr uint8_t kFlagIdle = 0x20;
inline constexpr uint8_t kFlagEp0Overflow = 0x80;

// Result bytes.
inline constexpr uint8_t kResultNewDevice = 0xA5;  // not an error
inline constexpr uint8_t kResultNoPresence = 0x01;
inline constexpr uint8_t kResultShort = 0x02;
inline constexpr uint8_t kResultAlarm = 0x04;

// A status packet as read, checked for its size.
struct Status {
  std::span<const uint8_t> registers;  // 16 bytes
  std::span<const uint8_t> results;
  bool idle() const { return (registers[kStatusFlags] & kFlagIdle) != 0; }
  bool overflowed() const { return (registers[kStatusFlags] & kFlagEp0Overflow) != 0; }
  size_t waitingIn() const { return registers[kEp3Count]; }
};
inline bool parseStatus(std::span<const uint8_t> packet, Status& out) {
  if (packet.size() < kStatusRegisters || packet.size() > kStatusPacketMax) return false;
  out = Status{packet.first(kStatusRegisters), packet.subspan(kStatusRegisters)};
  return true;
}

}  // namespace owbus::ds2490

#endif  // TEDSKIT_OWBUS_DS2490_PROTOCOL_H
