#include "sequences.h"

#include <algorithm>
#include <array>
#include <vector>

#include "base/onewire_commands.h"
#include "bus.h"

namespace ferrun {

namespace {
using namespace tedskit::base::onewire;
constexpr uint8_t kWriteStatus = kDs2406WriteStatus;
constexpr uint8_t kCopyDone = 0xAA;  // the pattern a chip sends once its copy is programmed
constexpr uint16_t kCrcResidue = 0xB001;
constexpr int kSwitchAttempts = 10;

// Programming times (data sheet maximum) and the long waits kept for slow adapters.
constexpr uint32_t kDs2430aProgramMs = 10;
constexpr uint32_t kDs2430aLongWaitMs = 200;
constexpr uint32_t kLongCopyWaitMs = 100;

// How a paged chip takes a write: unit size, whether Read Scratchpad ends in a CRC-16,
// and tPROG.
struct Paging {
  size_t unit;
  bool readScratchpadCrc;
  uint32_t programMs;
};
using tedskit::base::kFamilyDs2433;
using tedskit::base::kFamilyDs28ec20;

Paging pagingOf(uint8_t family) {
  switch (family) {
    case kFamilyDs2433:
      return {32, false, 5};
    case kFamilyDs28ec20:
      return {32, true, 10};
    default:  // DS2431 and the family-0Dh chip with its command set
      return {8, true, 10};
  }
}

void skipRom() {
  reset();
  send(kSkipRom);
}

uint16_t crc16(std::span<const uint8_t> bytes) {
  uint16_t crc = 0;
  for (const uint8_t& b : bytes) crc = TMCRC(1, &b, crc, OWBUS_CRC16);
  return crc;
}

// One unit of a paged chip, once: scratchpad written and read back, copy, completion.
bool writeUnit(const Paging& p, uint16_t address, std::span<const uint8_t> data) {
  const auto ta1 = static_cast<uint8_t>(address & 0xFF);
  const auto ta2 = static_cast<uint8_t>(address >> 8);
  const auto es = static_cast<uint8_t>(p.unit - 1);  // ending offset of a full unit
  clearAdapterFailure();

  // Write Scratchpad; a full unit comes back with the inverted CRC-16 of the transfer.
  std::vector<uint8_t> write{kWriteScratchpad, ta1, ta2};
  write.insert(write.end(), data.begin(), data.end());
  write.insert(write.end(), {0xFF, 0xFF});
  std::vector<uint8_t> sent = write;
  block(write);
  std::copy(write.end() - 2, write.end(), sent.end() - 2);
  if (crc16(sent) != kCrcResidue) return false;

  // Read Scratchpad: address, E/S and data as written (and a CRC-16 where the chip sends one).
  reset();
  if (!select()) return false;
  std::vector<uint8_t> pad(1 + 3 + p.unit + (p.readScratchpadCrc ? 2 : 0), 0xFF);
  pad[0] = kReadScratchpad;
  block(pad);
  if (pad[1] != ta1 || pad[2] != ta2 || pad[3] != es ||
      !std::equal(data.begin(), data.end(), pad.begin() + 4))
    return false;
  if (p.readScratchpadCrc) {
    pad[0] = kReadScratchpad;
    if (crc16(pad) != kCrcResidue) return false;
  }
  if (adapterFailed()) return false;

  // Copy Scratchpad with the authorisation read back; after tPROG the chip signals done.
  reset();
  if (!select()) return false;
  std::array<uint8_t, 4> copy{kCopyScratchpad, ta1, ta2, es};
  block(copy);
  programmingWait(p.programMs, kLongCopyWaitMs);
  return read() == kCopyDone && !adapterFailed();
}

}  // namespace

void ds2430aReadMemory(std::span<uint8_t, 32> into) {
  std::fill(into.begin(), into.end(), 0);
  if (!sessionValid()) return;
  skipRom();
  send(kReadMemory);
  send(0x00);
  // Two passes round the wrapping address; the second one is kept.
  std::array<uint8_t, 64> twice{};
  read(twice);
  std::copy(twice.begin() + 32, twice.end(), into.begin());
}

void ds2430aReadRegister(std::span<uint8_t, 8> into) {
  std::fill(into.begin(), into.end(), 0);
  if (!sessionValid()) return;
  skipRom();
  send(kReadRegister);
  send(0x00);
  std::array<uint8_t, 16> twice{};
  read(twice);
  std::copy(twice.begin() + 8, twice.end(), into.begin());
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
  std::array<uint8_t, 18> out{kWriteRegister, 0x00};
  for (size_t i = 0; i < 16; ++i) out[2 + i] = reg[i % 8];
  block(out);
}

void ds2430aCopyAndLockRegister() {
  if (state().handle <= 0) return;
  skipRom();
  send(kCopyAndLock);
  send(kCopyKey);
  programmingWait(kDs2430aProgramMs, kDs2430aLongWaitMs);
}

bool ds2430aWriteMemory(std::span<const uint8_t, 32> bytes) {
  if (state().handle <= 0) return false;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    clearAdapterFailure();
    if (attempt > 0) {
      reset();
      select();
    }
    std::array<uint8_t, 34> write{kWriteScratchpad, 0x00};
    std::copy(bytes.begin(), bytes.end(), write.begin() + 2);
    block(write);
    reset();
    select();
    std::array<uint8_t, 34> pad{};
    pad.fill(0xFF);
    pad[0] = kReadScratchpad;
    pad[1] = 0x00;
    block(pad);
    if (!std::equal(bytes.begin(), bytes.end(), pad.begin() + 2) || adapterFailed()) continue;
    reset();
    select();
    std::array<uint8_t, 3> filler{0xE3, 0x39, 0xED};
    block(filler);
    reset();
    select();
    send(kCopyScratchpad);
    send(kCopyKey);
    programmingWait(kDs2430aProgramMs, kDs2430aLongWaitMs);
    reset();
    return true;
  }
  return false;
}

