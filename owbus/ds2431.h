// DS2431: 128 bytes in four 32-byte pages plus control bytes, written through an 8-byte
// scratchpad row with CRC-16, TA1/TA2/E-S authorisation and page protection.
#pragma once

#include <array>

#include "chip.h"

namespace owbus {

class Ds2431 final : public Chip {
 public:
  static constexpr uint8_t kFamily = 0x2D;
  static constexpr size_t kMapSize = 0x90;         // data, protection, user and reserved bytes
  static constexpr uint16_t kPageProtection = 0x80; // one byte per page: 55h protect, AAh EPROM
  static constexpr uint16_t kCopyProtection = 0x84;
  static constexpr uint16_t kFactoryByte = 0x85;
  static constexpr uint16_t kUserId = 0x86;
  explicit Ds2431(const Serial& serial);

  std::string_view typeName() const override { return "DS2431"; }
  uint8_t defaultFamily() const override { return kFamily; }
  std::span<uint8_t> memory() override { return map_; }

 protected:
  void startFunction() override { command_ = 0; pos_ = 0; }
  uint8_t function(uint8_t host, Env& env) override;
  bool hasResume() const override { return true; }

 private:
  void takeAddress(uint8_t host, size_t pos);
  void writeScratchpad(uint8_t host);
  void copyScratchpad(Env& env);
  void commitRow();
  uint8_t protectedByte(uint16_t address, uint8_t data) const;

  std::array<uint8_t, kMapSize> map_{};
  std::array<uint8_t, 8> scratchpad_{};
  uint16_t target_ = 0;  // TA2:TA1 of the last scratchpad write
  uint8_t es_ = 0;       // E/S: AA bit 7, PF bit 5, ending offset bits 2-0
  uint8_t command_ = 0;
  size_t pos_ = 0;        // bytes received after the command byte
  uint16_t address_ = 0;  // TA2:TA1 as received by the current command
  size_t offset_ = 0;     // next scratchpad offset of a write
  uint16_t crc_ = 0;
  std::array<uint8_t, 3> auth_{};
  bool copied_ = false;
};

}  // namespace owbus
