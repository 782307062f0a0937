#include "ds2431.h"

namespace owbus {

namespace {
constexpr uint8_t kProtect = 0x55;
constexpr uint8_t kEpromMode = 0xAA;
constexpr uint64_t kTprogUs = 10'000;

bool isProtectionCode(uint8_t b) { return b == kProtect || b == kEpromMode; }
}  // namespace

Ds2431::Ds2431(const Serial& serial) : ScratchpadChip(kFamily, serial) {
  map_.fill(0xFF);
  for (uint16_t a = kPageProtection; a <= kCopyProtection; ++a) map_[a] = 0x00;
  map_[kFactoryByte] = 0xAA;
}

uint8_t Ds2431::function(uint8_t host, Env& env) {
  if (command_ == 0) {
    switch (host) {
      case kWriteScratchpad:
      case kCopyScratchpad:
      case kReadMemory:
        beginCommand(host);
        break;
      case kReadScratchpad:
        command_ = host;
        queueCrc(queueReadScratchpad(host));
        break;
      default:
        ignoreUntilReset();
    }
    pos_ = 0;
    copied_ = false;
    return 0xFF;
  }
  const size_t pos = pos_++;
  switch (command_) {
    case kReadMemory:
      if (pos < 2) takeAddress(host, pos);
      if (pos == 1) {
        for (size_t a = address_; a < kMapSize; ++a) queue(map_[a]);
      }
      return 0xFF;
    case kWriteScratchpad:
      if (pos < 2) {
        takeWriteAddress(host, pos);
      } else {
        writeScratchpad(host);
      }
      return 0xFF;
    case kCopyScratchpad:
      return copyCommandByte(host, pos, env);
    default:
      return 0xFF;
  }
}

void Ds2431::copyScratchpad(Env& env) {
  const bool fullRow = (target_ & 7) == 0 && (es_ & 7) == 7 && (es_ & kPfFlag) == 0;
  if (!authorised() || !fullRow || target_ >= kMapSize || env.faults.fire(Fault::CopyFail)) return;
  commitRow();
  finishCopy(env, kTprogUs);
}

uint8_t Ds2431::protectedByte(uint16_t address, uint8_t data) const {
  const uint8_t old = map_[address];
  if (address < kPageProtection) {
    const uint8_t mode = map_[kPageProtection + address / 32];
    if (mode == kProtect) return old;
    if (mode == kEpromMode) return old & data;  // bits only go from 1 to 0
    return data;
  }
  if (isProtectionCode(map_[kCopyProtection]) || address == kFactoryByte || address >= kUserId + 2)
    return old;
  if (address <= kCopyProtection && isProtectionCode(old)) return old;  // set for good
  return data;
}

void Ds2431::commitRow() {
  const uint16_t row = static_cast<uint16_t>(target_ & ~7u);
  for (uint16_t i = 0; i < 8; ++i)
    map_[row + i] = protectedByte(static_cast<uint16_t>(row + i), scratchpad_[i]);
}

}  // namespace owbus
