// The Basic TEDS of the 64-bit application register, from bit 0.
#ifndef TEDSKIT_ENGINE_TEDS_INFO_BASIC_TEDS_H
#define TEDSKIT_ENGINE_TEDS_INFO_BASIC_TEDS_H

#include <span>

#include "tedskit/tedsinfo.hpp"

namespace dorvia {

inline constexpr int kManufacturerBits = 14;
inline constexpr int kModelNumberBits = 15;
inline constexpr int kVersionLetterBits = 5;
inline constexpr int kVersionNumberBits = 6;
inline constexpr int kSerialNumberBits = 24;

TedsBasicNumbers readBasicNumbers(std::span<const uint8_t, 8> appreg);

}  // namespace dorvia

#endif
