// teds bus: the adapter and every chip the search finds on the bus.
#include <array>
#include <cstdio>
#include <iostream>
#include <vector>

#include "bus_choice.h"
#include "commands.h"
#include "tedskit/owbus.h"
#include "text.h"

namespace teds {
namespace {

struct FoundChip {
  std::array<uint8_t, 8> rom{};
  int family() const { return rom[0]; }
  // Bus order, family code first and CRC last: "2DE1A5E10D0000FE".
  std::string romText() const {
    std::string text;
    char two[3];
    for (uint8_t byte : rom) {
      std::snprintf(two, sizeof two, "%02X", byte);
      text += two;
    }
    return text;
  }
};

std::string chipName(int family) {
  const std::string text = familyText(family);
  return text.substr(0, text.find(" (family"));
}

struct BusListing {
  owbus_adapter_info adapter{};
  std::string adapterDescription;
  std::vector<FoundChip> chips;
};

// An adapter session of its own: the search is not one of ferrun's operations.
BusListing searchBus(const std::string& busName) {
  if (owbus_configure(busName.c_str()) != 0) throw Failure(owbus_last_error());
  const int32_t handle = TMExtendedStartSession(1, 5, nullptr);
  const std::string shown = busShownName(busName);
  if (handle <= 0) throw Failure("cannot open the bus " + shown + ": " + owbus_last_error());
  struct Session {
    int32_t handle;
    ~Session() { TMEndSession(handle); }
  } session{handle};
  if (TMSetup(handle) != 1)
    throw Failure("the adapter of the bus " + shown + " is not ready: " + owbus_last_error());
  BusListing listing;
  owbus_get_adapter_info(&listing.adapter);
  listing.adapterDescription = owbus_adapter_description();
  std::vector<unsigned char> state(OWBUS_STATE_BUFFER_SIZE, 0);
  for (;;) {
    const int16_t found = TMNext(handle, state.data());
    if (found == 0) break;
    if (found < 0) throw Failure("the search failed on the bus " + shown + ": " + owbus_last_error());
    std::array<int16_t, 8> words{};
    if (TMRom(handle, state.data(), words.data()) != 1)
      throw Failure("cannot read a ROM ID on the bus " + shown + ": " + owbus_last_error());
    FoundChip chip;
    for (std::size_t i = 0; i < words.size(); ++i) chip.rom[i] = static_cast<uint8_t>(words[i]);
    listing.chips.push_back(chip);
    // A search that keeps finding chips has lost its way; no real bus holds that many.
    if (listing.chips.size() > 1000) throw Failure("the search on the bus " + shown + " does not end");
  }
  return listing;
}

// A number, or null where the adapter has none.
std::string numberOrNull(int32_t value, bool present) { return present ? std::to_string(value) : "null"; }

void printJson(const std::string& shown, const BusListing& listing) {
  const owbus_adapter_info& adapter = listing.adapter;
  std::cout << "{\"bus\": " << jsonString(shown) << ", \"adapter\": {\"kind\": " << jsonString(adapter.kind)
            << ", \"port\": " << jsonString(adapter.port)
            << ", \"revision\": " << numberOrNull(adapter.revision, adapter.revision >= 0)
            << ", \"baud\": " << numberOrNull(adapter.baud, adapter.baud != 0);
  std::cout << ", \"description\": " << jsonString(listing.adapterDescription) << "}, \"chips\": [";
  const char* separator = "";
  for (const FoundChip& chip : listing.chips) {
    std::cout << separator << "{\"rom\": " << jsonString(chip.romText()) << ", \"family\": " << chip.family()
              << ", \"chip\": " << jsonString(chipName(chip.family())) << "}";
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
  const BusListing listing = searchBus(busName);
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
  for (const FoundChip& chip : listing.chips)
    std::cout << "  " << chip.romText() << "  " << familyText(chip.family()) << "\n";
  return 0;
}

}  // namespace teds
