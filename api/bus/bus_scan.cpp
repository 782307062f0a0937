#include "bus_scan.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/chip_protection.h"
#include "base/fixed_meanings.h"
#include "base/onewire_commands.h"
#include "bus_failure.h"
#include "chip_names.h"

namespace teds {
namespace {

namespace base = tedskit::base;
constexpr int kChannels = 3;
constexpr int kNoChannel = 4;  // both flip-flops off

struct ScanSession {
  int32_t handle;
  ~ScanSession() { TMEndSession(handle); }
};

// Every device a full search finds now.
std::vector<RomId> searchAll(int32_t handle, const std::string& shown) {
  std::vector<unsigned char> state(OWBUS_STATE_BUFFER_SIZE, 0);
  std::vector<RomId> found;
  for (;;) {
    const int16_t next = TMNext(handle, state.data());
    if (next == 0) break;
    if (next < 0) throw BusFailure(BusFault::Unavailable, "the search failed on the bus " + shown + ": " + owbus_last_error());
    std::array<int16_t, 8> words{};
    if (TMRom(handle, state.data(), words.data()) != 1)
      throw BusFailure(BusFault::Unavailable, "cannot read a ROM ID on the bus " + shown + ": " + owbus_last_error());
    RomId rom{};
    std::transform(words.begin(), words.end(), rom.begin(),
                   [](int16_t w) { return static_cast<uint8_t>(w); });
    found.push_back(rom);
    // A search that keeps finding chips has lost its way; no real bus holds that many.
    if (found.size() > 1000) throw BusFailure(BusFault::Unavailable, "the search on the bus " + shown + " does not end");
  }
  return found;
}

// The switch's PIO flip-flops for a channel (bits 5 and 6: 00, 01, 10); 11 is none.
uint8_t switchValue(int channel) { return static_cast<uint8_t>(0x1F | ((channel - 1) << 5)); }

// Writes the switch's status byte; true when its CRC-16 checked.
bool switchTo(int32_t handle, const RomId& sw, int channel) {
  std::vector<unsigned char> state(OWBUS_STATE_BUFFER_SIZE, 0);
  std::array<int16_t, 8> words{};
  std::copy(sw.begin(), sw.end(), words.begin());
  if (TMRom(handle, state.data(), words.data()) != 1) return false;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (TMAccess(handle, state.data()) != 1) continue;
    std::array<unsigned char, 6> bytes{
        base::onewire::kDs2406WriteStatus, 0x07, 0x00, switchValue(channel), 0xFF, 0xFF};
    if (TMBlockStream(handle, bytes.data(), static_cast<int16_t>(bytes.size())) != 6) continue;
    bytes[0] = base::onewire::kDs2406WriteStatus;
    bytes[3] = switchValue(channel);
    if (TMCRC(6, bytes.data(), 0, OWBUS_CRC16) == 0xB001) return true;
  }
  return false;
}

}  // namespace

std::string BusChip::romText() const {
  std::string text;
  char two[3];
  for (uint8_t byte : rom) {
    std::snprintf(two, sizeof two, "%02X", byte);
    text += two;
  }
  return text;
}

std::string BusChip::described() const {
  std::string text = chipName(family()) + " " + romText();
  if (channel != 0) text += " behind channel " + std::to_string(channel);
  return text;
}

bool BusChip::holdsTeds() const { return base::chipModel(family()) != nullptr; }

const BusChip* BusScan::switchChip() const {
  for (const BusChip& chip : chips)
    if (chip.channel == 0 && chip.family() == base::kFamilyDs2406) return &chip;
  return nullptr;
}

std::vector<BusChip> BusScan::tedsChips() const {
  std::vector<BusChip> teds;
  std::copy_if(chips.begin(), chips.end(), std::back_inserter(teds),
               [](const BusChip& c) { return c.holdsTeds(); });
  return teds;
}

