#include "runtime.h"

namespace owbus {

bool Faults::set(int32_t kind, int32_t skip, int32_t count) {
  if (kind < static_cast<int32_t>(Fault::NoPresence) || kind > kLastFault || skip < 0) return false;
  switches_[static_cast<std::size_t>(kind)] = Switch{skip, count < 0 ? -1 : count};
  return true;
}

bool Faults::fire(Fault fault) {
  Switch& s = switches_[static_cast<std::size_t>(fault)];
  if (s.count == 0) return false;
  if (s.skip > 0) {
    --s.skip;
    return false;
  }
  if (s.count > 0) --s.count;
  return true;
}

void Faults::clear() {
  switches_ = {};
  ++epoch_;
}

Clock& clock() {
  static Clock instance;
  return instance;
}

Faults& faults() {
  static Faults instance;
  return instance;
}

}  // namespace owbus
