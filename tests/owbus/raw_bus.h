// Talks to the configured bus through the adapter calls, byte by byte, as a data sheet's
// examples do.
#ifndef TEDSKIT_TESTS_OWBUS_RAW_BUS_H
#define TEDSKIT_TESTS_OWBUS_RAW_BUS_H

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "tedskit/owbus.h"

class RawBus {
 public:
  RawBus() : handle(TMExtendedStartSession(1, 5, nullptr)) {}
  ~RawBus() {
    TMClose(handle);
    TMEndSession(handle);
  }
  RawBus(const RawBus&) = delete;
  RawBus& operator=(const RawBus&) = delete;

  bool reset() { return TMTouchReset(handle) == OWBUS_RESET_PRESENCE; }
  void send(std::initializer_list<int> bytes) {
    for (int b : bytes) TMTouchByte(handle, static_cast<int16_t>(b));
  }
  void send(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) TMTouchByte(handle, b);
  }
  std::vector<uint8_t> read(size_t n) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(TMTouchByte(handle, 0xFF)));
    return out;
  }
  uint8_t read() { return read(1)[0]; }
  // Reset and Skip ROM: the one chip on the bus listens for a function command.
  void skipRom() {
    reset();
    send({0xCC});
  }

  int32_t handle;
};

// The running CRC-16 over bytes, as a host checks what a chip sent.
inline uint16_t crc16Of(const std::vector<uint8_t>& bytes) {
  return TMCRC(static_cast<int16_t>(bytes.size()), bytes.data(), 0, OWBUS_CRC16);
}

inline std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

#endif  // TEDSKIT_TESTS_OWBUS_RAW_BUS_H
