#include "sequences.h"

#include <algorithm>
#include <array>

#include "base/onewire_commands.h"
#include "bus.h"

namespace ferrun {

namespace {
using namespace tedskit::base::onewire;
constexpr uint8_t kWriteStatus = kDs2406WriteStatus;
constexpr uint32_t kDs2430aCopyWaitMs = 200;
constexpr uint32_t kRowCopyWaitMs = 100;
constexpr int kSwitchAttempts = 10;

void skipRom() {
  reset();
  send(kSkipRom);
}
}  // namespace

void ds2430aReadMemory(std::span<uint8_t, 32> into) {
  std::fill(into.begin(), into.end(), 0);
  if (!sessionValid()) return;
  skipRom();
  send(kReadMemory);
  send(0x00);
  // Two passes round the wrapping address; the second one is kept.
  for (size_t i = 0; i < 64; ++i) into[i % 32] = read();
}

void ds2430aReadRegister(std::span<uint8_t, 8> into) {
  std::fill(into.begin(), into.end(), 0);
  if (!sessionValid()) return;
  skipRom();
  send(kReadRegister);
  send(0x00);
  for (size_t i = 0; i < 16; ++i) into[i % 8] = read();
}

void ds2430aReadLock(int32_t& locked) {
  if (!sessionValid()) return;
  skipRom();
  send(kReadStatus);
  send(0x00);
  const uint8_t status = read();
  reset();
  if (status == 0xFF) locked = 0;
  if (status == 0xFC) locked = 1;
}

void ds2430aWriteRegister(std::span<const uint8_t, 8> reg) {
  if (state().handle <= 0) return;
  skipRom();
  send(kWriteRegister);
  send(0x00);
  for (size_t i = 0; i < 16; ++i) send(reg[i % 8]);
}

void ds2430aCopyAndLockRegister() {
  if (state().handle <= 0) return;
  skipRom();
  send(kCopyAndLock);
  send(kCopyKey);
}

void ds2430aWriteMemory(std::span<const uint8_t, 32> bytes) {
  if (state().handle <= 0) return;
  send(kWriteScratchpad);
  send(0x00);
  std::array<uint8_t, 32> data;
  std::copy(bytes.begin(), bytes.end(), data.begin());
  block(data);
  reset();
  select();
  std::array<uint8_t, 3> filler{0xE3, 0x39, 0xED};
  block(filler);
  reset();
  select();
  send(kCopyScratchpad);
  send(kCopyKey);
  waitMs(kDs2430aCopyWaitMs);
  reset();
}

void pagedReadMemory(std::span<uint8_t> into) {
  std::fill(into.begin(), into.end(), 0);
  if (!sessionValid()) return;
  reset();
  select();
  send(kReadMemory);
  send(0x00);
  send(0x00);
  read(into);
}

void pagedWriteMemory(std::span<const uint8_t> bytes) {
  if (state().handle <= 0) return;
  for (size_t a = 0; a + 8 <= bytes.size(); a += 8) {
    send(kWriteScratchpad);
    send(static_cast<uint8_t>(a & 0xFF));
    send(static_cast<uint8_t>((a >> 8) & 0xFF));
    std::array<uint8_t, 8> row;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(a), 8, row.begin());
    block(row);
    reset();
    select();
    send(kReadScratchpad);
    const uint8_t t1 = read();
    const uint8_t t2 = read();
    const uint8_t es = read();
    reset();
    select();
    send(kCopyScratchpad);
    send(t1);
    send(t2);
    send(es);
    waitMs(kRowCopyWaitMs);
    reset();
    select();
  }
}

bool ds2406WriteStatus(uint8_t value) {
  for (int attempt = 0; attempt < kSwitchAttempts; ++attempt) {
    if (!select()) continue;
    std::array<uint8_t, 6> bytes{kWriteStatus, 0x07, 0x00, value, 0, 0};
    for (size_t i = 0; i < 4; ++i) send(bytes[i]);
    bytes[4] = read();
    bytes[5] = read();
    uint16_t crc = 0;
    for (uint8_t& b : bytes) crc = TMCRC(1, &b, crc, OWBUS_CRC16);
    if (crc == 0xB001) return true;
  }
  return false;
}

}  // namespace ferrun
