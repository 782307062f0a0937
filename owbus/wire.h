// What every back end speaks in: registration numbers, reset results and the result of a
// search pass.
#ifndef TEDSKIT_OWBUS_WIRE_H
#define TEDSKIT_OWBUS_WIRE_H

#include <array>
#include <cstdint>

namespace owbus {

// Family code, six serial bytes, CRC-8.
using Rom = std::array<uint8_t, 8>;

enum class ResetResult { NoPresence, Presence, Alarm, Short };

inline bool answered(ResetResult r) { return r == ResetResult::Presence || r == ResetResult::Alarm; }

// One pass of the ROM search: the bits the host prefers at a discrepancy go in, the ROM
// the search settled on and where the discrepancies were come out.
struct SearchPass {
  bool found = false;
  Rom rom{};
  std::array<bool, 64> discrepancy{};
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_WIRE_H
