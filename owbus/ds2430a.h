// DS2430A: 32-byte EEPROM behind a 32-byte scratchpad, and an 8-byte application
// register that can be copied and locked once. No CRC anywhere.
#ifndef TEDSKIT_OWBUS_DS2430A_H
#define TEDSKIT_OWBUS_DS2430A_H

#include <array>

#include "chip.h"

namespace owbus {

class Ds2430a final : public Chip {
 public:
  static constexpr uint8_t kFamily = 0x14;
  explicit Ds2430a(const Serial& serial) : Chip(kFamily, serial) {}

  std::string_view typeName() const override { return "DS2430A"; }
  uint8_t defaultFamily() const override { return kFamily; }
  std::span<uint8_t> memory() override { return eeprom_; }

  // The register as a read shows it: the register scratchpad until locked.
  std::array<uint8_t, 8>& applicationRegister() { return locked_ ? register_ : registerPad_; }
  bool locked() const { return locked_; }
  // Loading from a bus file: the register contents and their lock state.
  void load(const std::array<uint8_t, 8>& reg, bool locked);

 protected:
  void startFunction() override {
    command_ = 0;
    pos_ = 0;
  }
  uint8_t function(uint8_t host, Env& env) override;

 private:
  std::array<uint8_t, 32> eeprom_{};
  std::array<uint8_t, 32> scratchpad_{};
  std::array<uint8_t, 8> register_{};
  std::array<uint8_t, 8> registerPad_{};
  bool locked_ = false;
  uint8_t command_ = 0;
  uint8_t address_ = 0;
  size_t pos_ = 0;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_DS2430A_H
