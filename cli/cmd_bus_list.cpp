// teds bus: the adapter and every chip the search finds on the bus.
#include <array>
#include <cstdio>
#include <iostream>
#include <vector>

#include "bus_choice.h"
#include "bus_scan.h"
#include "commands.h"
#include "tedskit/owbus.h"
#include "text.h"

namespace teds {
namespace {

std::string chipName(int family) {
  const std::string text = familyText(family);
  return text.substr(0, text.find(" (family"));
}

// A number, or null where the adapter has none.
std::string numberOrNull(int32_t value, bool present) { return present ? std::to_string(value) : "null"; }

void printJson(const std::string& shown, const BusScan& listing) {
  const owbus_adapter_info& adapter = listing.adapter;
  std::cout << "{\"bus\": " << jsonString(shown) << ", \"adapter\": {\"kind\": " << jsonString(adapter.kind)
            << ", \"port\": " << jsonString(adapter.port)
            << ", \"revision\": " << numberOrNull(adapter.revision, adapter.revision >= 0)
            << ", \"baud\": " << numberOrNull(adapter.baud, adapter.baud != 0);
  std::cout << ", \"description\": " << jsonString(listing.adapterDescription) << "}, \"chips\": [";
  const char* separator = "";
  for (const BusChip& chip : listing.chips) {
    std::cout << separator << "{\"rom\": " << jsonString(chip.romText()) << ", \"family\": " << chip.family()
              << ", \"chip\": " << jsonString(chipName(chip.family())) << ", \"channel\": " << chip.channel << "}";
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
  if (context.json) {
    printJson(shown, listing);
    return 0;
  }
  std::cout << "Bus: " << shown << "\n"
            << "Adapter: " << listing.adapterDescription << "\n";
  if (listing.chips.empty()) {
    std::cout << "No chip answered the search.\n";
    return 0;
  }
  std::cout << "Chips: " << listing.chips.size() << "\n";
  for (const BusChip& chip : listing.chips) {
    std::cout << "  " << chip.romText() << "  " << familyText(chip.family());
    if (chip.channel != 0) std::cout << "  behind channel " << chip.channel;
    std::cout << "\n";
  }
  return 0;
}

}  // namespace teds
