#include "paged32.h"

#include "crc.h"

namespace owbus {

namespace {
constexpr uint8_t kExtendedRead = 0xA5;
constexpr size_t kPage = 32;
}  // namespace

const Paged32::Profile Paged32::kDs2433{"DS2433", 0x23, 512, 5'000, false, false, false};
const Paged32::Profile Paged32::kDs28ec20{"DS28EC20", 0x43, 2560, 10'000, true, true, true};

Paged32::Paged32(const Profile& profile, const Serial& serial)
    : ScratchpadChip(profile.family, serial), profile_(profile), memory_(profile.size, 0xFF) {}

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
        beginCommand(host);
        break;
      case kReadScratchpad: {
        command_ = host;
        const uint16_t crc = queueReadScratchpad(host);
        if (profile_.crcAfterReadScratchpad && (es_ & kLastOffset) == kLastOffset) queueCrc(crc);
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
      if (pos >= 2) {
        writeScratchpad(host);
      } else if (takeWriteAddress(host, pos)) {
        readSinceWrite_ = false;
      }
      return 0xFF;
    case kCopyScratchpad:
      return copyCommandByte(host, pos, env);
    default:
      return 0xFF;
  }
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
  const bool partial = (es_ & kPfFlag) != 0;
  if (!authorised() || target_ >= memory_.size()) return;
  if (profile_.strictCopy && (partial || readSinceWrite_)) return;
  if (env.faults.fire(Fault::CopyFail)) return;
  const size_t start = target_ & kLastOffset;
  const size_t end = es_ & kLastOffset;
  const size_t base = target_ & ~static_cast<size_t>(kLastOffset);
  for (size_t i = start; i <= end && base + i < memory_.size(); ++i) memory_[base + i] = scratchpad_[i];
  finishCopy(env, profile_.tprogUs);
}

}  // namespace owbus