RomId parseRomId(const std::string& text, const std::string& option) {
  const auto bad = [&](const std::string& why) {
    return BusFailure(BusFault::Request, option + " takes a ROM ID as teds bus prints it, 16 hex digits family first (" +
                                             std::string("2DE1A5E10D0000FE): ") + why);
  };
  if (text.size() != 16 || !std::all_of(text.begin(), text.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
      }))
    throw bad("\"" + text + "\" is not one");
  RomId rom{};
  for (std::size_t i = 0; i < rom.size(); ++i)
    rom[i] = static_cast<uint8_t>(std::stoul(text.substr(2 * i, 2), nullptr, 16));
  // owbus checks the CRC the same way: it refuses a ROM ID whose CRC does not check.
  if (owbus_choose_device(rom.data()) != 0) throw bad("the CRC of " + text + " does not check");
  owbus_choose_device(nullptr);
  return rom;
}

BusScan scanBus(const std::string& busName) {
  BusScan scan;
  scan.shown = busShownName(busName);
  owbus_choose_device(nullptr);
  if (owbus_configure(busName.c_str()) != 0) throw BusFailure(BusFault::Unavailable, owbus_last_error());
  const int32_t handle = TMExtendedStartSession(1, 5, nullptr);
  if (handle <= 0) throw BusFailure(BusFault::Unavailable, "cannot open the bus " + scan.shown + ": " + owbus_last_error());
  const ScanSession session{handle};
  if (TMSetup(handle) != 1)
    throw BusFailure(BusFault::Unavailable, "the adapter of the bus " + scan.shown + " is not ready: " + owbus_last_error());
  owbus_get_adapter_info(&scan.adapter);
  scan.adapterDescription = owbus_adapter_description();
  std::vector<RomId> onBus = searchAll(handle, scan.shown);
  const auto sw = std::find_if(onBus.begin(), onBus.end(),
                               [](const RomId& rom) { return (rom[0] & 0x7F) == base::kFamilyDs2406; });
  if (sw == onBus.end()) {
    for (const RomId& rom : onBus) scan.chips.push_back({rom, 0});
    return scan;
  }
  const RomId swRom = *sw;
  const auto switchOrFail = [&](int channel) {
    if (!switchTo(handle, swRom, channel))
      throw BusFailure(BusFault::Unavailable, "cannot switch the DS2406 " + BusChip{swRom, 0}.romText() + " to channel " +
                    std::to_string(channel) + " on the bus " + scan.shown);
  };
  // The switch may still connect a channel from an earlier session: with every channel
  // off, what answers is on the bus itself.
  switchOrFail(kNoChannel);
  onBus = searchAll(handle, scan.shown);
  for (const RomId& rom : onBus) scan.chips.push_back({rom, 0});
  for (int channel = 1; channel <= kChannels; ++channel) {
    switchOrFail(channel);
    for (const RomId& rom : searchAll(handle, scan.shown)) {
      if (std::find(onBus.begin(), onBus.end(), rom) == onBus.end()) scan.chips.push_back({rom, channel});
    }
  }
  switchOrFail(kNoChannel);
  return scan;
}

