#include "simbus.h"

#include "ds2406.h"

namespace owbus {

Env SimBus::env() { return Env{clock().nowUs, faults()}; }

bool SimBus::onBus(size_t index) {
  if (vanished_.size() != chips.size() || faultEpoch_ != faults().epoch()) {
    vanished_.assign(chips.size(), false);
    faultEpoch_ = faults().epoch();
  }
  if (vanished_[index]) return false;
  const int channel = chips[index]->channel;
  if (channel == 0) return true;
  // A chip behind a multiplexed cable answers only while the first switch selects it.
  for (size_t i = 0; i < chips.size(); ++i) {
    if (auto* sw = dynamic_cast<Ds2406*>(chips[i].get()); sw && chips[i]->channel == 0)
      return sw->selectedChannel() == channel;
  }
  return false;
}

bool SimBus::reset() {
  Env e = env();
  clock().nowUs += kResetUs;
  const bool dead = faults().fire(Fault::NoPresence);
  bool presence = false;
  for (size_t i = 0; i < chips.size(); ++i) {
    if (!dead && onBus(i)) {
      presence = chips[i]->reset(e) || presence;
    } else {
      chips[i]->endSearch(false);  // not reached by the reset: stays silent
    }
  }
  settle(e);
  return presence;
}

uint8_t SimBus::touch(uint8_t host) {
  Env e = env();
  clock().nowUs += kByteUs;
  uint8_t line = host;
  for (size_t i = 0; i < chips.size(); ++i) {
    if (onBus(i)) line &= chips[i]->touch(host, e);
  }
  settle(e);
  return line;
}

SearchPass SimBus::search(const Rom& preferred) {
  SearchPass pass;
  if (!reset()) return pass;
  // The Search ROM command byte, then per ROM bit: bit, complement, direction.
  clock().nowUs += kByteUs + 64 * 3 * kSlotUs;
  std::vector<size_t> in;
  for (size_t i = 0; i < chips.size(); ++i) {
    if (onBus(i) && chips[i]->awaitingRomCommand()) in.push_back(i);
  }
  for (size_t bit = 0; bit < 64; ++bit) {
    const size_t byte = bit / 8;
    const uint8_t mask = static_cast<uint8_t>(1u << (bit % 8));
    bool anyZero = false;
    bool anyOne = false;
    for (size_t i : in) (chips[i]->rom()[byte] & mask ? anyOne : anyZero) = true;
    if (!anyZero && !anyOne) return SearchPass{};
    bool direction = anyOne;
    if (anyZero && anyOne) {
      pass.discrepancy[bit] = true;
      direction = (preferred[byte] & mask) != 0;
    }
    if (direction) pass.rom[byte] |= mask;
    std::erase_if(in, [&](size_t i) { return ((chips[i]->rom()[byte] & mask) != 0) != direction; });
  }
  for (size_t i = 0; i < chips.size(); ++i) chips[i]->endSearch(!in.empty() && in.front() == i);
  pass.found = true;
  if (!in.empty() && faults().fire(Fault::Vanish)) vanished_[in.front()] = true;
  return pass;
}

}  // namespace owbus
