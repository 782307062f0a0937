// DS2431: 128 bytes in four 32-byte pages plus control bytes, written through an 8-byte
// scratchpad row with CRC-16, TA1/TA2/E-S authorisation and page protection.
#ifndef TEDSKIT_OWBUS_DS2431_H
#define TEDSKIT_OWBUS_DS2431_H

#include <array>

#include "scratchpad_chip.h"

namespace owbus {

class Ds2431 final : public ScratchpadChip<8> {
 public:
  static constexpr uint8_t kFamily = 0x2D;
  static constexpr size_t kMapSize = 0x90;           // data, protection, user and reserved bytes
  static constexpr uint16_t kPageProtection = 0x80;  // one byte per page: 55h protect, AAh EPROM
  static constexpr uint16_t kCopyProtection = 0x84;
  static constexpr uint16_t kFactoryByte = 0x85;
  static constexpr uint16_t kUserId = 0x86;
  explicit Ds2431(const Serial& serial);

  std::string_view typeName() const override { return "DS2431"; }
  uint8_t defaultFamily() const override { return kFamily; }
  std::span<uint8_t> memory() override { return map_; }

 protected:
  uint8_t function(uint8_t host, Env& env) override;
  bool hasResume() const override { return true; }

 private:
  void copyScratchpad(Env& env) override;
  void commitRow();
  uint8_t protectedByte(uint16_t address, uint8_t data) const;

  std::array<uint8_t, kMapSize> map_{};
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_DS2431_H
