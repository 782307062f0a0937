#include "bus.h"

namespace ferrun {

State& state() {
  static State instance;
  return instance;
}

bool sessionValid() { return state().handle > 0 && TMValidSession(state().handle) == 1; }

void reset() { TMTouchReset(state().handle); }

bool select() { return TMAccess(state().handle, state().search.data()) == 1; }

void send(uint8_t byte) { TMTouchByte(state().handle, byte); }

uint8_t read() { return static_cast<uint8_t>(TMTouchByte(state().handle, 0xFF)); }

void read(std::span<uint8_t> into) {
  for (uint8_t& b : into) b = read();
}

void block(std::span<uint8_t> bytes) {
  TMBlockStream(state().handle, bytes.data(), static_cast<int16_t>(bytes.size()));
}

void waitMs(uint32_t ms) { owbus_sleep_ms(ms); }

bool familySearch(uint8_t family) {
  State& s = state();
  if (s.handle <= 0) return false;
  if (TMFamilySearchSetup(s.handle, s.search.data(), family) != 1 || TMNext(s.handle, s.search.data()) != 1)
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

bool echoCheckPasses() {
  if (state().switchPresent != 0 || !sessionValid()) return true;
  bool passes = true;
  for (uint8_t byte : {0xC1, 0x17, 0x47, 0x5F, 0x0F, 0x91, 0x6F}) {
    const int16_t back = TMTouchByte(state().handle, byte);
    if ((byte == 0x0F || byte == 0x91) && back != byte) passes = false;
  }
  return passes;
}

}  // namespace ferrun
