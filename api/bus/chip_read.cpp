#include "chip_read.h"

#include "base/chip_image.h"
#include "bus_failure.h"
#include "chip_names.h"
#include "tedskit/ferrun.h"
#include "tedskit/owbus.h"

namespace teds {

namespace base = tedskit::base;
using base::kPage;

BusSession::BusSession(const std::string& busName, const BusChip& chip)
    : chip_(chip), busName_(busShownName(busName)) {
  if (owbus_configure(busName.c_str()) != 0) throw BusFailure(BusFault::Unavailable, owbus_last_error());
  owbus_choose_device(chip.rom.data());
  chosen_ = true;
  if (stdcdll_OpenCom(1) != FERRUN_DONE)
    throw BusFailure(BusFault::Unavailable, "cannot open the bus " + busName_ + ": " + owbus_last_error());
  open_ = true;
  if (chip.channel != 0 && stdcdll_ds2406_channel(chip.channel) != 1)
    throw BusFailure(BusFault::Unavailable, "cannot switch the DS2406 to channel " + std::to_string(chip.channel));
  const int32_t result = stdcdll_read_family(&family_);
  if (result == FERRUN_ADAPTER_CHECK) {
    const std::string why = owbus_last_error();
    throw BusFailure(BusFault::Unavailable, "the adapter check failed on the bus " + busName_ + (why.empty() ? "" : ": " + why));
  }
  if (result != FERRUN_DONE || family_ != chip.family())
    throw BusFailure(BusFault::NoChip, "the " + chip.described() + " does not answer on the bus " + busName_);
}

BusSession::~BusSession() {
  if (open_) stdcdll_CloseCom();
  if (chosen_) owbus_choose_device(nullptr);
}

// The chip is read whole and taken apart by the same layout code as ferrun's own reads.
// ferrun's caller forms would not do here: they carry no verdict for pages past 3 and, in
// the inline form, neither page 0's verdict nor its bytes 24-31.
ChipRead readChip(const BusSession& bus) {
  std::array<uint8_t, 8> reg{};
  std::vector<uint8_t> memory(FERRUN_MAX_MEMORY, 0);
  int32_t registerUsed = 0;
  std::array<int32_t, FERRUN_PAGE_FLAGS> flags{};
  const int32_t result =
      stdcdll_read_memory(reg.data(), memory.data(), &registerUsed, flags.data(), FERRUN_RAW_MODE);
  if (result == FERRUN_CHIP_NOT_FOUND) throw BusFailure(BusFault::NoChip, "no TEDS memory chip on the bus " + bus.busName());
  if (result == FERRUN_ADAPTER_CHECK)
    throw BusFailure(BusFault::Unavailable, "the adapter failed reading the bus " + bus.busName() + ": " + owbus_last_error());
  ChipRead read;
  // Whole pages: a chip whose size ends inside a page reads as zeros past it.
  const std::size_t size = (chipOf(bus.family()).readSize + kPage - 1) / kPage * kPage;
  read.chip.assign(memory.begin(), memory.begin() + static_cast<std::ptrdiff_t>(size));
  if (bus.family() == base::kFamilyDs2430a) {
    read.reg = reg;
    read.locked = registerUsed != 0;
    if (registerUsed != 0) {
      read.image = fromChipContents(
          base::contentsOfLockedDs2430a(reg, std::span<const uint8_t, kPage>(memory.data(), kPage)));
      return read;
    }
  }
  read.image = fromChipContents(base::contentsOfChip(read.chip));
  return read;
}

ChipRead readChipAt(const std::string& busName, const BusChip& chip) {
  const BusSession bus(busName, chip);
  return readChip(bus);
}

}  // namespace teds
