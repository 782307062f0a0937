// The DS2480B serial 1-Wire line driver's byte protocol, shared by the back end, the
// emulator and their tests: command and configuration bytes, their answers, and the
// packing of a search-accelerator pass.
#ifndef TEDSKIT_OWBUS_DS2480B_PROTOCOL_H
#define TEDSKIT_OWBUS_DS2480B_PROTOCOL_H

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "wire.h"

namespace owbus::ds2480b {

// Mode bytes (no answer). In data mode a doubled kCommandMode is one data byte E3h.
inline constexpr uint8_t kDataMode = 0xE1;
inline constexpr uint8_t kCommandMode = 0xE3;
inline constexpr uint8_t kPulseEnd = 0xF1;

// Speed bits (3-2) of a command byte.
enum class Speed : uint8_t { Regular = 0x00, Flexible = 0x04, Overdrive = 0x08 };

// Command bytes: bit 7 set, function in bits 6-5, bit 0 set.
inline constexpr uint8_t kFunctionMask = 0xE1;
inline constexpr uint8_t kSingleBit = 0x81;    // bit 4: the bit to write
inline constexpr uint8_t kAccelerator = 0xA1;  // bit 4: on (B1h) or off (A1h); no answer
inline constexpr uint8_t kReset = 0xC1;
// Pulse commands are 111T11Q1b: not the speed layout of the others.
inline constexpr bool isPulse(uint8_t b) { return (b & 0xED) == 0xED; }

inline constexpr uint8_t command(uint8_t function, Speed speed, bool value = false) {
  return static_cast<uint8_t>(function | static_cast<uint8_t>(speed) | (value ? 0x10 : 0x00));
}
inline constexpr bool isCommand(uint8_t b) { return (b & 0x81) == 0x81; }
inline constexpr bool isConfiguration(uint8_t b) { return (b & 0x81) == 0x01; }

// Configuration parameters (bits 6-4 of a write, bits 3-1 of a read).
enum class Parameter : uint8_t {
  SlewRate = 1,
  ProgrammingPulse = 2,
  PullupDuration = 3,
  Write1LowTime = 4,
  SampleOffset = 5,
  LoadThreshold = 6,
  BaudRate = 7
};
inline constexpr uint8_t writeParameter(Parameter p, uint8_t value) {
  return static_cast<uint8_t>((static_cast<uint8_t>(p) << 4) | ((value & 7) << 1) | 1);
}
inline constexpr uint8_t readParameter(Parameter p) {
  return static_cast<uint8_t>((static_cast<uint8_t>(p) << 1) | 1);
}
// A write is answered by its own byte with bit 0 cleared; a read by the value in bits 3-1.
inline constexpr uint8_t writeAnswer(uint8_t configByte) { return static_cast<uint8_t>(configByte & 0xFE); }
inline constexpr uint8_t readAnswer(uint8_t value) { return static_cast<uint8_t>((value & 7) << 1); }

// The settings the back end uses for flexible speed: slew rate 1.37 V/us, write-1 low
// time 10 us, sample offset 8 us.
inline constexpr uint8_t kSlewCode = 3;
inline constexpr uint8_t kWrite1LowCode = 2;
inline constexpr uint8_t kSampleOffsetCode = 5;

// Baud-rate codes of parameter 7 (4-7: the same with the receive line inverted).
inline constexpr std::array<int, 4> kBaudRates{9600, 19200, 57600, 115200};
std::optional<uint8_t> baudCode(int baud);

// The answer to a reset command: bits 7-6 set, bit 5 programming voltage present, bits
// 4-2 the chip revision, bits 1-0 the bus state.
struct ResetAnswer {
  ResetResult result;
  int revision;
  bool programmingVoltage;
};
std::optional<ResetAnswer> decodeResetAnswer(uint8_t answer);
uint8_t encodeResetAnswer(ResetResult result, int revision, bool programmingVoltage);
// The answer to a single-bit command: the command's bits 7-2 with the bit read in 1-0.
inline constexpr uint8_t singleBitAnswer(uint8_t cmd, bool bit) {
  return static_cast<uint8_t>((cmd & 0xFC) | (bit ? 0x03 : 0x00));
}

// Data bytes as they go out in data mode: every E3h doubled.
void appendData(std::vector<uint8_t>& out, std::span<const uint8_t> data);

// A search-accelerator pass: 16 bytes out carry the preferred direction of ROM bit n in
// bit 2n+1; 16 bytes back carry the discrepancy of bit n in bit 2n and the chosen ROM
// bit in bit 2n+1.
std::array<uint8_t, 16> packSearch(const Rom& preferred);
SearchPass unpackSearch(std::span<const uint8_t, 16> answer);
// The preferred direction of ROM bit n from the 16 bytes out; and an answer built bit
// by bit (the emulator's side).
bool preferredBit(std::span<const uint8_t, 16> request, size_t bit);
void setAnswerBit(std::span<uint8_t, 16> answer, size_t bit, bool discrepancy, bool chosen);

}  // namespace owbus::ds2480b

#endif  // TEDSKIT_OWBUS_DS2480B_PROTOCOL_H
