// The DS2433 and DS28EC20: EEPROM written through a 32-byte scratchpad with
// TA1/TA2/E-S authorisation and partial copies. They differ in size, tPROG, where CRCs
// are sent and the DS28EC20's extra rules, which a Profile holds.
#pragma once

#include <array>
#include <vector>

#include "chip.h"

namespace owbus {

class Paged32 final : public Chip {
 public:
  struct Profile {
    std::string_view name;
    uint8_t family;
    size_t size;
    uint64_t tprogUs;
    bool crcAfterReadScratchpad;  // DS28EC20: CRC after a read to the end of the scratchpad
    bool strictCopy;              // DS28EC20: refuse a copy after PF or an intervening read
    bool extendedRead;            // DS28EC20: Extended Read Memory A5h
  };
  static const Profile kDs2433;
  static const Profile kDs28ec20;

  Paged32(const Profile& profile, const Serial& serial);

  std::string_view typeName() const override { return profile_.name; }
  uint8_t defaultFamily() const override { return profile_.family; }
  std::span<uint8_t> memory() override { return memory_; }

 protected:
  void startFunction() override { command_ = 0; pos_ = 0; }
  uint8_t function(uint8_t host, Env& env) override;
  bool hasResume() const override { return profile_.extendedRead; }

 private:
  void takeAddress(uint8_t host, size_t pos);
  void queueReadScratchpad();
  void queueExtendedRead();
  void copyScratchpad(Env& env);

  const Profile& profile_;
  std::vector<uint8_t> memory_;
  std::array<uint8_t, 32> scratchpad_{};
  uint16_t target_ = 0;
  uint8_t es_ = 0;  // AA bit 7, PF bit 5, ending offset bits 4-0
  bool readSinceWrite_ = false;
  uint8_t command_ = 0;
  size_t pos_ = 0;
  uint16_t address_ = 0;
  size_t offset_ = 0;
  uint16_t crc_ = 0;
  std::array<uint8_t, 3> auth_{};
  bool copied_ = false;
};

}  // namespace owbus
