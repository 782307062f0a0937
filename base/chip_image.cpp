#include "base/chip_image.h"

#include <algorithm>

#include "base/page_checksum.h"

namespace tedskit::base {
namespace {

// Page 0 holds `first` bytes of body in a layout, every further page 31.
std::size_t roomOn(std::size_t chipBytes, std::size_t first) {
  return chipBytes < kPage ? 0 : first + (chipBytes / kPage - 1) * (kPage - 1);
}

// The body copied into `to` from `at`, as much of it as fits.
void placeBody(std::span<const uint8_t> body, std::span<uint8_t> to, std::size_t at) {
  std::copy_n(body.begin(), std::min(body.size(), to.size() - at),
              to.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

ChipContents contentsOfChip(std::span<const uint8_t> chip) {
  ChipContents contents;
  const std::size_t n = std::min(chip.size(), kMaxChipImage) / kPage * kPage;
  if (n == 0) return contents;
  const auto page0 = chip.first(kPage);
  contents.layout = isLayoutB(page0)            ? ChipLayout::B
                    : isUncheckedLmsPage(page0) ? ChipLayout::UncheckedLms
                                                : ChipLayout::A;
  const Page0Offsets at = page0Offsets(contents.layout);
  std::copy_n(page0.begin() + static_cast<std::ptrdiff_t>(at.basic), kRegisterSize, contents.basic.begin());
  contents.body.assign(page0.begin() + static_cast<std::ptrdiff_t>(at.selector), page0.end());
  const std::size_t first = contents.body.size();
  contents.body.resize(first + (n / kPage - 1) * (kPage - 1));
  copyFurtherPages(chip, n, contents.body.data(), first);
  bool pass = contents.layout == ChipLayout::UncheckedLms || checksumPasses(page0);
  for (std::size_t page = kPage; page < n; page += kPage)
    pass = pass && checksumPasses(chip.subspan(page, kPage));
  contents.checksumsPass = pass;
  return contents;
}

ChipContents contentsOfLockedDs2430a(std::span<const uint8_t, kRegisterSize> reg,
                                     std::span<const uint8_t, kPage> memory) {
  ChipContents contents;
  contents.layout = ChipLayout::LockedRegister;
  std::copy(reg.begin(), reg.end(), contents.basic.begin());
  contents.body.assign(memory.begin() + 1, memory.end());
  contents.checksumsPass = checksumPasses({reg, memory});
  return contents;
}

ChipWrite planChipWrite(std::span<const uint8_t, kRegisterSize> basic, std::span<const uint8_t> body,
                        int family) {
  const ChipModel* model = chipModel(family);
  const std::size_t writable = model != nullptr ? model->writeSize : kPage;
  const Selection sel = selectionOf(body.empty() ? 0 : body[0], body.size() < 2 ? 0 : body[1]);
  ChipWrite plan;
  std::span<uint8_t> image(plan.image);
  if (sel.selector == kLmsSelector && isLmsTemplate(sel.templateId)) {
    // Basic TEDS and body as they are; only page 0 is written.
    std::copy(basic.begin(), basic.end(), image.begin());
    placeBody(body, image.first(kPage), kRegisterSize);
    plan.selectorHint = 1;
    plan.layout = ChipLayout::UncheckedLms;
    plan.room = kPage - kRegisterSize;
  } else if (family != kFamilyDs2430a && (sel.templateId >= kFirstV10Template || isMtsPair(sel))) {
    // Basic TEDS, checksum byte, body: the caller's form of layout A.
    std::copy(basic.begin(), basic.end(), image.begin());
    placeBody(body, image, kRegisterSize + 1);
    image[kRegisterSize] =
        checksumFor({image.first(kRegisterSize), image.subspan(kRegisterSize + 1, kPage - 9)});
    plan.room = roomOn(writable, kPage - 9);
  } else {
    // Checksum byte, Basic TEDS, body: a stream that the DS2430A keeps in layout A and the
    // paged chips in layout B.
    std::copy(basic.begin(), basic.end(), image.begin() + 1);
    placeBody(body, image, kRegisterSize + 1);
    image[0] = checksumFor(image.subspan(1, kPage - 1));
    if (family == kFamilyDs2430a) {
      plan.layoutFlag = 1;  // the DS2430A recomputes the checksum
      plan.layout = ChipLayout::A;
      plan.room = kPage - 9;
      return plan;
    }
    plan.room = roomOn(writable, kPage - 17);
  }
  // The paged chips' write decides the layout from the image; say what it will decide.
  if (family != kFamilyDs2430a) plan.layout = writtenLayout(image, plan.layoutFlag != 0, plan.selectorHint);
  return plan;
}

WholeChip wholeChipImage(std::span<const uint8_t, kRegisterSize> basic, std::span<const uint8_t> body,
                         const ChipModel& chip) {
  WholeChip whole;
  whole.layout = planChipWrite(basic, body, chip.family).layout;
  const bool paged = whole.layout != ChipLayout::UncheckedLms;
  const Page0Offsets at = page0Offsets(whole.layout);
  const std::size_t pages = chip.readSize / kPage;
  whole.room = (kPage - at.selector) + (paged && pages > 0 ? (pages - 1) * (kPage - 1) : 0);
  if (body.size() > whole.room) return whole;
  whole.memory.assign(chip.readSize, 0);
  std::span<uint8_t> memory(whole.memory);
  if (whole.layout == ChipLayout::B) std::fill_n(memory.begin() + 1, 8, 0xFF);
  std::copy(basic.begin(), basic.end(), memory.begin() + static_cast<std::ptrdiff_t>(at.basic));
  const std::size_t inPage0 = std::min(body.size(), kPage - at.selector);
  std::copy_n(body.begin(), inPage0, memory.begin() + static_cast<std::ptrdiff_t>(at.selector));
  for (std::size_t from = inPage0, page = 1; from < body.size(); from += kPage - 1, ++page) {
    const std::size_t count = std::min(body.size() - from, kPage - 1);
    std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(from), count,
                memory.begin() + static_cast<std::ptrdiff_t>(page * kPage + 1));
  }
  if (paged) {
    for (std::size_t page = 0; page < pages; ++page)
      memory[page * kPage] = checksumFor(memory.subspan(page * kPage + 1, kPage - 1));
  }
  return whole;
}

std::array<uint8_t, kV1ImageSize> lockedDs2430aImage(std::span<const uint8_t, kRegisterSize> basic,
                                                     std::span<const uint8_t> body) {
  std::array<uint8_t, kV1ImageSize> image{};
  std::copy(basic.begin(), basic.end(), image.begin());
  const std::span<uint8_t> memory = std::span(image).subspan(kRegisterSize);
  placeBody(body, memory, 1);
  memory[0] = checksumFor({basic, memory.subspan(1)});
  return image;
}

}  // namespace tedskit::base
