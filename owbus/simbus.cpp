#include "simbus.h"

#include "ds2406.h"

namespace owbus {

namespace {
constexpr uint8_t kSearchRom = 0xF0;
constexpr uint8_t kAlarmSearch = 0xEC;

bool romBit(const Chip& chip, size_t bit) { return (chip.rom()[bit / 8] >> (bit % 8)) & 1; }
}  // namespace

Env SimBus::env() { return Env{clock_.nowUs, faults()}; }

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

ResetResult SimBus::reset() {
  bitSearch_ = {};
  Env e = env();
  clock_.nowUs += kResetUs;
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
  return presence ? ResetResult::Presence : ResetResult::NoPresence;
}

uint8_t SimBus::touch(uint8_t host) {
  // A byte in the middle of a search ends it: the chips in it already wait for a reset.
  bitSearch_ = {};
  std::vector<size_t> awaiting;
  for (size_t i = 0; i < chips.size(); ++i) {
    if (onBus(i) && chips[i]->awaitingRomCommand()) awaiting.push_back(i);
  }
  Env e = env();
  clock_.nowUs += kByteUs;
  uint8_t line = host;
  for (size_t i = 0; i < chips.size(); ++i) {
    if (onBus(i)) line &= chips[i]->touch(host, e);
  }
  settle(e);
  if (!awaiting.empty() && (host == kSearchRom || host == kAlarmSearch)) {
    bitSearch_.active = true;
    // None of the modelled chips raises an alarm, so an alarm search finds nobody.
    if (host == kSearchRom) bitSearch_.in = std::move(awaiting);
  }
  return line;
}

uint8_t SimBus::adapterTouch(uint8_t host) {
  uint8_t back = touch(host);
  // A Search ROM byte belongs to the search pass, which the faults of single bytes spare.
  if (bitSearch_.active) return back;
  if (host != 0xFF && faults().fire(Fault::EchoMismatch)) back ^= 0x01;
  if (host == 0xFF && faults().fire(Fault::FlipBit)) back ^= 0x01;
  return back;
}

void SimBus::endSearch(const std::vector<size_t>& in) {
  for (size_t i = 0; i < chips.size(); ++i) chips[i]->endSearch(!in.empty() && in.front() == i);
  if (!in.empty() && faults().fire(Fault::Vanish)) vanished_[in.front()] = true;
}

bool SimBus::touchBit(bool host) {
  clock_.nowUs += kSlotUs;
  BitSearch& s = bitSearch_;
  if (!s.active) return host;  // no modelled chip drives single slots outside a search
  switch (s.slot) {
    case 0:
    case 1: {
      bool line = host;
      for (size_t i : s.in) line = line && (romBit(*chips[i], s.bit) != (s.slot == 1));
      ++s.slot;
      return line;
    }
    default:
      std::erase_if(s.in, [&](size_t i) { return romBit(*chips[i], s.bit) != host; });
      s.slot = 0;
      if (++s.bit == 64) {
        const std::vector<size_t> in = std::move(s.in);
        s = {};
        endSearch(in);
      }
      return host;
  }
}

SimBus::Triplet SimBus::searchTriplet(bool preferred) {
  Triplet t{};
  t.bit = touchBit(true);
  t.complement = touchBit(true);
  t.direction = t.bit == t.complement ? (t.bit ? true : preferred) : t.bit;
  touchBit(t.direction);
  return t;
}

SearchPass SimBus::search(const Rom& preferred) {
  SearchPass pass;
  if (!answered(reset())) return pass;
  // The Search ROM command byte, then per ROM bit: bit, complement, direction.
  clock_.nowUs += kByteUs + 64 * 3 * kSlotUs;
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
  endSearch(in);
  pass.found = true;
  return pass;
}

}  // namespace owbus
