// The simulated 1-Wire bus: its chips share the line as a wired AND, take time on a
// clock (the process's virtual clock unless an emulated adapter brings its own), and
// suffer the faults switched on.
#ifndef TEDSKIT_OWBUS_SIMBUS_H
#define TEDSKIT_OWBUS_SIMBUS_H

#include <memory>
#include <vector>

#include "chip.h"
#include "runtime.h"

namespace owbus {

class SimBus {
 public:
  explicit SimBus(Clock& clock = owbus::clock()) : clock_(clock) {}

  std::vector<std::unique_ptr<Chip>> chips;

  ResetResult reset();
  uint8_t touch(uint8_t host);
  // touch() as an adapter reads it back, with the faults that strike the slots there.
  uint8_t adapterTouch(uint8_t host);
  // One time slot: the host writes `host` (1: a read slot); returns the line's level.
  // After a Search ROM byte the slots run the ROM search bit by bit.
  bool touchBit(bool host);
  // One ROM bit of a search in three slots: the bit, its complement, then the direction
  // written (preferred at a discrepancy, else the bit the devices agree on, 1 when none
  // answered).
  struct Triplet {
    bool bit;
    bool complement;
    bool direction;
  };
  Triplet searchTriplet(bool preferred);
  SearchPass search(const Rom& preferred);

  // Set when a chip's non-volatile state changed since the last clearDirty().
  bool dirty() const { return dirty_; }
  void clearDirty() { dirty_ = false; }
  Clock& clock() { return clock_; }

 private:
  bool onBus(size_t index);
  Env env();
  void settle(const Env& e) { dirty_ = dirty_ || e.dirty; }
  void endSearch(const std::vector<size_t>& in);

  // A Search ROM driven slot by slot.
  struct BitSearch {
    bool active = false;
    size_t bit = 0;
    int slot = 0;  // 0 bit, 1 complement, 2 direction
    std::vector<size_t> in;
  };

  Clock& clock_;
  std::vector<bool> vanished_;
  uint64_t faultEpoch_ = 0;
  bool dirty_ = false;
  BitSearch bitSearch_;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_SIMBUS_H
