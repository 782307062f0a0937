// teds bus: the adapter and every chip the search finds on the bus.
#include <algorithm>
#include <array>
#include <optional>
#include <cstdio>
#include <iostream>
#include <vector>

#include "bus_choice.h"
#include "base/bit_field.h"
#include "base/fixed_meanings.h"
#include "bus_scan.h"
#include "bus/chip_read.h"
#include "commands.h"
#include "tedskit/owbus.h"
#include "text.h"

namespace teds {
namespace {

// What a chip holds, for the TEDS column: a TEDS (template and serial number), nothing
// (blank), or for a switch the channels that lead to a chip.
struct Holding {
  bool memory = false;
  std::optional<int> templateId;
  uint32_t serial = 0;
  bool blank = false;
  std::string error;
  std::vector<int> channels;
};

Holding holdingOf(const std::string& busName, const BusScan& scan, const BusChip& chip) {
  Holding holding;
  if (chip.channel == 0 && chip.family() == tedskit::base::kFamilyDs2406) {
    for (const BusChip& behind : scan.chips)
      if (behind.channel != 0 && std::find(holding.channels.begin(), holding.channels.end(),
                                           behind.channel) == holding.channels.end())
        holding.channels.push_back(behind.channel);
    return holding;
  }
  if (!chip.holdsTeds()) return holding;
  holding.memory = true;
  try {
    const ChipRead read = readChipAt(busName, chip);
    if (read.image.blankByte()) {
      holding.blank = true;
    } else {
      holding.templateId = read.image.templateId();
      holding.serial =
          static_cast<uint32_t>(tedskit::base::readBits(std::span<const uint8_t>(read.image.basic), 40, 24));
    }
  } catch (const Failure& e) {
    holding.error = e.what();
  }
  return holding;
}

std::string holdingText(const Holding& h) {
  if (!h.memory) {
    if (h.channels.empty()) return "";
    const bool several = h.channels.size() > 1;
    std::string text = several ? "channels " : "channel ";
    for (std::size_t i = 0; i < h.channels.size(); ++i)
      text += (i > 0 ? ", " : "") + std::to_string(h.channels[i]);
    return text + (several ? " lead to chips" : " leads to a chip");
  }
  if (h.blank) return "blank, no TEDS";
  if (!h.error.empty()) return "unreadable: " + h.error;
  return "TEDS template " + std::to_string(*h.templateId) + ", serial " + std::to_string(h.serial);
}

std::string holdingJson(const Holding& h) {
  if (!h.memory) {
    std::string list = "[";
    for (std::size_t i = 0; i < h.channels.size(); ++i)
      list += (i > 0 ? ", " : "") + std::to_string(h.channels[i]);
    return "\"teds\": null, \"channels\": " + list + "]";
  }
  if (h.blank) return "\"teds\": {\"blank\": true}";
  if (!h.error.empty()) return "\"teds\": {\"error\": " + jsonString(h.error) + "}";
  return "\"teds\": {\"template\": " + std::to_string(*h.templateId) +
         ", \"serial\": " + std::to_string(h.serial) + "}";
}

// A number, or null where the adapter has none.
std::string numberOrNull(int32_t value, bool present) { return present ? std::to_string(value) : "null"; }

void printJson(const std::string& shown, const BusScan& listing, const std::vector<Holding>& holdings) {
  const owbus_adapter_info& adapter = listing.adapter;
  std::cout << "{\"bus\": " << jsonString(shown) << ", \"adapter\": {\"kind\": " << jsonString(adapter.kind)
            << ", \"port\": " << jsonString(adapter.port)
            << ", \"revision\": " << numberOrNull(adapter.revision, adapter.revision >= 0)
            << ", \"baud\": " << numberOrNull(adapter.baud, adapter.baud != 0);
  std::cout << ", \"description\": " << jsonString(listing.adapterDescription) << "}, \"chips\": [";
  const char* separator = "";
  for (std::size_t i = 0; i < listing.chips.size(); ++i) {
    const BusChip& chip = listing.chips[i];
    std::cout << separator << "{\"rom\": " << jsonString(chip.romText()) << ", \"family\": " << chip.family()
              << ", \"chip\": " << jsonString(chipName(chip.family())) << ", \"channel\": " << chip.channel
              << ", " << holdingJson(holdings[i]) << "}";
    separator = ", ";
  }
  std::cout << "]}\n";
}

}  // namespace

int runBus(std::span<char* const> argv) {
  const Args args(argv, busOptions({}));
  if (args.has("help")) {
    printHelp(helpOf("bus"));
    return 0;
  }
  if (!args.positional().empty()) throw UsageError("teds bus takes no arguments");
  if (args.value("channel"))
    throw UsageError("teds bus lists the whole bus; --channel is for read and write");
  const Context context = makeContext(args);
  const TrafficEcho echo(args.has("verbose"));
  const std::string busName = busSpecification(args);
  const std::string shown = busShownName(busName);
  const BusScan listing = scanBus(busName);
  std::vector<Holding> holdings;
  for (const BusChip& chip : listing.chips) holdings.push_back(holdingOf(busName, listing, chip));
  if (context.json) {
    printJson(shown, listing, holdings);
    return 0;
  }
  std::cout << "Bus: " << shown << "\n"
            << "Adapter: " << listing.adapterDescription << "\n";
  if (listing.chips.empty()) {
    std::cout << "No chip answered the search.\n";
    return 0;
  }
  std::cout << "Chips: " << listing.chips.size() << "\n";
  for (std::size_t i = 0; i < listing.chips.size(); ++i) {
    const BusChip& chip = listing.chips[i];
    std::cout << "  " << chip.romText() << "  " << familyText(chip.family());
    if (chip.channel != 0) std::cout << "  behind channel " << chip.channel;
    if (const std::string holds = holdingText(holdings[i]); !holds.empty()) std::cout << "  " << holds;
    std::cout << "\n";
  }
  return 0;
}

}  // namespace teds
