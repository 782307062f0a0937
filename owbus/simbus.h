// The simulated 1-Wire bus: its chips share the line as a wired AND, take time on the
// virtual clock, and suffer the faults switched on.
#ifndef TEDSKIT_OWBUS_SIMBUS_H
#define TEDSKIT_OWBUS_SIMBUS_H

#include <memory>
#include <vector>

#include "chip.h"
#include "runtime.h"

namespace owbus {

class SimBus {
 public:
  std::vector<std::unique_ptr<Chip>> chips;

  // true when a presence pulse answered.
  bool reset();
  uint8_t touch(uint8_t host);
  SearchPass search(const Rom& preferred);

  // Set when a chip's non-volatile state changed since the last clearDirty().
  bool dirty() const { return dirty_; }
  void clearDirty() { dirty_ = false; }

 private:
  bool onBus(size_t index);
  Env env();
  void settle(const Env& e) { dirty_ = dirty_ || e.dirty; }

  std::vector<bool> vanished_;
  uint64_t faultEpoch_ = 0;
  bool dirty_ = false;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_SIMBUS_H
