#include "paged32.h"

#include "crc.h"

namespace owbus {

namespace {
constexpr uint8_t kWriteScratchpad = 0x0F;
constexpr uint8_t kReadScratchpad = 0xAA;
constexpr uint8_t kCopyScratchpad = 0x55;
constexpr uint8_t kReadMemory = 0xF0;
constexpr uint8_t kExtendedRead = 0xA5;
constexpr uint8_t kAaFlag = 0x80;
constexpr uint8_t kPfFlag = 0x20;
constexpr uint8_t kLastOffset = 0x1F;
constexpr size_t kPage = 32;
}  // namespace

const Paged32::Profile Paged32::kDs2433{"DS2433", 0x23, 512, 5'000, false, false, false};
const Paged32::Profile Paged32::kDs28ec20{"DS28EC20", 0x43, 2560, 10'000, true, true, true};

Paged32::Paged32(const Profile& profile, const Serial& serial)
    : Chip(profile.family, serial), profile_(profile), memory_(profile.size, 0xFF) {}

uint8_t Paged32::function(uint8_t host, Env& env) {
  if (command_ == 0) {
    switch (host) {
      case kExtendedRead:
        if (!profile_.extendedRead) {
          ignoreUntilReset();
          return 0xFF;
        }
        [[fallthrough]];
      case kWriteScratchpad:
      case kCopyScratchpad:
      case kReadMemory:
        command_ = host;
        crc_ = crc16(0, host);
        break;
      case kReadScratchpad:
        command_ = host;
        queueReadScratchpad();
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
        readSinceWrite_ = true;
        for (size_t a = address_; a < memory_.size(); ++a) queue(memory_[a]);
      }
      return 0xFF;
    case kExtendedRead:
      if (pos < 2) {
        takeAddress(host, pos);
        crc_ = crc16(crc_, host);
      }
      if (pos == 1) queueExtendedRead();
      return 0xFF;
    case kWriteScratchpad:
      if (pos < 2) {
        takeAddress(host, pos);
        crc_ = crc16(crc_, host);
        if (pos == 1) {
          target_ = address_;
          offset_ = target_ & kLastOffset;
          es_ = static_cast<uint8_t>(kPfFlag | offset_);
          readSinceWrite_ = false;
        }
      } else if (offset_ < scratchpad_.size()) {
        scratchpad_[offset_] = host;
        crc_ = crc16(crc_, host);
        es_ = static_cast<uint8_t>(offset_);
        if (++offset_ == scratchpad_.size()) queueCrc(crc_);
      }
      return 0xFF;
    case kCopyScratchpad:
      if (pos < auth_.size()) {
        auth_[pos] = host;
        if (pos == auth_.size() - 1) copyScratchpad(env);
        return 0xFF;
      }
      return copied_ && !programming(env) ? 0xAA : 0xFF;
    default:
      return 0xFF;
  }
}

void Paged32::takeAddress(uint8_t host, size_t pos) {
  address_ = pos == 0 ? host : static_cast<uint16_t>((address_ & 0xFF) | (host << 8));
}

void Paged32::queueReadScratchpad() {
  uint16_t crc = crc16(0, kReadScratchpad);
  auto send = [&](uint8_t b) {
    crc = crc16(crc, b);
    queue(b);
  };
  send(static_cast<uint8_t>(target_ & 0xFF));
  send(static_cast<uint8_t>(target_ >> 8));
  send(es_);
  const size_t end = es_ & kLastOffset;
  for (size_t i = target_ & kLastOffset; i <= end; ++i) send(scratchpad_[i]);
  if (profile_.crcAfterReadScratchpad && end == kLastOffset) queueCrc(crc);
}

void Paged32::queueExtendedRead() {
  // Data to the end of each page, each page closed by the inverted CRC-16 over what was
  // sent for it (the first page also over the command and address).
  uint16_t crc = crc_;
  for (size_t a = address_; a < memory_.size(); ++a) {
    queue(memory_[a]);
    crc = crc16(crc, memory_[a]);
    if ((a + 1) % kPage == 0) {
      queueCrc(crc);
      crc = 0;
    }
  }
}

void Paged32::copyScratchpad(Env& env) {
  const bool authorised = auth_[0] == (target_ & 0xFF) && auth_[1] == (target_ >> 8) && auth_[2] == es_;
  const bool partial = (es_ & kPfFlag) != 0;
  if (!authorised || target_ >= memory_.size()) return;
  if (profile_.strictCopy && (partial || readSinceWrite_)) return;
  if (env.faults.fire(Fault::CopyFail)) return;
  const size_t start = target_ & kLastOffset;
  const size_t end = es_ & kLastOffset;
  const size_t base = target_ & ~static_cast<size_t>(kLastOffset);
  for (size_t i = start; i <= end && base + i < memory_.size(); ++i) memory_[base + i] = scratchpad_[i];
  es_ |= kAaFlag;
  copied_ = true;
  startProgramming(env, profile_.tprogUs);
}

}  // namespace owbus
