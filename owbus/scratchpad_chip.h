// What the scratchpad EEPROMs share: a write to an N-byte scratchpad row that the host
// reads back, then a copy authorised by TA1/TA2/E-S. The models differ in what a copy
// commits and in the rules around it.
#ifndef TEDSKIT_OWBUS_SCRATCHPAD_CHIP_H
#define TEDSKIT_OWBUS_SCRATCHPAD_CHIP_H

#include <array>

#include "base/onewire_commands.h"
#include "chip.h"
#include "crc.h"

namespace owbus {

template <size_t N>
class ScratchpadChip : public Chip {
 public:
  using Chip::Chip;

 protected:
  static constexpr uint8_t kWriteScratchpad = tedskit::base::onewire::kWriteScratchpad;
  static constexpr uint8_t kReadScratchpad = tedskit::base::onewire::kReadScratchpad;
  static constexpr uint8_t kCopyScratchpad = tedskit::base::onewire::kCopyScratchpad;
  static constexpr uint8_t kReadMemory = tedskit::base::onewire::kReadMemory;
  static constexpr uint8_t kAaFlag = 0x80;
  static constexpr uint8_t kPfFlag = 0x20;
  static constexpr size_t kLastOffset = N - 1;

  void startFunction() override {
    command_ = 0;
    pos_ = 0;
  }

  void beginCommand(uint8_t host) {
    command_ = host;
    crc_ = crc16(0, host);
  }
  void takeAddress(uint8_t host, size_t pos) {
    address_ = pos == 0 ? host : static_cast<uint16_t>((address_ & 0xFF) | (host << 8));
  }
  // TA1 and TA2 of a scratchpad write; true once both are in.
  bool takeWriteAddress(uint8_t host, size_t pos) {
    takeAddress(host, pos);
    crc_ = crc16(crc_, host);
    if (pos != 1) return false;
    target_ = address_;
    offset_ = target_ & kLastOffset;
    es_ = static_cast<uint8_t>(kPfFlag | offset_);
    return true;
  }
  void writeScratchpad(uint8_t host) {
    if (offset_ >= scratchpad_.size()) return;  // past the row: ignored
    scratchpad_[offset_] = host;
    crc_ = crc16(crc_, host);
    es_ = static_cast<uint8_t>(offset_);
    if (++offset_ == scratchpad_.size()) queueCrc(crc_);
  }
  // Sends TA1, TA2, E/S and the written part of the row; returns the CRC-16 over the
  // command and all of that, for the models that send it.
  uint16_t queueReadScratchpad(uint8_t command) {
    uint16_t crc = crc16(0, command);
    auto send = [&](uint8_t b) {
      crc = crc16(crc, b);
      queue(b);
    };
    send(static_cast<uint8_t>(target_ & 0xFF));
    send(static_cast<uint8_t>(target_ >> 8));
    send(es_);
    for (size_t i = target_ & kLastOffset; i <= static_cast<size_t>(es_ & kLastOffset); ++i)
      send(scratchpad_[i]);
    return crc;
  }
  // A byte after Copy Scratchpad: the three authorisation bytes, then, after a copy, the
  // chip programs for tPROG and toggles the line endlessly.
  uint8_t copyCommandByte(uint8_t host, size_t pos, Env& env) {
    if (pos < auth_.size()) {
      auth_[pos] = host;
      if (pos == auth_.size() - 1) copyScratchpad(env);
      return 0xFF;
    }
    return copied_ && !programming(env) ? 0xAA : 0xFF;
  }
  bool authorised() const {
    return auth_[0] == (target_ & 0xFF) && auth_[1] == (target_ >> 8) && auth_[2] == es_;
  }
  void finishCopy(Env& env, uint64_t tprogUs) {
    es_ |= kAaFlag;
    copied_ = true;
    startProgramming(env, tprogUs);
  }
  virtual void copyScratchpad(Env& env) = 0;

  std::array<uint8_t, N> scratchpad_{};
  uint16_t target_ = 0;  // TA2:TA1 of the last scratchpad write
  uint8_t es_ = 0;       // E/S: AA bit 7, PF bit 5, ending offset in the low bits
  uint8_t command_ = 0;
  size_t pos_ = 0;        // bytes received after the command byte
  uint16_t address_ = 0;  // TA2:TA1 as received by the current command
  size_t offset_ = 0;     // next scratchpad offset of a write
  uint16_t crc_ = 0;
  std::array<uint8_t, 3> auth_{};
  bool copied_ = false;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_SCRATCHPAD_CHIP_H
