#include "chip_dump.h"

#include "base/ascii_case.h"
#include "base/chip_image.h"
#include "failure.h"

namespace teds {
namespace {

namespace base = tedskit::base;

constexpr uint8_t kDumpFamilies[] = {base::kFamilyDs2430a, base::kFamilyDs2431, base::kFamilyDs2433,
                                     base::kFamilyDs28ec20};

base::WholeChip laidOut(const TedsImage& image, const base::ChipModel& model) {
  return base::wholeChipImage(image.basic, std::span(image.body).first(image.usedBodySize()), model);
}

}  // namespace

const base::ChipModel* dumpModelNamed(const std::string& name) {
  for (const uint8_t family : kDumpFamilies) {
    const base::ChipModel* model = base::chipModel(family);
    if (base::equalsIgnoreCase(name, model->name)) return model;
  }
  return nullptr;
}

std::vector<uint8_t> chipDump(const TedsImage& image, const base::ChipModel* model) {
  if (model == nullptr) {
    // The paged chips from the smallest; the DS2430A is only taken when named, since a
    // V1.0 TEDS goes to its application register rather than its memory.
    for (const uint8_t family : {base::kFamilyDs2431, base::kFamilyDs2433, base::kFamilyDs28ec20}) {
      auto whole = laidOut(image, *base::chipModel(family));
      if (!whole.memory.empty()) return std::move(whole.memory);
    }
    throw EncodeFailure("the TEDS needs " + std::to_string(image.usedBodySize()) +
                        " bytes after its Basic TEDS: no chip holds that many");
  }
  const auto whole = laidOut(image, *model);
  if (whole.memory.empty()) {
    throw EncodeFailure("the TEDS does not fit a " + std::string(model->name) + ": it needs " +
                        std::to_string(image.usedBodySize()) + " bytes after its Basic TEDS, the chip holds " +
                        std::to_string(whole.room) + " in " + base::layoutName(whole.layout));
  }
  return whole.memory;
}

}  // namespace teds
