#include "chip_write.h"

#include <optional>

#include "base/chip_protection.h"
#include "bus_failure.h"
#include "check.h"
#include "chip_names.h"
#include "tedskit/ferrun.h"
#include "tedskit/owbus.h"

namespace teds {
namespace {

namespace base = tedskit::base;

BusFailure refused(const std::string& why) { return BusFailure(BusFault::Refused, why); }

// Why the write cannot succeed on the chip as it is, before a byte of it goes out.
void refuseWhatCannotSucceed(const BusChip& target, const ChipRead& now, const TedsImage& image,
                             const base::ChipWrite& plan, bool lockedWrite,
                             const std::optional<std::array<uint8_t, 4>>& pageControl) {
  const base::ChipModel& chip = chipOf(target.family());
  const std::string name = std::string(chip.name) + " " + target.romText();
  if (now.locked && image.basic != *now.reg) {
    throw refused("the application register of the " + name + " is locked and holds the Basic TEDS " +
                  toHex(*now.reg) + "; the image has " + toHex(image.basic) + ": nothing written");
  }
  // A locked DS2430A keeps the Basic TEDS in its register and 31 bytes of data in memory.
  const std::size_t room = lockedWrite ? base::kLockedDs2430aRoom : plan.room;
  if (image.usedBodySize() > room) {
    throw refused("the template data take " + std::to_string(image.usedBodySize()) + " bytes; the " + chip.name +
                  " holds " + std::to_string(room) + " in " +
                  base::layoutName(lockedWrite ? base::ChipLayout::LockedRegister : plan.layout) +
                  ": nothing written");
  }
  if (pageControl) {
    const auto onChip =
        base::layOutPagedImage(plan.image, chip.writeSize, plan.layoutFlag != 0, plan.selectorHint);
    const auto refusal = base::pageRefusal(now.chip, std::span(onChip).first(chip.writeSize), *pageControl);
    if (refusal && refusal->eprom) {
      throw refused("page " + std::to_string(refusal->page) + " of " + name +
                    " is in EPROM mode: its bits can only be cleared and the image needs some set: nothing "
                    "written");
    }
    if (refusal) throw refused("page " + std::to_string(refusal->page) + " of " + name + " is write-protected: nothing written");
  }
}

}  // namespace

void refuseCorruptImage(const TedsImage& image, bool force, const std::string& forceOption) {
  if (!image.checksumOk && !force)
    throw refused("the image's checksum does not match its bytes, so it may be corrupt; nothing written (" +
                  forceOption + " writes it with a new checksum)");
}

void refuseCutImage(const Document& document, const std::string& forceOption) {
  if (const auto cut = shortImageFinding(document)) {
    throw refused(cut->message + "; nothing written" +
                  (forceOption.empty() ? std::string() : " (" + forceOption + " writes it as it is)"));
  }
}

void refuseCutImage(const std::filesystem::path& templatesDir, const TedsImage& image,
                    const std::string& forceOption) {
  std::optional<Document> document;
  try {
    document.emplace(templatesDir, image, false);
  } catch (const MissingTemplate&) {
    return;
  }
  refuseCutImage(*document, forceOption);
}

PreparedWrite::PreparedWrite(const std::string& busName, const BusScan& scan, const BusChip& target,
                             TedsImage image, const std::filesystem::path& templatesDir)
    : target_(target), image_(std::move(image)) {
  std::optional<std::array<uint8_t, 4>> pageControl;
  if (target.family() == base::kFamilyDs2431) pageControl = readDs2431PageControl(scan, busName, target);
  bus_ = std::make_unique<BusSession>(busName, target);
  now_ = readChip(*bus_);
  const int family = bus_->family();
  // A locked register takes no other layout: the image goes there as a V1.0 image would.
  lockedWrite_ = family == base::kFamilyDs2430a && (image_.wantsV10Engine() || now_.locked);
  plan_ = base::planChipWrite(image_.basic, std::span(image_.body).first(image_.usedBodySize()), family);
  refuseWhatCannotSucceed(target, now_, image_, plan_, lockedWrite_, pageControl);
  if (lockedWrite_) plan_.layout = base::ChipLayout::LockedRegister;
  locks_ = lockedWrite_ && !now_.locked;
  what_ = "template " + std::to_string(image_.templateId()) + " to the " + target.described() + " on " +
          bus_->busName() + " in " + base::layoutName(plan_.layout);
  diff_ = diffFields(templatesDir, now_.image, image_);
}

void PreparedWrite::commit() {
  int32_t result = 0;
  if (lockedWrite_) {
    const auto v1 = base::lockedDs2430aImage(image_.basic, image_.body);
    result = stdcdll_write_v1_memory(v1.data());
  } else {
    result = stdcdll_write_memory(plan_.image.data(), plan_.layoutFlag, plan_.selectorHint);
  }
  const std::string& shown = bus_->busName();
  if (result == FERRUN_CHIP_NOT_FOUND) throw BusFailure(BusFault::NoChip, "no TEDS memory chip on the bus " + shown);
  if (result == FERRUN_ADAPTER_CHECK)
    throw BusFailure(BusFault::Unavailable, "the adapter failed on the bus " + shown + ": " + owbus_last_error());
  if (result == FERRUN_NOT_VERIFIED)
    throw BusFailure(BusFault::WriteFailed, "the chip does not read back what was written");
  if (result != FERRUN_DONE)
    throw BusFailure(BusFault::WriteFailed, "writing failed with code " + std::to_string(result));
}

}  // namespace teds
