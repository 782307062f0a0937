#include "ds2480b_emulator.h"

namespace owbus {

using namespace ds2480b;

void Ds2480bEmulator::powerUp() {
  mode_ = Mode::Calibration;
  accelerator_ = false;
  parameters_.fill(0);
}

void Ds2480bEmulator::feed(uint8_t byte, std::vector<uint8_t>& answers) {
  switch (mode_) {
    case Mode::Calibration:
      mode_ = Mode::Command;  // the timing reset: no answer
      return;
    case Mode::Command:
      commandByte(byte, answers);
      return;
    case Mode::Data:
      if (byte == kCommandMode) {
        mode_ = Mode::DataEscape;
      } else {
        dataByte(byte, answers);
      }
      return;
    case Mode::DataEscape:
      if (byte == kCommandMode) {
        mode_ = Mode::Data;
        dataByte(byte, answers);
      } else {
        mode_ = Mode::Command;
        commandByte(byte, answers);
      }
      return;
  }
}

void Ds2480bEmulator::commandByte(uint8_t byte, std::vector<uint8_t>& answers) {
  if (byte == kDataMode) {
    mode_ = Mode::Data;
    return;
  }
  if (byte == kCommandMode || byte == kPulseEnd) return;
  if (isConfiguration(byte)) {
    const size_t parameter = (byte >> 4) & 7;
    if (parameter == 0) {
      answers.push_back(readAnswer(parameters_[(byte >> 1) & 7]));
    } else {
      parameters_[parameter] = static_cast<uint8_t>((byte >> 1) & 7);
      answers.push_back(writeAnswer(byte));
    }
    return;
  }
  if (!isCommand(byte)) return;
  if (isPulse(byte)) {
    answers.push_back(static_cast<uint8_t>(byte & 0xFC));
    return;
  }
  switch (byte & 0x60) {
    case 0x00:
      answers.push_back(singleBitAnswer(byte, bus_.touchBit((byte & 0x10) != 0)));
      return;
    case 0x20:
      accelerator_ = (byte & 0x10) != 0;
      return;
    case 0x40:
      answers.push_back(encodeResetAnswer(bus_.reset(), kRevision, false));
      return;
    default:
      return;  // mode bytes other than E1h/E3h: nothing happens
  }
}

void Ds2480bEmulator::dataByte(uint8_t byte, std::vector<uint8_t>& answers) {
  if (!accelerator_) {
    answers.push_back(bus_.adapterTouch(byte));
    return;
  }
  // Four ROM bits per byte: the preferred direction of each in the odd bit; back come
  // the discrepancy (both bits read alike) and the direction taken.
  uint8_t answer = 0;
  for (int k = 0; k < 4; ++k) {
    const SimBus::Triplet t = bus_.searchTriplet(((byte >> (2 * k + 1)) & 1) != 0);
    if (t.bit == t.complement) answer |= static_cast<uint8_t>(1 << (2 * k));
    if (t.direction) answer |= static_cast<uint8_t>(2 << (2 * k));
  }
  answers.push_back(answer);
}

}  // namespace owbus
