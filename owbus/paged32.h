// The DS2433 and DS28EC20: EEPROM written through a 32-byte scratchpad with
// TA1/TA2/E-S authorisation and partial copies. They differ in size, tPROG, where CRCs
// are sent and the DS28EC20's extra rules, which a Profile holds.
#ifndef TEDSKIT_OWBUS_PAGED32_H
#define TEDSKIT_OWBUS_PAGED32_H

#include <array>
#include <vector>

#include "scratchpad_chip.h"

namespace owbus {

class Paged32 final : public ScratchpadChip<32> {
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
  uint8_t function(uint8_t host, Env& env) override;
  bool hasResume() const override { return profile_.extendedRead; }

 private:
  void queueExtendedRead();
  void copyScratchpad(Env& env) override;

  const Profile& profile_;
  std::vector<uint8_t> memory_;
  bool readSinceWrite_ = false;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_PAGED32_H
