#include "ds2430a.h"

#include "base/onewire_commands.h"

namespace owbus {

namespace {
using namespace tedskit::base::onewire;
constexpr uint64_t kTprogUs = 10'000;
}  // namespace

void Ds2430a::load(const std::array<uint8_t, 8>& reg, bool locked) {
  register_ = reg;
  registerPad_ = reg;
  locked_ = locked;
}

uint8_t Ds2430a::function(uint8_t host, Env& env) {
  if (command_ == 0) {
    switch (host) {
      case kWriteScratchpad:
      case kReadScratchpad:
      case kCopyScratchpad:
      case kReadMemory:
      case kWriteRegister:
      case kReadStatus:
      case kReadRegister:
      case kCopyAndLock:
        command_ = host;
        pos_ = 0;
        break;
      default:
        ignoreUntilReset();
    }
    return 0xFF;
  }
  const size_t pos = pos_++;
  if (pos == 0) {
    // Address byte, or the validation key of the copy and status commands.
    address_ = host;
    switch (command_) {
      case kReadMemory:
        scratchpad_ = eeprom_;
        break;
      case kCopyScratchpad:
        if (host != kCopyKey) {
          ignoreUntilReset();
          break;
        }
        if (!env.faults.fire(Fault::CopyFail)) eeprom_ = scratchpad_;
        startProgramming(env, kTprogUs);
        break;
      case kCopyAndLock:
        if (host != kCopyKey) {
          ignoreUntilReset();
          break;
        }
        if (!locked_ && !env.faults.fire(Fault::CopyFail)) {
          register_ = registerPad_;
          locked_ = true;
        }
        startProgramming(env, kTprogUs);
        break;
      case kReadStatus:
        if (host != kStatusKey) ignoreUntilReset();
        break;
      default:
        break;
    }
    return 0xFF;
  }
  const size_t index = address_ + pos - 1;
  switch (command_) {
    case kWriteScratchpad:
      scratchpad_[index % 32] = host;
      return 0xFF;
    case kReadScratchpad:
    case kReadMemory:
      return scratchpad_[index % 32];
    case kWriteRegister:
      if (!locked_) {
        registerPad_[index % 8] = host;
        env.dirty = true;
      }
      return 0xFF;
    case kReadRegister:
      return applicationRegister()[index % 8];
    case kReadStatus:
      if (pos == 1) return locked_ ? 0xFC : 0xFF;
      return 0xFF;
    default:
      return 0xFF;
  }
}

}  // namespace owbus
