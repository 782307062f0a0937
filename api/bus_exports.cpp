// The bus exports of libtedskit: the same scan, choice of chip, read and checked write
// as the tool's, each under the one lock.
#include <memory>
#include <string>
#include <vector>

#include "bus/bus_scan.h"
#include "bus/chip_names.h"
#include "bus/chip_read.h"
#include "bus/chip_write.h"
#include "export_support.h"
#include "tedskit/owbus.h"

using teds::argumentError;
using teds::run;

struct tedskit_bus {
  std::string name;  // as owbus takes it
  teds::BusScan scan;
  std::vector<std::string> roms, models;  // texts of the scan's chips
};

struct tedskit_bus_written {
  bool done = false;
  std::string summary;
  bool locks = false;
  teds::FieldDiff diff;
  std::string text;
};

namespace {

teds::ChipRequest requestOf(const char* device, int32_t channel) {
  teds::ChipRequest request;
  request.deviceOption = "device";
  request.channelOption = "channel";
  if (device != nullptr && *device != '\0') request.device = device;
  if (channel != 0) request.channel = channel;
  return request;
}

void rescan(tedskit_bus& bus) {
  bus.scan = teds::scanBus(bus.name);
  bus.roms.clear();
  bus.models.clear();
  for (const teds::BusChip& chip : bus.scan.chips) {
    bus.roms.push_back(chip.romText());
    bus.models.push_back(teds::chipName(chip.family()));
  }
}

}  // namespace

