// A DS2490 as the back end sees it through its transport, in front of a simulated bus:
// the vendor requests, the EP2 and EP3 FIFOs, status packets with result bytes, and the
// adapter's own ID chip (family 81h) on the bus. It keeps the pitfalls of the real one:
// a bulk read shorter than what waits empties the FIFO, and after a command FIFO
// overflow only RESET DEVICE helps.
#ifndef TEDSKIT_OWBUS_DS2490_EMULATOR_H
#define TEDSKIT_OWBUS_DS2490_EMULATOR_H

#include <array>
#include <deque>
#include <vector>

#include "ds2490_protocol.h"
#include "ds2490_transport.h"
#include "simbus.h"

namespace owbus {

class Ds2490Emulator final : public Ds2490Transport {
 public:
  // The bus's own clock follows `host` (the host's clock) whenever the host is ahead.
  Ds2490Emulator(SimBus& bus, const Clock& host);

  void control(uint8_t request, uint16_t value, uint16_t index) override;
  void bulkOut(std::span<const uint8_t> bytes) override;
  size_t bulkIn(std::span<uint8_t> into) override;
  size_t readStatus(std::span<uint8_t> into) override;

 private:
  void resetDevice();
  void run(uint16_t value, uint16_t index);
  void answer(uint8_t byte);

  SimBus& bus_;
  const Clock& host_;
  std::array<uint16_t, ds2490::kModeCount> modes_{};
  std::deque<uint8_t> ep2_;
  std::deque<uint8_t> ep3_;
  std::vector<uint8_t> results_;
  std::vector<std::array<uint16_t, 2>> queued_;  // commands sent without IM
  bool overflowed_ = false;
  int busyPolls_ = 0;  // status polls that still show the last command running
  uint16_t running_ = 0;
};

// The ID chip a DS9490R carries: it answers the ROM commands and nothing else.
std::unique_ptr<Chip> makeAdapterIdChip();

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_DS2490_EMULATOR_H