void pagedReadMemory(std::span<uint8_t> into) {
  std::fill(into.begin(), into.end(), 0);
  if (!sessionValid()) return;
  reset();
  select();
  std::array<uint8_t, 3> command{kReadMemory, 0x00, 0x00};
  block(command);
  read(into);
}

bool pagedWriteMemory(uint8_t family, std::span<const uint8_t> bytes) {
  if (state().handle <= 0) return false;
  const Paging p = pagingOf(family);
  bool selected = true;  // the caller selected the chip for the first unit
  for (size_t a = 0; a + p.unit <= bytes.size(); a += p.unit) {
    bool written = false;
    for (int attempt = 0; attempt < kAttempts && !written; ++attempt) {
      if (!selected) {
        reset();
        selected = select();
        if (!selected) continue;
      }
      written = writeUnit(p, static_cast<uint16_t>(a), bytes.subspan(a, p.unit));
      selected = false;
    }
    if (!written) return false;
  }
  return true;
}

bool ds2406WriteStatus(uint8_t value) {
  for (int attempt = 0; attempt < kSwitchAttempts; ++attempt) {
    if (!select()) continue;
    std::array<uint8_t, 6> bytes{kWriteStatus, 0x07, 0x00, value, 0xFF, 0xFF};
    block(std::span<uint8_t>(bytes.data(), 4));
    read(std::span<uint8_t>(bytes.data() + 4, 2));
    bytes[0] = kWriteStatus;
    bytes[1] = 0x07;
    bytes[2] = 0x00;
    bytes[3] = value;
    uint16_t crc = 0;
    for (uint8_t& b : bytes) crc = TMCRC(1, &b, crc, OWBUS_CRC16);
    if (crc == kCrcResidue) return true;
  }
  return false;
}

}  // namespace ferrun
