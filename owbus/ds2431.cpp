#include "ds2431.h"

#include "crc.h"

namespace owbus {

namespace {
constexpr uint8_t kWriteScratchpad = 0x0F;
constexpr uint8_t kReadScratchpad = 0xAA;
constexpr uint8_t kCopyScratchpad = 0x55;
constexpr uint8_t kReadMemory = 0xF0;
constexpr uint8_t kProtect = 0x55;
constexpr uint8_t kEpromMode = 0xAA;
constexpr uint8_t kAaFlag = 0x80;
constexpr uint8_t kPfFlag = 0x20;
constexpr uint64_t kTprogUs = 10'000;

bool isProtectionCode(uint8_t b) { return b == kProtect || b == kEpromMode; }
}  // namespace

Ds2431::Ds2431(const Serial& serial) : Chip(kFamily, serial) {
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
        command_ = host;
        crc_ = crc16(0, host);
        break;
      case kReadScratchpad: {
        command_ = host;
        uint16_t crc = crc16(0, host);
        auto send = [&](uint8_t b) {
          crc = crc16(crc, b);
          queue(b);
        };
        send(static_cast<uint8_t>(target_ & 0xFF));
        send(static_cast<uint8_t>(target_ >> 8));
        send(es_);
        for (size_t i = target_ & 7; i <= static_cast<size_t>(es_ & 7); ++i) send(scratchpad_[i]);
        queueCrc(crc);
        break;
      }
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
        takeAddress(host, pos);
        crc_ = crc16(crc_, host);
        if (pos == 1) {
          target_ = address_;
          offset_ = target_ & 7;
          es_ = static_cast<uint8_t>(kPfFlag | offset_);
        }
      } else {
        writeScratchpad(host);
      }
      return 0xFF;
    case kCopyScratchpad:
      if (pos < auth_.size()) {
        auth_[pos] = host;
        if (pos == auth_.size() - 1) copyScratchpad(env);
        return 0xFF;
      }
      // After a copy the chip programs for tPROG, then toggles the line endlessly.
      return copied_ && !programming(env) ? 0xAA : 0xFF;
    default:
      return 0xFF;
  }
}

void Ds2431::takeAddress(uint8_t host, size_t pos) {
  address_ = pos == 0 ? host : static_cast<uint16_t>((address_ & 0xFF) | (host << 8));
}

void Ds2431::writeScratchpad(uint8_t host) {
  if (offset_ >= scratchpad_.size()) return;  // past the row: ignored
  scratchpad_[offset_] = host;
  crc_ = crc16(crc_, host);
  es_ = static_cast<uint8_t>(offset_);
  if (++offset_ == scratchpad_.size()) queueCrc(crc_);
}

void Ds2431::copyScratchpad(Env& env) {
  const bool authorised = auth_[0] == (target_ & 0xFF) && auth_[1] == (target_ >> 8) && auth_[2] == es_;
  const bool fullRow = (target_ & 7) == 0 && (es_ & 7) == 7 && (es_ & kPfFlag) == 0;
  if (!authorised || !fullRow || target_ >= kMapSize || env.faults.fire(Fault::CopyFail)) return;
  commitRow();
  es_ |= kAaFlag;
  copied_ = true;
  startProgramming(env, kTprogUs);
}

uint8_t Ds2431::protectedByte(uint16_t address, uint8_t data) const {
  const uint8_t old = map_[address];
  if (address < kPageProtection) {
    const uint8_t mode = map_[kPageProtection + address / 32];
    if (mode == kProtect) return old;
    if (mode == kEpromMode) return old & data;  // bits only go from 1 to 0
    return data;
  }
  if (isProtectionCode(map_[kCopyProtection]) || address == kFactoryByte || address >= kUserId + 2) return old;
  if (address <= kCopyProtection && isProtectionCode(old)) return old;  // set for good
  return data;
}

void Ds2431::commitRow() {
  const uint16_t row = static_cast<uint16_t>(target_ & ~7u);
  for (uint16_t i = 0; i < 8; ++i) map_[row + i] = protectedByte(static_cast<uint16_t>(row + i), scratchpad_[i]);
}

}  // namespace owbus
