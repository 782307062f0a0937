// The tool's side of the chip layouts: a TEDS planned for a chip, laid out by the 1-Wire
// library's own conversion, must come back whole from the chip image.
#include "base/chip_image.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/page_checksum.h"

namespace tedskit::base {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr std::array<uint8_t, 8> kBasic{0x45, 0x40, 0x26, 0x22, 0x04, 0x92, 0x8A, 0x01};

// A body of `size` bytes for a selector and template ID, the data after them non-zero.
Bytes bodyFor(int selector, int templateId, std::size_t size) {
  Bytes body(size);
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<uint8_t>(0x31 + i * 5);
  body[0] = static_cast<uint8_t>(selector | ((templateId & 0x3F) << 2));
  body[1] = static_cast<uint8_t>((body[1] & 0xFC) | (templateId >> 6));
  return body;
}

// The chip's memory after the 1-Wire library's write of the plan (read size, zero past
// what is written).
Bytes chipAfter(const ChipWrite& plan, const ChipModel& chip) {
  const auto w = chip.family == kFamilyDs2430a
                     ? layOutDs2430aImage(plan.image, plan.layoutFlag != 0)
                     : layOutPagedImage(plan.image, chip.writeSize, plan.layoutFlag != 0, plan.selectorHint);
  Bytes memory(chip.readSize, 0);
  std::copy_n(w.begin(), chip.writeSize, memory.begin());
  return memory;
}

int32_t templateIdReadFrom(const Bytes& memory, const ChipModel& chip) {
  std::array<uint8_t, kMaxChipImage> buffer{};
  std::copy(memory.begin(), memory.end(), buffer.begin());
  std::array<uint8_t, 8> reg{};
  int32_t registerUsed = 0, templateId = -1;
  std::array<int32_t, 4> flags{1, 1, 1, 1};
  const ReadTarget out{reg.data(), buffer.data(), &registerUsed, flags.data(), &templateId};
  if (chip.family == kFamilyDs2430a) {
    deliverDs2430aImage(out);
  } else {
    std::array<uint8_t, kMaxChipImage> read = buffer;
    deliverPagedImage(read, chip.readSize, false, out);
  }
  return templateId;
}

TEST(ChipImage, EveryTemplateKindGoesToItsLayoutAndComesBackWhole) {
  struct Case {
    int selector;
    int templateId;
    ChipLayout paged;  // the layout on the paged chips
    int32_t reportedId;
  };
  const Case cases[] = {
      {0, 25, ChipLayout::A, 25},
      {0, 12, ChipLayout::B, 12},
      {1, 4, ChipLayout::A, kMtsTemplate},
      {1, 12, ChipLayout::B, 12},
      // Any template from 25 on goes to layout A, whatever its selector.
      {2, 30, ChipLayout::A, 30},
      {1, 30, ChipLayout::A, 30},
      {3, 50, ChipLayout::A, 50},
      {3, 10, ChipLayout::B, 10},
      {3, kLmsFreeFormatTemplate, ChipLayout::UncheckedLms, kLmsFreeFormatTemplate},
      {3, kLmsGeometryTemplate, ChipLayout::UncheckedLms, kLmsGeometryTemplate},
  };
  for (const ChipModel& chip : kChipModels) {
    for (const Case& c : cases) {
      const std::string what = std::string(chip.name) + " selector " + std::to_string(c.selector) +
                               " template " + std::to_string(c.templateId);
      const Bytes probe = bodyFor(c.selector, c.templateId, 2);
      const std::size_t room = planChipWrite(kBasic, probe, chip.family).room;
      const Bytes body = bodyFor(c.selector, c.templateId, std::min<std::size_t>(room, 100));
      const ChipWrite plan = planChipWrite(kBasic, body, chip.family);
      const bool lms = c.paged == ChipLayout::UncheckedLms;
      const ChipLayout expected = chip.family == kFamilyDs2430a && !lms ? ChipLayout::A : c.paged;
      EXPECT_EQ(plan.layout, expected) << what;

      const Bytes memory = chipAfter(plan, chip);
      const ChipContents back = contentsOfChip(memory);
      EXPECT_EQ(back.layout, expected) << what;
      EXPECT_EQ(back.basic, kBasic) << what;
      ASSERT_GE(back.body.size(), body.size()) << what;
      EXPECT_EQ(Bytes(back.body.begin(), back.body.begin() + static_cast<long>(body.size())), body) << what;
      EXPECT_TRUE(back.checksumsPass) << what;
      // The DS2430A reports the MTS pair as it is stored.
      const bool storedId = chip.family == kFamilyDs2430a && c.reportedId == kMtsTemplate;
      EXPECT_EQ(templateIdReadFrom(memory, chip), storedId ? kMtsStoredTemplate : c.reportedId) << what;
    }
  }
}

// A chip dump made without a bus: the whole memory, filled to the last byte of its room.
TEST(ChipImage, WholeChipImagesReadBackWholeAndRefuseWhatDoesNotFit) {
  const std::pair<int, int> kinds[] = {{0, 25}, {0, 12}, {1, 4}, {3, kLmsGeometryTemplate}};
  for (const ChipModel& chip : kChipModels) {
    for (const auto& [selector, templateId] : kinds) {
      const std::string what = std::string(chip.name) + " template " + std::to_string(templateId);
      const std::size_t room = wholeChipImage(kBasic, bodyFor(selector, templateId, 2), chip).room;
      const Bytes body = bodyFor(selector, templateId, room);
      const WholeChip whole = wholeChipImage(kBasic, body, chip);
      ASSERT_EQ(whole.memory.size(), chip.readSize) << what;
      const ChipContents back = contentsOfChip(whole.memory);
      EXPECT_EQ(back.layout, whole.layout) << what;
      EXPECT_EQ(back.basic, kBasic) << what;
      EXPECT_EQ(Bytes(back.body.begin(), back.body.begin() + static_cast<long>(body.size())), body) << what;
      EXPECT_TRUE(back.checksumsPass) << what;
      EXPECT_TRUE(wholeChipImage(kBasic, bodyFor(selector, templateId, room + 1), chip).memory.empty()) << what;
    }
  }
  EXPECT_EQ(wholeChipImage(kBasic, bodyFor(0, 25, 2), *chipModel(kFamilyDs28ec20)).room, 23u + 79 * 31);
  EXPECT_EQ(wholeChipImage(kBasic, bodyFor(0, 12, 2), *chipModel(kFamilyDs2431)).room, 15u + 3 * 31);
}

TEST(ChipImage, RoomPerLayoutAndChip) {
  struct Case {
    uint8_t family;
    int selector;
    int templateId;
    std::size_t room;
  };
  const Case cases[] = {
      {kFamilyDs2431, 0, 25, 23 + 3 * 31},  {kFamilyDs2431, 0, 12, 15 + 3 * 31},
      {kFamilyDs2433, 0, 25, 23 + 15 * 31}, {kFamilyDs28ec20, 0, 25, 23},
      {kFamilyDs28ec20, 0, 12, 15},         {kFamily0D, 0, 12, 15 + 2 * 31},
      {kFamilyDs2430a, 0, 12, 23},          {kFamilyDs2431, 3, kLmsFreeFormatTemplate, 24},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(planChipWrite(kBasic, bodyFor(c.selector, c.templateId, 2), c.family).room, c.room)
        << chipModel(c.family)->name << " template " << c.templateId;
  }
}

TEST(ChipImage, ChecksumVerdictCoversEveryPage) {
  const Bytes body = bodyFor(0, 25, 100);
  const Bytes chip = chipAfter(planChipWrite(kBasic, body, kFamilyDs2433), *chipModel(kFamilyDs2433));
  EXPECT_TRUE(contentsOfChip(chip).checksumsPass);
  for (const std::size_t damaged : {std::size_t{5}, std::size_t{40}, std::size_t{511}}) {
    Bytes bad = chip;
    bad[damaged] ^= 0x10;
    EXPECT_FALSE(contentsOfChip(bad).checksumsPass) << "byte " << damaged;
    EXPECT_EQ(contentsOfChip(bad).layout, ChipLayout::A) << "byte " << damaged;
  }

  const Bytes lms = chipAfter(planChipWrite(kBasic, bodyFor(3, kLmsGeometryTemplate, 24), kFamilyDs2431),
                              *chipModel(kFamilyDs2431));
  ASSERT_FALSE(checksumPasses(std::span(lms).first(kPage)));
  EXPECT_TRUE(contentsOfChip(lms).checksumsPass) << "the unchecked page 0 is not held against it";
}

TEST(ChipImage, PartialLastPageIsLeftOut) {
  const Bytes chip =
      chipAfter(planChipWrite(kBasic, bodyFor(0, 25, 60), kFamilyDs2431), *chipModel(kFamilyDs2431));
  const ChipContents back = contentsOfChip(std::span(chip).first(100));
  EXPECT_EQ(back.body.size(), 23u + 2 * 31) << "pages 0 to 2";
  EXPECT_TRUE(contentsOfChip(std::span(chip).first(20)).body.empty());
}

TEST(ChipImage, LockedDs2430aImageRoundTrip) {
  const Bytes body = bodyFor(0, 25, kLockedDs2430aRoom);
  const auto image = lockedDs2430aImage(kBasic, body);
  EXPECT_TRUE(checksumPasses(image)) << "register and memory sum to 0 together";
  const std::span<const uint8_t> all(image);
  const ChipContents back =
      contentsOfLockedDs2430a(all.first<kRegisterSize>(), all.subspan<kRegisterSize, kPage>());
  EXPECT_EQ(back.layout, ChipLayout::LockedRegister);
  EXPECT_EQ(back.basic, kBasic);
  EXPECT_EQ(back.body, body);
  EXPECT_TRUE(back.checksumsPass);

  auto damaged = image;
  damaged[3] ^= 1;
  const std::span<const uint8_t> bad(damaged);
  EXPECT_FALSE(
      contentsOfLockedDs2430a(bad.first<kRegisterSize>(), bad.subspan<kRegisterSize, kPage>()).checksumsPass);
}

}  // namespace
}  // namespace tedskit::base
