// Reading a chosen chip through the 1-Wire library: its session, and the chip's memory
// taken apart into a TEDS image.
#ifndef TEDSKIT_API_BUS_CHIP_READ_H
#define TEDSKIT_API_BUS_CHIP_READ_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bus_scan.h"
#include "image.h"

namespace teds {

// One adapter session on the bus with the chosen chip alone visible, closed when it goes.
class BusSession {
 public:
  BusSession(const std::string& busName, const BusChip& chip);
  ~BusSession();
  BusSession(const BusSession&) = delete;
  BusSession& operator=(const BusSession&) = delete;

  int family() const { return family_; }
  const BusChip& chip() const { return chip_; }
  const std::string& busName() const { return busName_; }

 private:
  BusChip chip_;
  std::string busName_;
  int32_t family_ = 0;
  bool chosen_ = false;
  bool open_ = false;
};

struct ChipRead {
  TedsImage image;
  std::vector<uint8_t> chip;                  // the chip's memory as stored, page checksums included
  std::optional<std::array<uint8_t, 8>> reg;  // a DS2430A's application register
  bool locked = false;                        // and whether it is locked
};

// The chip of the session, read whole.
ChipRead readChip(const BusSession& bus);
// The same in a session of its own.
ChipRead readChipAt(const std::string& busName, const BusChip& chip);

}  // namespace teds

#endif
