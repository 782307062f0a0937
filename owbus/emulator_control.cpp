#include "emulator_control.h"

#include <algorithm>
#include <sstream>

#include "runtime.h"

namespace owbus {

namespace {

struct FaultName {
  const char* name;
  Fault fault;
};
constexpr FaultName kFaultNames[] = {
    {"no-presence", Fault::NoPresence}, {"echo-mismatch", Fault::EchoMismatch}, {"flip-bit", Fault::FlipBit},
    {"ds2406-crc", Fault::Ds2406Crc},   {"copy-fail", Fault::CopyFail},         {"vanish", Fault::Vanish},
    {"lost", Fault::LostAnswer},        {"garble", Fault::GarbledAnswer},
};

// Bits 7-6 of an answer flipped: a reset answer no longer looks like one.
constexpr uint8_t kGarble = 0xC0;

}  // namespace

bool answerSurvives(uint8_t& answer) {
  if (faults().fire(Fault::LostAnswer)) return false;
  if (faults().fire(Fault::GarbledAnswer)) answer ^= kGarble;
  return true;
}

void applyAnswerFaults(std::vector<uint8_t>& answers) {
  std::erase_if(answers, [](uint8_t& b) { return !answerSurvives(b); });
}

bool applyControlLine(const std::string& line, std::string& error) {
  std::istringstream in(line);
  std::string word;
  in >> word;
  if (word == "clear") {
    faults().clear();
    return true;
  }
  if (word != "fault") {
    error = "unknown control line '" + line + "' (fault KIND SKIP COUNT, or clear)";
    return false;
  }
  std::string kind;
  int32_t skip = 0;
  int32_t count = 0;
  if (!(in >> kind >> skip >> count)) {
    error = "fault needs KIND SKIP COUNT";
    return false;
  }
  const auto* named = std::find_if(std::begin(kFaultNames), std::end(kFaultNames),
                                   [&](const FaultName& f) { return kind == f.name; });
  if (named == std::end(kFaultNames)) {
    error = "unknown fault '" + kind + "'";
    return false;
  }
  if (!faults().set(static_cast<int32_t>(named->fault), skip, count)) {
    error = "SKIP must not be negative";
    return false;
  }
  return true;
}

}  // namespace owbus
