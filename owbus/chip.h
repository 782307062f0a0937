// A chip model on the simulated bus: the ROM function layer every 1-Wire slave shares,
// with the memory function layer left to each model.
#ifndef TEDSKIT_OWBUS_CHIP_H
#define TEDSKIT_OWBUS_CHIP_H

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "runtime.h"
#include "wire.h"

namespace owbus {

using Serial = std::array<uint8_t, 6>;

// What a chip sees of the bus while it handles one bus event.
struct Env {
  uint64_t nowUs;
  Faults& faults;
  bool dirty = false;  // set when non-volatile state changed and must be saved
};

// The inverted CRC-16 a chip sends after data, low byte first.
inline uint8_t crcByte(uint16_t crc, size_t index) {
  const uint16_t inverted = static_cast<uint16_t>(~crc);
  return static_cast<uint8_t>(index == 0 ? inverted & 0xFF : inverted >> 8);
}

class Chip {
 public:
  Chip(uint8_t family, const Serial& serial);
  virtual ~Chip() = default;
  Chip(const Chip&) = delete;
  Chip& operator=(const Chip&) = delete;

  const Rom& rom() const { return rom_; }
  void setIdentity(uint8_t family, const Serial& serial);
  virtual std::string_view typeName() const = 0;
  virtual uint8_t defaultFamily() const = 0;
  // The non-volatile memory map as the chip addresses it.
  virtual std::span<uint8_t> memory() = 0;
  // false for a chip that belongs to an emulated adapter and not to the bus file.
  virtual bool persistent() const { return true; }

  // Switch channel the chip sits behind: 0 for none (always on the bus), else 1 to 3.
  int channel = 0;

  // Bus reset; true when the chip answers with a presence pulse.
  bool reset(Env& env);
  // One byte slot group: the host sends `host`; returns what the chip drives (FFh: released).
  uint8_t touch(uint8_t host, Env& env);
  bool awaitingRomCommand() const { return layer_ == Layer::RomCommand; }
  // Search ROM ended: the chip that stayed in is selected, the others wait for a reset.
  void endSearch(bool won);

 protected:
  // A new function command follows (the chip was just selected).
  virtual void startFunction() = 0;
  virtual uint8_t function(uint8_t host, Env& env) = 0;
  virtual bool hasResume() const { return false; }

  void ignoreUntilReset() { layer_ = Layer::Idle; }
  // Bytes the chip sends next, before it listens again.
  void queue(uint8_t byte) { out_.push_back(byte); }
  void queueCrc(uint16_t crc) {
    queue(crcByte(crc, 0));
    queue(crcByte(crc, 1));
  }
  // EEPROM programming: the chip is silent, and deaf to resets, for tPROG.
  void startProgramming(Env& env, uint64_t tprogUs);
  bool programming(const Env& env) const { return env.nowUs < busyUntilUs_; }

 private:
  enum class Layer { RomCommand, MatchRom, ReadRom, Function, Idle };
  void enterFunction();
  Layer layer_ = Layer::Idle;
  Rom rom_{};
  size_t romPos_ = 0;
  bool matched_ = true;
  bool resumable_ = false;
  uint64_t busyUntilUs_ = 0;
  std::vector<uint8_t> out_;
  size_t outPos_ = 0;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_CHIP_H
