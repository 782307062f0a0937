// A DS2480B as its host sees it, byte for byte, in front of a simulated bus: command
// and data mode with E3h doubling, configuration parameters, resets with the chip
// revision, single bits and the search accelerator.
#ifndef TEDSKIT_OWBUS_DS2480B_EMULATOR_H
#define TEDSKIT_OWBUS_DS2480B_EMULATOR_H

#include <array>
#include <cstdint>
#include <vector>

#include "ds2480b_protocol.h"
#include "simbus.h"

namespace owbus {

class Ds2480bEmulator {
 public:
  static constexpr int kRevision = 3;
  explicit Ds2480bEmulator(SimBus& bus) : bus_(bus) { powerUp(); }

  // The state after power-up or a BREAK: command mode, 9600 baud, and the next byte is
  // taken as the timing reset.
  void powerUp();
  // One byte from the host; its answer, if any, is appended to `answers`.
  void feed(uint8_t byte, std::vector<uint8_t>& answers);

  int baud() const { return ds2480b::kBaudRates[parameters_[7] & 3]; }

 private:
  enum class Mode { Calibration, Command, Data, DataEscape };
  void commandByte(uint8_t byte, std::vector<uint8_t>& answers);
  void dataByte(uint8_t byte, std::vector<uint8_t>& answers);

  SimBus& bus_;
  Mode mode_ = Mode::Calibration;
  bool accelerator_ = false;
  std::array<uint8_t, 8> parameters_{};
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_DS2480B_EMULATOR_H
