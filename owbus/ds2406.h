// DS2406 addressable switch. Modelled: the status memory with Write Status (55h) and
// Read Status (AAh), both closed by a CRC-16. Byte 7 holds the PIO flip-flops that
// switch a multiplexed cable's channels; other commands make the chip wait for a reset.
#ifndef TEDSKIT_OWBUS_DS2406_H
#define TEDSKIT_OWBUS_DS2406_H

#include <array>

#include "chip.h"

namespace owbus {

class Ds2406 final : public Chip {
 public:
  static constexpr uint8_t kFamily = 0x12;
  static constexpr size_t kStatusSize = 8;
  explicit Ds2406(const Serial& serial);

  std::string_view typeName() const override { return "DS2406"; }
  uint8_t defaultFamily() const override { return kFamily; }
  std::span<uint8_t> memory() override { return {}; }
  std::array<uint8_t, kStatusSize>& status() { return status_; }
  // What the bus file keeps: the status at power-up. The PIO flip-flops sit in SRAM, so
  // switching a channel lasts for the session only and never rewrites the file.
  const std::array<uint8_t, kStatusSize>& powerUpStatus() const { return powerUp_; }
  void setPowerUpStatus(const std::array<uint8_t, kStatusSize>& status) { powerUp_ = status_ = status; }
  // The channel the PIO flip-flops connect: 1 to 3, or 0 for none.
  int selectedChannel() const;

 protected:
  void startFunction() override {
    command_ = 0;
    pos_ = 0;
  }
  uint8_t function(uint8_t host, Env& env) override;

 private:
  std::array<uint8_t, kStatusSize> status_{};
  std::array<uint8_t, kStatusSize> powerUp_{};
  uint8_t command_ = 0;
  size_t pos_ = 0;
  uint16_t address_ = 0;
  uint16_t crc_ = 0;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_DS2406_H
