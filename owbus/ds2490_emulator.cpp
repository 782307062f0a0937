#include "ds2490_emulator.h"

#include <algorithm>

#include "backend.h"

namespace owbus {

namespace {

using namespace ds2490;

class AdapterIdChip final : public Chip {
 public:
  AdapterIdChip() : Chip(kIdChipFamily, Serial{0x49, 0x90, 0x24, 0x00, 0x00, 0x00}) {}
  std::string_view typeName() const override { return "adapter ID"; }
  uint8_t defaultFamily() const override { return kIdChipFamily; }
  std::span<uint8_t> memory() override { return {}; }
  bool persistent() const override { return false; }

 protected:
  void startFunction() override {}
  uint8_t function(uint8_t, Env&) override {
    ignoreUntilReset();
    return 0xFF;
  }
};

// Status polls a command shows as running, so that a host must poll for the end.
constexpr int kBusyPolls = 1;

}  // namespace

std::unique_ptr<Chip> makeAdapterIdChip() { return std::make_unique<AdapterIdChip>(); }

Ds2490Emulator::Ds2490Emulator(SimBus& bus, const Clock& host) : bus_(bus), host_(host) { resetDevice(); }

void Ds2490Emulator::resetDevice() {
  modes_.fill(0);
  ep2_.clear();
  ep3_.clear();
  results_.clear();
  queued_.clear();
  overflowed_ = false;
  busyPolls_ = 0;
  running_ = 0;
}

void Ds2490Emulator::control(uint8_t request, uint16_t value, uint16_t index) {
  switch (request) {
    case kControlRequest:
      if (value == kResetDevice) {
        resetDevice();
      } else if (value == kStartExe) {
        auto queued = std::move(queued_);
        queued_.clear();
        for (const auto& c : queued) run(c[0], c[1]);
      } else if (value == kFlushReceive) {
        ep3_.clear();
      } else if (value == kFlushTransmit) {
        ep2_.clear();
      }
      return;
    case kModeRequest:
      if (value < modes_.size()) modes_[value] = index;
      return;
    case kCommRequest:
      if (overflowed_) return;  // deaf until RESET DEVICE
      if (value & kFlagImmediate) {
        run(value, index);
      } else if (queued_.size() < 16) {
        queued_.push_back({value, index});
      } else {
        overflowed_ = true;
      }
      return;
    default:
      throw AdapterError("DS2490 emulator: unknown request " + std::to_string(request));
  }
}

void Ds2490Emulator::answer(uint8_t byte) {
  // A lost answer never reaches the FIFO.
  if (faults().fire(Fault::LostAnswer)) return;
  if (ep3_.size() < kFifoSize) ep3_.push_back(byte);
}

void Ds2490Emulator::run(uint16_t value, uint16_t index) {
  bus_.clock().nowUs = std::max(bus_.clock().nowUs, host_.nowUs);
  running_ = value;
  busyPolls_ = kBusyPolls;
  const bool readBack = (value & kFlagNoResult) == 0;
  if ((value & kFlagResetFirst) && commandOf(value) != commandOf(kCommReset)) bus_.reset();
  switch (commandOf(value)) {
    case commandOf(kCommReset): {
      const ResetResult r = bus_.reset();
      if (r == ResetResult::NoPresence) {
        results_.push_back(kResultNoPresence);
      } else if (value & kFlagNotify) {
        results_.push_back(0x00);
      }
      return;
    }
    case commandOf(kCommByteIo): {
      const uint8_t back = bus_.adapterTouch(static_cast<uint8_t>(index & 0xFF));
      if (readBack) answer(back);
      return;
    }
    case commandOf(kCommBlockIo):
      for (uint16_t i = 0; i < index && !ep2_.empty(); ++i) {
        const uint8_t out = ep2_.front();
        ep2_.pop_front();
        const uint8_t back = bus_.adapterTouch(out);
        if (readBack) answer(back);
      }
      return;
    case commandOf(kCommBitIo): {
      const bool back = bus_.touchBit((value & kFlagBitValue) != 0);
      if (readBack) answer(back ? 1 : 0);
      return;
    }
    default:
      return;  // commands the back end never sends do nothing here
  }
}

void Ds2490Emulator::bulkOut(std::span<const uint8_t> bytes) {
  if (ep2_.size() + bytes.size() > kFifoSize) throw AdapterError("DS2490: the EP2 FIFO is full");
  ep2_.insert(ep2_.end(), bytes.begin(), bytes.end());
}

size_t Ds2490Emulator::bulkIn(std::span<uint8_t> into) {
  if (into.size() < ep3_.size()) {
    ep3_.clear();
    throw AdapterError("DS2490: a bulk read shorter than the waiting bytes emptied the EP3 FIFO");
  }
  const size_t n = ep3_.size();
  std::copy(ep3_.begin(), ep3_.end(), into.begin());
  ep3_.clear();
  return n;
}

size_t Ds2490Emulator::readStatus(std::span<uint8_t> into) {
  if (into.size() < kStatusRegisters) return 0;
  std::fill(into.begin(), into.begin() + kStatusRegisters, 0);
  into[1] = static_cast<uint8_t>(modes_[kModeSpeed]);
  into[4] = static_cast<uint8_t>(modes_[kModeSlewRate]);
  into[5] = static_cast<uint8_t>(modes_[kModeWrite1Low]);
  into[6] = static_cast<uint8_t>(modes_[kModeSampleOffset]);
  // A garbled packet claims the overflow that only RESET DEVICE clears.
  if (faults().fire(Fault::GarbledAnswer)) overflowed_ = true;
  const bool busy = busyPolls_ > 0;
  if (busy) {
    --busyPolls_;
    into[kCommandLow] = static_cast<uint8_t>(running_ & 0xFF);
    into[kCommandHigh] = static_cast<uint8_t>(running_ >> 8);
  }
  into[kStatusFlags] = static_cast<uint8_t>((busy ? 0 : kFlagIdle) | (overflowed_ ? kFlagEp0Overflow : 0));
  into[kEp2Count] = static_cast<uint8_t>(ep2_.size());
  into[kEp3Count] = static_cast<uint8_t>(busy ? 0 : ep3_.size());
  size_t n = kStatusRegisters;
  if (!busy) {
    const size_t room = std::min(into.size(), kStatusPacketMax) - n;
    const size_t count = std::min(room, results_.size());
    std::copy_n(results_.begin(), count, into.begin() + static_cast<std::ptrdiff_t>(n));
    results_.erase(results_.begin(), results_.begin() + static_cast<std::ptrdiff_t>(count));
    n += count;
  }
  return n;
}

}  // namespace owbus
