#include "ds2406.h"

#include "base/onewire_commands.h"

#include "crc.h"

namespace owbus {

namespace {
constexpr uint8_t kWriteStatus = tedskit::base::onewire::kDs2406WriteStatus;
constexpr uint8_t kReadStatus = tedskit::base::onewire::kDs2406ReadStatus;
constexpr size_t kSram = 7;
constexpr uint8_t kSupplyBit = 0x80;  // read only
}  // namespace

Ds2406::Ds2406(const Serial& serial) : Chip(kFamily, serial) {
  status_.fill(0xFF);
  status_[5] = status_[6] = 0x00;
  powerUp_ = status_;
}

int Ds2406::selectedChannel() const {
  // PIO-A (bit 5) and PIO-B (bit 6) flip-flops: 00 channel 1, 01 channel 2, 10 channel 3.
  const int code = (status_[kSram] >> 5) & 3;
  return code == 3 ? 0 : code + 1;
}

uint8_t Ds2406::function(uint8_t host, Env& env) {
  if (command_ == 0) {
    if (host == kWriteStatus || host == kReadStatus) {
      command_ = host;
      crc_ = crc16(0, host);
    } else {
      ignoreUntilReset();
    }
    return 0xFF;
  }
  const size_t pos = pos_++;
  if (pos < 2) {
    address_ = pos == 0 ? host : static_cast<uint16_t>((address_ & 0xFF) | (host << 8));
    crc_ = crc16(crc_, host);
    if (pos == 1 && command_ == kReadStatus) {
      for (size_t a = address_; a < kStatusSize; ++a) {
        queue(status_[a]);
        crc_ = crc16(crc_, status_[a]);
      }
      queueCrc(crc_);
    }
    return 0xFF;
  }
  if (command_ == kWriteStatus && pos == 2) {
    crc_ = crc16(crc_, host);
    // Only the SRAM byte is written here: the EPROM bytes need a programming pulse.
    if (address_ == kSram) {
      status_[kSram] = static_cast<uint8_t>((status_[kSram] & kSupplyBit) | (host & ~kSupplyBit));
    }
    uint16_t sent = crc_;
    if (env.faults.fire(Fault::Ds2406Crc)) sent ^= 0x0100;
    queueCrc(sent);
  }
  return 0xFF;
}

}  // namespace owbus
