#include "bus_access.h"

#include <mutex>

#include "api_error.h"
#include "bus/bus_failure.h"
#include "bus/chip_read.h"
#include "bus/chip_write.h"
#include "bus_choice.h"
#include "bus_scan.h"

namespace teds::serve {

namespace {

using nlohmann::json;

std::mutex& busLock() {
  static std::mutex lock;
  return lock;
}

// The HTTP status of a bus failure: a bus that cannot be opened, a chip that is not
// there or a write the chip's state refuses is the user's to mend; a write that went
// wrong on the way is not.
int statusOf(BusFault fault) {
  switch (fault) {
    case BusFault::NoChip:
      return 404;
    case BusFault::SeveralChips:
      return 409;
    case BusFault::WriteFailed:
      return 502;
    case BusFault::Request:
    case BusFault::Unavailable:
    case BusFault::NoTeds:
    case BusFault::Refused:
      break;
  }
  return 422;
}

// Runs a bus call with the bus to itself, its failures as API errors.
template <typename Call>
auto onBus(Call call) {
  const std::lock_guard hold(busLock());
  try {
    return call();
  } catch (const BusFailure& failure) {
    throw ApiError(statusOf(failure.fault()), failure.what());
  }
}

// The chip as teds read and write choose it, from the ROM ID the page sends.
BusChip chipByRom(const BusScan& scan, const std::string& rom) {
  ChipRequest request;
  if (!rom.empty()) request.device = rom;
  return chooseChip(scan, request);
}

ChipOnBus described(const BusChip& chip, const ChipRead& read) {
  ChipOnBus out;
  out.rom = chip.romText();
  out.described = chip.described();
  if (!read.image.blankByte()) out.text = formatImage(read.image);
  out.chipHex = toHex(read.chip);
  if (read.reg) out.chipHex.append("/").append(toHex(*read.reg)).append(read.locked ? "L" : "");
  return out;
}

TedsImage imageOf(const std::filesystem::path& templatesDir, const std::string& text) {
  TedsImage image;
  try {
    image = parseImage(text);
  } catch (const std::exception& e) {
    throw ApiError(422, e.what());
  }
  // The page writes what libtedskit encoded, with a checksum of its own; a cut image is
  // refused as teds write refuses it.
  refuseCutImage(templatesDir, image, "");
  return image;
}

// The write as teds write plans it: every check before the first byte.
PreparedWrite prepared(const std::filesystem::path& templatesDir, const std::string& busName,
                       const std::string& rom, const std::string& text) {
  TedsImage image = imageOf(templatesDir, text);
  const BusScan scan = scanBus(busName);
  const BusChip target = chipByRom(scan, rom);
  return PreparedWrite(busName, scan, target, std::move(image), templatesDir);
}

}  // namespace

json scanChips(const std::string& busName) {
  return onBus([&] {
    const BusScan scan = scanBus(busName);
    json chips = json::array();
    for (const BusChip& chip : scan.chips) {
      chips.push_back({{"rom", chip.romText()},
                       {"device", familyText(chip.family())},
                       {"channel", chip.channel},
                       {"teds", chip.holdsTeds()},
                       {"described", chip.described()}});
    }
    return json{{"bus", scan.shown}, {"adapter", scan.adapterDescription}, {"chips", chips}};
  });
}

ChipOnBus readChipOf(const std::string& busName, const std::string& rom) {
  return onBus([&] {
    const BusScan scan = scanBus(busName);
    const BusChip chip = chipByRom(scan, rom);
    return described(chip, readChipAt(busName, chip));
  });
}

WritePlan planWriteTo(const std::filesystem::path& templatesDir, const std::string& busName,
                      const std::string& rom, const std::string& text) {
  return onBus([&] {
    const PreparedWrite write = prepared(templatesDir, busName, rom, text);
    WritePlan out;
    out.templatesDir = templatesDir;
    out.chip = described(write.target(), write.now());
    out.what = write.what();
    if (write.locks()) out.what += ", locking the application register for good";
    out.diff = fieldDiffText(write.diff());
    return out;
  });
}

void refuseUnforcedChecksum(bool forced) {
  TedsImage image;
  image.checksumOk = false;
  try {
    refuseCorruptImage(image, forced, "a confirmation with \"force\": true");
  } catch (const BusFailure& failure) {
    throw ApiError(422, failure.what());
  }
}

ChipOnBus writePlanned(const std::string& busName, const WritePlan& plan, const std::string& text) {
  return onBus([&] {
    BusChip target;
    {
      PreparedWrite write = prepared(plan.templatesDir, busName, plan.chip.rom, text);
      target = write.target();
      if (described(target, write.now()).chipHex != plan.chip.chipHex) {
        throw ApiError(409, "the " + target.described() +
                                " changed since the write was prepared; nothing written, prepare it again");
      }
      write.commit();
    }  // the write's session ends before the chip is read back in one of its own
    return described(target, readChipAt(busName, target));
  });
}

}  // namespace teds::serve
