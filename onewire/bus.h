// The library's one adapter session and the bus steps every sequence is made of.
#ifndef TEDSKIT_ONEWIRE_BUS_H
#define TEDSKIT_ONEWIRE_BUS_H

#include <array>
#include <cstdint>
#include <span>

#include "base/fixed_meanings.h"
#include "tedskit/owbus.h"

namespace ferrun {

using tedskit::base::kFamilyDs2406;
using tedskit::base::kFamilyDs2430a;
using tedskit::base::kFamilyDs2431;

// Tries of an operation that a bus or adapter fault interrupted.
inline constexpr int kAttempts = 3;

struct State {
  int32_t handle = 0;
  // Given to every search and select; after a family search it names the device found.
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> search{};
  int16_t switchPresent = -1;
  int16_t channel = -1;
  // Set when an adapter call failed (the adapter did not carry it); cleared by the
  // operation that looks at it.
  bool adapterFailed = false;
};
State& state();

bool sessionValid();
void reset();
// Reset and Match ROM of the device the last family search found.
bool select();
void send(uint8_t byte);
uint8_t read();
void read(std::span<uint8_t> into);
void block(std::span<uint8_t> bytes);
void waitMs(uint32_t ms);
// true when an adapter call failed since the last clearAdapterFailure().
bool adapterFailed();
void clearAdapterFailure();
// The wait after an EEPROM copy: the data sheet's, unless the long waits are asked for.
void programmingWait(uint32_t datasheetMs, uint32_t longMs);

bool familySearch(uint8_t family);
// The family of the first memory chip of kChipModels found, in their order, or 0.
uint8_t detectChip();
// detectChip(), tried again while the adapter fails it (adapterFailed() tells).
uint8_t detectChipRetrying();
// The adapter echo check (skipped while a switch is present or before any open).
bool echoCheckPasses();

}  // namespace ferrun

#endif  // TEDSKIT_ONEWIRE_BUS_H
