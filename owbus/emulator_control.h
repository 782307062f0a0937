// What the emulated adapters share: the faults of their answers on the way to the host,
// and the control lines that switch faults on in an emulator process.
#ifndef TEDSKIT_OWBUS_EMULATOR_CONTROL_H
#define TEDSKIT_OWBUS_EMULATOR_CONTROL_H

#include <cstdint>
#include <string>
#include <vector>

namespace owbus {

// Drops or garbles answer bytes as the lost-answer and garbled-answer faults say.
void applyAnswerFaults(std::vector<uint8_t>& answers);
// One answer byte: false when it is lost on the way; a garbled one comes back changed.
bool answerSurvives(uint8_t& answer);

// "fault KIND SKIP COUNT" or "clear"; false with the reason for anything else.
bool applyControlLine(const std::string& line, std::string& error);

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_EMULATOR_CONTROL_H
