#include "ds2490_backend.h"

#include <algorithm>
#include <array>

#include "runtime.h"
#include "traffic.h"

namespace owbus {

namespace {

using namespace ds2490;

// Bytes per BLOCK I/O: half the FIFOs, as both common drivers do.
constexpr size_t kChunk = 64;
constexpr uint8_t kSearchRom = 0xF0;

bool romBit(const Rom& rom, size_t bit) { return (rom[bit / 8] >> (bit % 8)) & 1; }

}  // namespace

Ds2490Backend::Ds2490Backend(std::unique_ptr<Ds2490Transport> transport, std::string port)
    : transport_(std::move(transport)), port_(std::move(port)) {}

void Ds2490Backend::setModes() {
  transport_->control(kControlRequest, kResetDevice, 0);
  transport_->control(kModeRequest, kModeEnablePulse, kAllowStrongPullup);
  transport_->control(kModeRequest, kModeSpeed, kSpeedFlexible);
  transport_->control(kModeRequest, kModeSlewRate, kSlewCode);
  transport_->control(kModeRequest, kModeWrite1Low, kWrite1LowCode);
  transport_->control(kModeRequest, kModeSampleOffset, kSampleOffsetCode);
}

bool Ds2490Backend::start(std::string& error) {
  try {
    setModes();
    std::array<uint8_t, kStatusPacketMax> packet{};
    Status status;
    if (!parseStatus(std::span(packet.data(), transport_->readStatus(packet)), status)) {
      error = "the DS2490 on " + port_ + " sends no status";
      return false;
    }
  } catch (const AdapterError& e) {
    error = e.what();
    return false;
  }
  traceAdapter("DS2490 on " + port_);
  return true;
}

void Ds2490Backend::recover(const std::string& what) {
  std::string outcome = "; it was reset";
  try {
    setModes();
  } catch (const AdapterError& e) {
    outcome = std::string("; resetting it failed too: ") + e.what();
  }
  const std::string message = "the DS2490 on " + port_ + " " + what + outcome;
  traceAdapter(message);
  throw AdapterError(message);
}

void Ds2490Backend::comm(uint16_t value, uint16_t index) {
  transport_->control(kCommRequest, static_cast<uint16_t>(value | kFlagImmediate), index);
}

std::vector<uint8_t> Ds2490Backend::finish(std::span<uint8_t> into, const char* what) {
  std::vector<uint8_t> results;
  std::array<uint8_t, kStatusPacketMax> packet{};
  for (int poll = 0; poll < kMaxPolls; ++poll) {
    Status status;
    if (!parseStatus(std::span(packet.data(), transport_->readStatus(packet)), status))
      recover(std::string("sent a malformed status packet during a ") + what);
    if (status.overflowed())
      recover(std::string("lost a command (its command FIFO overflowed) during a ") + what);
    for (uint8_t r : status.results) {
      if (r != kResultNewDevice) results.push_back(r);
    }
    if (!status.idle()) continue;
    // Read exactly what waits: a shorter read would fail and empty the FIFO.
    if (status.waitingIn() > into.size())
      recover(std::string("holds more bytes than a ") + what + " reads back");
    if (status.waitingIn() < into.size()) continue;
    if (!into.empty() && transport_->bulkIn(into) != into.size())
      recover(std::string("delivered a short read-back of a ") + what);
    return results;
  }
  recover(std::string("did not finish a ") + what + " within " + std::to_string(kMaxPolls) + " status polls");
}

// Each command's bus time is counted once it is done, so that an emulated bus that
// follows this clock never sees it run ahead of its own traffic.
ResetResult Ds2490Backend::reset() {
  comm(kCommReset, kSpeedFlexible);
  const std::vector<uint8_t> results = finish({}, "reset");
  owbus::clock().nowUs += kResetUs;
  ResetResult result = ResetResult::Presence;
  for (uint8_t r : results) {
    if (r & kResultShort) return ResetResult::Short;
    if (r & kResultNoPresence) result = ResetResult::NoPresence;
    if ((r & kResultAlarm) && result == ResetResult::Presence) result = ResetResult::Alarm;
  }
  return result;
}

uint8_t Ds2490Backend::touchByte(uint8_t byte) {
  comm(kCommByteIo, byte);
  std::array<uint8_t, 1> back{};
  finish(back, "byte transfer");
  owbus::clock().nowUs += kByteUs;
  return back[0];
}

void Ds2490Backend::block(std::span<uint8_t> bytes) {
  for (size_t at = 0; at < bytes.size(); at += kChunk) {
    const std::span<uint8_t> chunk = bytes.subspan(at, std::min(kChunk, bytes.size() - at));
    transport_->bulkOut(chunk);
    comm(kCommBlockIo, static_cast<uint16_t>(chunk.size()));
    finish(chunk, "block transfer");
    owbus::clock().nowUs += chunk.size() * kByteUs;
  }
}

bool Ds2490Backend::bit(bool value) {
  comm(static_cast<uint16_t>(kCommBitIo | (value ? kFlagBitValue : 0)), 0);
  std::array<uint8_t, 1> back{};
  finish(back, "bit transfer");
  owbus::clock().nowUs += kSlotUs;
  return (back[0] & 1) != 0;
}

SearchPass Ds2490Backend::searchOnce(const Rom& preferred) {
  if (!answered(reset())) return SearchPass{};
  touchByte(kSearchRom);
  SearchPass pass;
  for (size_t n = 0; n < 64; ++n) {
    const bool id = bit(true);
    const bool complement = bit(true);
    if (id && complement) return SearchPass{};  // nobody left
    const bool direction = id == complement ? romBit(preferred, n) : id;
    pass.discrepancy[n] = id == complement;
    bit(direction);
    if (direction) pass.rom[n / 8] |= static_cast<uint8_t>(1u << (n % 8));
  }
  pass.found = true;
  return pass;
}

SearchPass Ds2490Backend::search(const Rom& preferred) {
  // The ID chip can sit anywhere in the search order; past it the search goes on as the
  // caller's next pass would: 1 at the last discrepancy that took 0, the found path below.
  Rom want = preferred;
  for (int pass = 0; pass < 4; ++pass) {
    SearchPass found = searchOnce(want);
    if (!found.found || found.rom[0] != kIdChipFamily) return found;
    int lastZero = -1;
    for (int n = 63; n >= 0; --n) {
      if (found.discrepancy[static_cast<size_t>(n)] && !romBit(found.rom, static_cast<size_t>(n))) {
        lastZero = n;
        break;
      }
    }
    if (lastZero < 0) return SearchPass{};
    want = Rom{};
    for (int n = 0; n < lastZero; ++n) {
      if (romBit(found.rom, static_cast<size_t>(n)))
        want[static_cast<size_t>(n) / 8] |= static_cast<uint8_t>(1u << (n % 8));
    }
    want[static_cast<size_t>(lastZero) / 8] |= static_cast<uint8_t>(1u << (lastZero % 8));
  }
  return SearchPass{};
}

}  // namespace owbus
