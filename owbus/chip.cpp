#include "chip.h"

#include "base/onewire_commands.h"
#include "crc.h"

namespace owbus {

namespace {
using namespace tedskit::base::onewire;
}  // namespace

Chip::Chip(uint8_t family, const Serial& serial) { setIdentity(family, serial); }

void Chip::setIdentity(uint8_t family, const Serial& serial) {
  rom_[0] = family;
  for (size_t i = 0; i < serial.size(); ++i) rom_[i + 1] = serial[i];
  rom_[7] = crc8(std::span<const uint8_t>(rom_.data(), 7));
}

bool Chip::reset(Env& env) {
  if (programming(env)) {
    layer_ = Layer::Idle;
    return false;
  }
  layer_ = Layer::RomCommand;
  return true;
}

void Chip::startProgramming(Env& env, uint64_t tprogUs) {
  busyUntilUs_ = env.nowUs + tprogUs;
  env.dirty = true;
}

void Chip::enterFunction() {
  layer_ = Layer::Function;
  out_.clear();
  outPos_ = 0;
  startFunction();
}

void Chip::endSearch(bool won) {
  resumable_ = won;
  if (won) {
    enterFunction();
  } else {
    layer_ = Layer::Idle;
  }
}

uint8_t Chip::touch(uint8_t host, Env& env) {
  switch (layer_) {
    case Layer::Idle:
      return 0xFF;
    case Layer::Function:
      if (outPos_ < out_.size()) {
        const uint8_t out = out_[outPos_++];
        if (outPos_ == out_.size()) {
          out_.clear();
          outPos_ = 0;
        }
        return out;
      }
      return function(host, env);
    case Layer::ReadRom: {
      const uint8_t out = rom_[romPos_++];
      if (romPos_ == rom_.size()) layer_ = Layer::Idle;
      return out;
    }
    case Layer::MatchRom:
      matched_ = matched_ && host == rom_[romPos_];
      if (++romPos_ == rom_.size()) {
        resumable_ = matched_;
        if (matched_) {
          enterFunction();
        } else {
          layer_ = Layer::Idle;
        }
      }
      return 0xFF;
    case Layer::RomCommand:
      break;
  }
  romPos_ = 0;
  switch (host) {
    case kReadRom:
      resumable_ = false;
      layer_ = Layer::ReadRom;
      break;
    case kMatchRom:
      matched_ = true;
      layer_ = Layer::MatchRom;
      break;
    case kSkipRom:
      resumable_ = false;
      enterFunction();
      break;
    case kResume:
      if (hasResume() && resumable_) {
        enterFunction();
      } else {
        layer_ = Layer::Idle;
      }
      break;
    default:
      // Search ROM runs bit by bit through the bus's search pass; any other byte here is
      // a command the chip does not know.
      layer_ = Layer::Idle;
      break;
  }
  return 0xFF;
}

}  // namespace owbus
