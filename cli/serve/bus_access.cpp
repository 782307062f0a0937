#include "bus_access.h"

#include <mutex>

#include "api_error.h"
#include "base/chip_image.h"
#include "base/chip_layout.h"
#include "base/chip_protection.h"
#include "bus_choice.h"
#include "bus_scan.h"
#include "chip_read.h"
#include "field_diff.h"
#include "tedskit/ferrun.h"
#include "tedskit/owbus.h"

namespace teds::serve {

namespace {

namespace base = tedskit::base;
using nlohmann::json;

std::mutex& busLock() {
  static std::mutex lock;
  return lock;
}

// The chip as teds read and write choose it, from the ROM ID the page sends.
BusChip chipByRom(const BusScan& scan, const std::string& rom) {
  std::vector<std::string> words = {"teds"};
  if (!rom.empty()) words = {"--device", rom};
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  const Args args(std::span<char* const>(argv.data(), rom.empty() ? 0 : argv.size()),
                  {{"device", 'd', true}, {"channel", 0, true}});
  return chooseChip(scan, args);
}

ChipOnBus described(const BusChip& chip, const ChipRead& read) {
  ChipOnBus out;
  out.rom = chip.romText();
  out.described = chip.described();
  if (!read.image.blankByte()) out.text = formatImage(read.image);
  out.chipHex = toHex(read.chip);
  if (read.reg) out.chipHex += "/" + toHex(*read.reg) + (read.locked ? "L" : "");
  return out;
}

// Why the write cannot succeed on the chip as it is, before a byte of it goes out: the
// same checks teds write makes.
void refuseWhatCannotSucceed(const BusChip& target, const ChipRead& now, const TedsImage& image,
                             const base::ChipWrite& plan, bool lockedWrite,
                             const std::optional<std::array<uint8_t, 4>>& pageControl) {
  const base::ChipModel& chip = chipOf(target.family());
  const std::string name = std::string(chip.name) + " " + target.romText();
  if (now.locked && image.basic != *now.reg) {
    throw ApiError(422, "the application register of the " + name + " is locked and holds the Basic TEDS " +
                            toHex(*now.reg) + "; the image has " + toHex(image.basic));
  }
  const std::size_t room = lockedWrite ? base::kLockedDs2430aRoom : plan.room;
  if (image.usedBodySize() > room) {
    throw ApiError(422, "the template data take " + std::to_string(image.usedBodySize()) + " bytes; the " +
                            chip.name + " holds " + std::to_string(room));
  }
  if (!pageControl) return;
  const auto onChip =
      base::layOutPagedImage(plan.image, chip.writeSize, plan.layoutFlag != 0, plan.selectorHint);
  const auto refusal = base::pageRefusal(now.chip, std::span(onChip).first(chip.writeSize), *pageControl);
  if (refusal) {
    throw ApiError(422, "page " + std::to_string(refusal->page) + " of " + name +
                            (refusal->eprom ? " is in EPROM mode and the image needs bits set there"
                                            : " is write-protected"));
  }
}

struct Planned {
  BusChip target;
  ChipRead now;
  TedsImage image;
  base::ChipWrite plan;
  bool lockedWrite = false;
};

Planned planOnBus(const std::string& busName, const std::string& rom, const std::string& text) {
  Planned out;
  try {
    out.image = parseImage(text);
  } catch (const std::exception& e) {
    throw ApiError(422, e.what());
  }
  if (!out.image.checksumOk) throw ApiError(422, "the image's checksum does not match its bytes");
  const BusScan scan = scanBus(busName);
  out.target = chipByRom(scan, rom);
  std::optional<std::array<uint8_t, 4>> pageControl;
  if (out.target.family() == base::kFamilyDs2431)
    pageControl = readDs2431PageControl(scan, busName, out.target);
  out.now = readChipAt(busName, out.target);
  const int family = out.target.family();
  out.lockedWrite = family == base::kFamilyDs2430a && (out.image.wantsV10Engine() || out.now.locked);
  out.plan = base::planChipWrite(out.image.basic, std::span(out.image.body).first(out.image.usedBodySize()),
                                 family);
  refuseWhatCannotSucceed(out.target, out.now, out.image, out.plan, out.lockedWrite, pageControl);
  if (out.lockedWrite) out.plan.layout = base::ChipLayout::LockedRegister;
  return out;
}

}  // namespace

json scanChips(const std::string& busName) {
  const std::lock_guard hold(busLock());
  const BusScan scan = scanBus(busName);
  json chips = json::array();
  for (const BusChip& chip : scan.chips) {
    chips.push_back({{"rom", chip.romText()},
                     {"device", familyText(chip.family())},
                     {"channel", chip.channel},
                     {"teds", chip.holdsTeds()},
                     {"described", chip.described()}});
  }
  return {{"bus", scan.shown}, {"adapter", scan.adapterDescription}, {"chips", chips}};
}

ChipOnBus readChipOf(const std::string& busName, const std::string& rom) {
  const std::lock_guard hold(busLock());
  const BusScan scan = scanBus(busName);
  const BusChip chip = chipByRom(scan, rom);
  return described(chip, readChipAt(busName, chip));
}

WritePlan planWriteTo(const std::filesystem::path& templatesDir, const std::string& busName,
                      const std::string& rom, const std::string& text) {
  const std::lock_guard hold(busLock());
  const Planned planned = planOnBus(busName, rom, text);
  WritePlan out;
  out.chip = described(planned.target, planned.now);
  out.what = "template " + std::to_string(planned.image.templateId()) + " to the " +
             planned.target.described() + " in " + base::layoutName(planned.plan.layout);
  if (planned.lockedWrite && !planned.now.locked) out.what += ", locking the application register for good";
  out.diff = fieldDiff(templatesDir, planned.now.image, planned.image);
  return out;
}

ChipOnBus writePlanned(const std::string& busName, const WritePlan& plan, const std::string& text) {
  const std::lock_guard hold(busLock());
  const Planned planned = planOnBus(busName, plan.chip.rom, text);
  if (described(planned.target, planned.now).chipHex != plan.chip.chipHex) {
    throw ApiError(409, "the " + planned.target.described() +
                            " changed since the write was prepared; nothing written, prepare it again");
  }
  int32_t result = 0;
  {
    BusSession bus(busName, planned.target);
    if (planned.lockedWrite) {
      const auto v1 = base::lockedDs2430aImage(planned.image.basic, planned.image.body);
      result = stdcdll_write_v1_memory(v1.data());
    } else {
      result = stdcdll_write_memory(planned.plan.image.data(), planned.plan.layoutFlag, planned.plan.selectorHint);
    }
  }
  if (result == FERRUN_NOT_VERIFIED) throw ApiError(502, "the chip does not read back what was written");
  if (result == FERRUN_ADAPTER_CHECK) throw ApiError(502, std::string("the adapter failed: ") + owbus_last_error());
  if (result != FERRUN_DONE) throw ApiError(502, "writing failed with code " + std::to_string(result));
  return described(planned.target, readChipAt(busName, planned.target));
}

}  // namespace teds::serve
