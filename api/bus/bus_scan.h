// What answers on a bus: every chip the search finds and, behind a DS2406 switch, the
// chips each of its channels connects; and the one chip read and write work with.
#ifndef TEDSKIT_API_BUS_BUS_SCAN_H
#define TEDSKIT_API_BUS_BUS_SCAN_H

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tedskit/owbus.h"

namespace teds {

using RomId = std::array<uint8_t, 8>;

struct BusChip {
  RomId rom{};
  int channel = 0;  // 0 on the bus itself, 1-3 behind that channel of the switch
  int family() const { return rom[0]; }
  // Bus order, family code first and CRC last: "2DE1A5E10D0000FE".
  std::string romText() const;
  // "DS2431 2DE1A5E10D0000FE", with "behind channel 2" where it is.
  std::string described() const;
  // A memory chip that can hold a TEDS (the DS2406 switch and unknown chips cannot).
  bool holdsTeds() const;
};

struct BusScan {
  std::string shown;  // the bus as the user named it
  owbus_adapter_info adapter{};
  std::string adapterDescription;
  std::vector<BusChip> chips;  // search order on the bus, then channel 1, 2, 3
  const BusChip* switchChip() const;
  std::vector<BusChip> tedsChips() const;
};

// The ROM ID a user gives: 16 hex digits in either case whose CRC checks. option names
// the argument in the message of a BusFailure (Request).
RomId parseRomId(const std::string& text, const std::string& option = "--device");

// An adapter session of its own, ended before it returns; with a switch on the bus each
// of its channels is switched on in turn and searched.
BusScan scanBus(const std::string& busName);

// A DS2431's page protection bytes (80h-83h), read in a session of its own.
std::array<uint8_t, 4> readDs2431PageControl(const BusScan& scan, const std::string& busName,
                                             const BusChip& chip);

// Which chip the user asked for; the option names appear in the messages ("--device" in
// the tool, "device" for library callers).
struct ChipRequest {
  std::optional<std::string> device;  // a ROM ID as the user gave it
  std::optional<int> channel;         // 1-3
  std::string deviceOption = "--device";
  std::string channelOption = "--channel";
};

// The chip read and write work with: the device asked for, else the one TEDS chip on the
// bus (behind the channel when that is given). Several chips and none are BusFailures
// that say which chips and channels there are; `several` is filled with the candidates
// when there is more than one, before the failure is thrown.
BusChip chooseChip(const BusScan& scan, const ChipRequest& request, std::vector<BusChip>* several = nullptr);

}  // namespace teds

#endif
