// Everything teds serve does on a 1-Wire bus, in one place: listing the chips, reading
// one, and the checked write of an image to one. Calls run one at a time, since the bus
// libraries keep one session per process.
#ifndef TEDSKIT_CLI_SERVE_BUS_ACCESS_H
#define TEDSKIT_CLI_SERVE_BUS_ACCESS_H

#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

namespace teds::serve {

// {"bus", "adapter", "chips": [{"rom", "device", "channel", "teds", "described"}]}
nlohmann::json scanChips(const std::string& busName);

struct ChipOnBus {
  std::string rom;       // as teds bus prints it
  std::string described;  // "DS2431 2D... behind channel 2"
  std::string text;      // the image as "memory:" and "register:" lines; "" for a blank chip
  std::string chipHex;   // the whole chip as stored, to tell later whether it changed
};

// rom "" takes the one TEDS chip of the bus.
ChipOnBus readChipOf(const std::string& busName, const std::string& rom);

// What writing text to the chip would change: refused (ApiError 422) when it cannot
// succeed; else the field diff and a sentence of what is written where.
struct WritePlan {
  std::filesystem::path templatesDir;
  ChipOnBus chip;
  std::string what;
  std::string diff;
};
WritePlan planWriteTo(const std::filesystem::path& templatesDir, const std::string& busName,
                      const std::string& rom, const std::string& text);

// An image that came with a bad checksum may be corrupt: teds write refuses it unless
// forced, and so does the server (ApiError 422 naming the "force" member).
void refuseUnforcedChecksum(bool forced);

// Writes the plan's image when the chip still holds what the plan was made against
// (ApiError 409 otherwise), then reads the chip back in a session of its own.
ChipOnBus writePlanned(const std::string& busName, const WritePlan& plan, const std::string& text);

}  // namespace teds::serve

#endif
