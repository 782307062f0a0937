#include "bus.h"

#include <algorithm>

namespace ferrun {

State& state() {
  static State instance;
  return instance;
}

bool sessionValid() { return state().handle > 0 && TMValidSession(state().handle) == 1; }

namespace {
// A negative result is the adapter failing the call, not an answer of the bus.
int16_t noted(int16_t result) {
  if (result < 0) state().adapterFailed = true;
  return result;
}
}  // namespace

void reset() { noted(TMTouchReset(state().handle)); }

bool select() { return noted(TMAccess(state().handle, state().search.data())) == 1; }

void send(uint8_t byte) { noted(TMTouchByte(state().handle, byte)); }

uint8_t read() { return static_cast<uint8_t>(noted(TMTouchByte(state().handle, 0xFF))); }

void read(std::span<uint8_t> into) {
  std::fill(into.begin(), into.end(), 0xFF);
  block(into);
}

void block(std::span<uint8_t> bytes) {
  // The adapter calls take at most 32767 bytes at a time.
  constexpr size_t kMostPerCall = 0x7FFF;
  for (size_t at = 0; at < bytes.size(); at += kMostPerCall) {
    const size_t n = std::min(kMostPerCall, bytes.size() - at);
    noted(TMBlockStream(state().handle, bytes.data() + at, static_cast<int16_t>(n)));
  }
}

void waitMs(uint32_t ms) { owbus_sleep_ms(ms); }

bool adapterFailed() { return state().adapterFailed; }

void clearAdapterFailure() { state().adapterFailed = false; }

void programmingWait(uint32_t datasheetMs, uint32_t longMs) {
  waitMs(owbus_programming_waits() == OWBUS_WAITS_LONG ? longMs : datasheetMs);
}

bool familySearch(uint8_t family) {
  State& s = state();
  if (s.handle <= 0) return false;
  if (TMFamilySearchSetup(s.handle, s.search.data(), family) != 1 ||
      noted(TMNext(s.handle, s.search.data())) != 1)
    return false;
  std::array<int16_t, 8> rom{};
  TMRom(s.handle, s.search.data(), rom.data());
  return (rom[0] & 0x7F) == family;
}

uint8_t detectChip() {
  for (const auto& model : tedskit::base::kChipModels) {
    if (familySearch(model.family)) return model.family;
  }
  return 0;
}

uint8_t detectChipRetrying() {
  uint8_t family = 0;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    clearAdapterFailure();
    family = detectChip();
    if (!adapterFailed()) break;
  }
  return family;
}

bool echoCheckPasses() {
  if (state().switchPresent != 0 || !sessionValid()) return true;
  bool passes = true;
  for (uint8_t byte : {0xC1, 0x17, 0x47, 0x5F, 0x0F, 0x91, 0x6F}) {
    const int16_t back = noted(TMTouchByte(state().handle, byte));
    if ((byte == 0x0F || byte == 0x91) && back != byte) passes = false;
  }
  return passes;
}

}  // namespace ferrun