std::array<uint8_t, 4> readDs2431PageControl(const BusScan& scan, const std::string& busName,
                                             const BusChip& chip) {
  owbus_choose_device(nullptr);
  if (owbus_configure(busName.c_str()) != 0) throw BusFailure(BusFault::Unavailable, owbus_last_error());
  const int32_t handle = TMExtendedStartSession(1, 5, nullptr);
  if (handle <= 0) throw BusFailure(BusFault::Unavailable, "cannot open the bus " + scan.shown + ": " + owbus_last_error());
  const ScanSession session{handle};
  const BusChip* sw = scan.switchChip();
  if (chip.channel != 0 && (sw == nullptr || !switchTo(handle, sw->rom, chip.channel)))
    throw BusFailure(BusFault::Unavailable, "cannot switch the DS2406 to channel " + std::to_string(chip.channel));
  std::vector<unsigned char> state(OWBUS_STATE_BUFFER_SIZE, 0);
  std::array<int16_t, 8> words{};
  std::copy(chip.rom.begin(), chip.rom.end(), words.begin());
  std::array<unsigned char, 3 + 4> bytes{
      base::onewire::kReadMemory, base::kDs2431PageControl, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
  if (TMRom(handle, state.data(), words.data()) != 1 || TMAccess(handle, state.data()) != 1 ||
      TMBlockStream(handle, bytes.data(), static_cast<int16_t>(bytes.size())) !=
          static_cast<int16_t>(bytes.size()))
    throw BusFailure(BusFault::Unavailable, "cannot read the page protection of the " + chip.described() + ": " + owbus_last_error());
  if (chip.channel != 0) switchTo(handle, sw->rom, kNoChannel);
  return {bytes[3], bytes[4], bytes[5], bytes[6]};
}

namespace {

std::string listed(const std::vector<BusChip>& chips) {
  std::string text;
  for (const BusChip& chip : chips) text += (text.empty() ? "" : ", ") + chip.described();
  return text;
}

}  // namespace

BusChip chooseChip(const BusScan& scan, const ChipRequest& request, std::vector<BusChip>* several) {
  const std::optional<int> channel = request.channel;
  if (channel) {
    if (*channel < 1 || *channel > kChannels)
      throw BusFailure(BusFault::Request, request.channelOption + " takes 1, 2 or 3");
    if (scan.switchChip() == nullptr)
      throw BusFailure(BusFault::NoChip, "no DS2406 channel switch on the bus " + scan.shown);
  }
  if (request.device) {
    const RomId rom = parseRomId(*request.device, request.deviceOption);
    const auto at =
        std::find_if(scan.chips.begin(), scan.chips.end(), [&](const BusChip& c) { return c.rom == rom; });
    const std::string text = BusChip{rom, 0}.romText();
    if (at == scan.chips.end()) throw BusFailure(BusFault::NoChip, "no chip " + text + " on the bus " + scan.shown);
    if (!at->holdsTeds())
      throw BusFailure(BusFault::NoChip, "the " + at->described() + " holds no TEDS; the TEDS chips on the bus " +
                                             scan.shown + ": " +
                                             (scan.tedsChips().empty() ? "none" : listed(scan.tedsChips())));
    if (channel && at->channel != 0 && at->channel != *channel)
      throw BusFailure(BusFault::NoChip,
                       "the " + at->described() + " is not behind channel " + std::to_string(*channel));
    return *at;
  }
  std::vector<BusChip> candidates;
  for (const BusChip& chip : scan.chips)
    if (chip.holdsTeds() && chip.channel == channel.value_or(0)) candidates.push_back(chip);
  if (candidates.size() == 1) return candidates.front();
  if (candidates.size() > 1) {
    if (several != nullptr) *several = candidates;
    throw BusFailure(BusFault::SeveralChips,
                     std::to_string(candidates.size()) + " TEDS chips on the bus " + scan.shown +
                         (channel ? " behind channel " + std::to_string(*channel) : "") + " (" +
                         listed(candidates) + "): choose one with " + request.deviceOption + " ROM");
  }
  if (channel)
    throw BusFailure(BusFault::NoChip, "no TEDS memory chip behind channel " + std::to_string(*channel) +
                                           " on the bus " + scan.shown);
  if (const BusChip* sw = scan.switchChip()) {
    std::string channels;
    for (const BusChip& chip : scan.tedsChips())
      channels += (channels.empty() ? "" : ", ") + std::to_string(chip.channel) + ": " +
                  chipName(chip.family()) + " " + chip.romText();
    throw BusFailure(BusFault::NoChip,
                     "no TEDS memory chip on the bus " + scan.shown + " itself; its DS2406 switch " +
                         sw->romText() +
                         (channels.empty() ? " has no TEDS chip behind channels 1-3"
                                           : " connects channel " + channels + "; choose one with " +
                                                 request.channelOption + " N"));
  }
  throw BusFailure(BusFault::NoChip, "no TEDS memory chip on the bus " + scan.shown);
}

}  // namespace teds