extern "C" {

int32_t tedskit_bus_open(const char* name, tedskit_bus** bus) {
  return run([&]() -> int32_t {
    if (name == nullptr || bus == nullptr) return argumentError("tedskit_bus_open needs a bus name and a place for the handle");
    *bus = nullptr;
    auto made = std::make_unique<tedskit_bus>();
    made->name = teds::busNameOf(name);
    // A malformed name or an unreadable bus file is known now; an adapter only answers
    // when a session opens it.
    owbus_choose_device(nullptr);
    if (owbus_configure(made->name.c_str()) != 0)
      throw teds::BusFailure(teds::BusFault::Unavailable, "cannot open the bus " + std::string(name) + ": " + owbus_last_error());
    *bus = made.release();
    return TEDSKIT_OK;
  });
}

void tedskit_bus_free(tedskit_bus* bus) {
  tedskit::base::guard([&] {
    std::lock_guard hold(teds::libraryLock());
    delete bus;
  });
}

int32_t tedskit_bus_scan(tedskit_bus* bus, int32_t* count) {
  return run([&]() -> int32_t {
    if (bus == nullptr) return argumentError("no bus handle");
    rescan(*bus);
    if (count != nullptr) *count = static_cast<int32_t>(bus->scan.chips.size());
    return TEDSKIT_OK;
  });
}

int32_t tedskit_bus_chip(const tedskit_bus* bus, int32_t index, const char** rom, int32_t* family,
                         const char** model, int32_t* channel, int32_t* holds_teds) {
  return run([&]() -> int32_t {
    if (bus == nullptr || index < 0 || static_cast<std::size_t>(index) >= bus->scan.chips.size())
      return argumentError("no chip " + std::to_string(index) + " in the last scan");
    const auto at = static_cast<std::size_t>(index);
    const teds::BusChip& chip = bus->scan.chips[at];
    if (rom != nullptr) *rom = bus->roms[at].c_str();
    if (family != nullptr) *family = chip.family();
    if (model != nullptr) *model = bus->models[at].c_str();
    if (channel != nullptr) *channel = chip.channel;
    if (holds_teds != nullptr) *holds_teds = chip.holdsTeds() ? 1 : 0;
    return TEDSKIT_OK;
  });
}

int32_t tedskit_bus_read(tedskit_bus* bus, const char* templates_dir, const char* device, int32_t channel,
                         int32_t force_tdl, tedskit_teds** teds) {
  return run([&]() -> int32_t {
    if (bus == nullptr || templates_dir == nullptr || teds == nullptr)
      return argumentError("tedskit_bus_read needs a bus, a template directory and a place for the handle");
    *teds = nullptr;
    rescan(*bus);
    const teds::BusChip chip = teds::chooseChip(bus->scan, requestOf(device, channel));
    teds::ChipRead read = teds::readChipAt(bus->name, chip);
    if (const auto blank = read.image.blankByte())
      throw teds::BusFailure(teds::BusFault::NoTeds, "the " + chip.described() + " on the bus " + bus->scan.shown +
                                                         " is blank (every byte " + (*blank == 0 ? "00h" : "FFh") +
                                                         "): it holds no TEDS");
    *teds = std::make_unique<tedskit_teds>(templates_dir, std::move(read.image), force_tdl != 0).release();
    return TEDSKIT_OK;
  });
}

int32_t tedskit_bus_write(tedskit_bus* bus, const char* templates_dir, const tedskit_teds* teds, const char* device,
                          int32_t channel, int32_t flags, tedskit_bus_written** written) {
  return run([&]() -> int32_t {
    if (bus == nullptr || templates_dir == nullptr || teds == nullptr || written == nullptr)
      return argumentError("tedskit_bus_write needs a bus, a template directory, a TEDS and a place for the result");
    *written = nullptr;
    if ((flags & ~(TEDSKIT_WRITE_DRY_RUN | TEDSKIT_WRITE_FORCE)) != 0)
      return argumentError("unknown write flags " + std::to_string(flags));
    const teds::TedsImage& image = teds->document.image();
    teds::refuseCorruptImage(image, (flags & TEDSKIT_WRITE_FORCE) != 0, "TEDSKIT_WRITE_FORCE");
    if ((flags & TEDSKIT_WRITE_FORCE) == 0) teds::refuseCutImage(teds->document, "TEDSKIT_WRITE_FORCE");
    rescan(*bus);
    const teds::BusChip target = teds::chooseChip(bus->scan, requestOf(device, channel));
    teds::PreparedWrite write(bus->name, bus->scan, target, image, templates_dir);
    auto result = std::make_unique<tedskit_bus_written>();
    result->summary = write.what();
    result->locks = write.locks();
    result->diff = write.diff();
    result->text = teds::fieldDiffText(write.diff());
    if ((flags & TEDSKIT_WRITE_DRY_RUN) == 0) {
      write.commit();
      result->done = true;
    }
    *written = result.release();
    return TEDSKIT_OK;
  });
}

void tedskit_bus_written_free(tedskit_bus_written* written) {
  tedskit::base::guard([&] { delete written; });
}

int32_t tedskit_bus_written_info(const tedskit_bus_written* written, int32_t* done, const char** summary,
                                 int32_t* locks, int32_t* chip_state, const char** text) {
  return run([&]() -> int32_t {
    if (written == nullptr) return argumentError("no write result");
    if (done != nullptr) *done = written->done ? 1 : 0;
    if (summary != nullptr) *summary = written->summary.c_str();
    if (locks != nullptr) *locks = written->locks ? 1 : 0;
    if (chip_state != nullptr) *chip_state = static_cast<int32_t>(written->diff.chip);
    if (text != nullptr) *text = written->text.c_str();
    return TEDSKIT_OK;
  });
}

int32_t tedskit_bus_written_change_count(const tedskit_bus_written* written, int32_t* count) {
  return run([&]() -> int32_t {
    if (written == nullptr || count == nullptr) return argumentError("no write result or no place for the count");
    *count = static_cast<int32_t>(written->diff.changes.size());
    return TEDSKIT_OK;
  });
}

int32_t tedskit_bus_written_change(const tedskit_bus_written* written, int32_t index, const char** label,
                                   const char** before, const char** after) {
  return run([&]() -> int32_t {
    if (written == nullptr || index < 0 || static_cast<std::size_t>(index) >= written->diff.changes.size())
      return argumentError("no change " + std::to_string(index));
    const teds::FieldChange& change = written->diff.changes[static_cast<std::size_t>(index)];
    if (label != nullptr) *label = change.label.c_str();
    if (before != nullptr) *before = change.before ? change.before->c_str() : nullptr;
    if (after != nullptr) *after = change.after ? change.after->c_str() : nullptr;
    return TEDSKIT_OK;
  });
}

}  // extern "C"
