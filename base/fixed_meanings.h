// Numbers with one meaning across the whole toolkit: template IDs, selectors, chip
// families and sizes. Where a public header already names a number, the constant here is
// defined from that name, so that the two cannot drift apart.
#ifndef TEDSKIT_BASE_FIXED_MEANINGS_H
#define TEDSKIT_BASE_FIXED_MEANINGS_H

#include <cstddef>
#include <cstdint>

#include "tedskit/dorvia.h"
#include "tedskit/ferrun.h"
#include "tedskit/pellam.h"
#include "tedskit/quillon.h"

namespace tedskit::base {

// Template IDs.
inline constexpr int kLmsFreeFormatTemplate = PELLAM_TEMPLATE_FREE;
inline constexpr int kLmsGeometryTemplate = PELLAM_TEMPLATE_GEOMETRY;
// The MTS template: 199 to its callers, stored as selector 1 with template ID 4.
inline constexpr int kMtsTemplate = 199;
inline constexpr int kMtsStoredSelector = 1;
inline constexpr int kMtsStoredTemplate = 4;
// The first IEEE 1451.4 V1.0 template; the ones below are the old numbered templates.
inline constexpr int kFirstV10Template = 25;
inline constexpr int kLastOldTemplate = kFirstV10Template - 1;

// Selectors (the two bits after the Basic TEDS).
inline constexpr int kStandardSelector = 0;
inline constexpr int kSplitSelector = 2;
inline constexpr int kLmsSelector = 3;

constexpr bool isLmsTemplate(int templateId) {
  return templateId == kLmsFreeFormatTemplate || templateId == kLmsGeometryTemplate;
}

// Datatype codes of field array items beyond the TEDS_DT_ ones: the items of the LMS
// geometry layout, which pellam lays out and the record store writes as words.
inline constexpr int32_t kDatatypeSign = 201;
inline constexpr int32_t kDatatypeGeometrySelector = 202;
inline constexpr int32_t kDatatypeLocation16 = 203;
inline constexpr int32_t kDatatypeLocation15 = 204;
inline constexpr int32_t kDatatypeOrientation = 205;

// Result codes that several libraries share.
inline constexpr int32_t kMissingArgument = DORVIA_ERR_MISSING_ARGUMENT;
static_assert(QUILLON_ERR_MISSING_ARGUMENT == kMissingArgument &&
              PELLAM_MISSING_ARGUMENT == kMissingArgument && FERRUN_MISSING_ARGUMENT == kMissingArgument);
inline constexpr int32_t kBufferTooSmall = DORVIA_ERR_BUFFER_TOO_SMALL;
static_assert(QUILLON_ERR_BUFFER_TOO_SMALL == kBufferTooSmall);

// Memory chips by family code, in the order a bus is searched for them, and the DS2406
// channel switch.
inline constexpr uint8_t kFamilyDs2430a = 0x14;
inline constexpr uint8_t kFamilyDs2431 = 0x2D;
inline constexpr uint8_t kFamilyDs2433 = 0x23;
inline constexpr uint8_t kFamilyDs28ec20 = 0x43;
inline constexpr uint8_t kFamily0D = 0x0D;  // the DS2431 command set with 112 bytes
inline constexpr uint8_t kFamilyDs2406 = 0x12;

struct ChipModel {
  uint8_t family;
  const char* name;
  std::size_t readSize;   // bytes of TEDS memory a read covers
  std::size_t writeSize;  // bytes a write covers
};

inline constexpr ChipModel kChipModels[] = {
    {kFamilyDs2430a, "DS2430A", 32, 32},
    {kFamilyDs2431, "DS2431", 128, 128},
    {kFamilyDs2433, "DS2433", 512, 512},
    {kFamilyDs28ec20, "DS28EC20", 2560, 32},  // only the first page is written
    {kFamily0D, "DS2431-type chip", 112, 112},
};

// The model of a memory chip family, or nullptr for any other family.
constexpr const ChipModel* chipModel(int family) {
  for (const ChipModel& model : kChipModels) {
    if (model.family == family) return &model;
  }
  return nullptr;
}

// Sizes of the 1-Wire images.
inline constexpr std::size_t kPage = 32;
inline constexpr std::size_t kRegisterSize = FERRUN_REGISTER_SIZE;
inline constexpr std::size_t kV1ImageSize = FERRUN_V1_IMAGE_SIZE;
inline constexpr std::size_t kMaxChipImage = FERRUN_MAX_MEMORY;
inline constexpr std::size_t kMaxWrite = FERRUN_MAX_IMAGE;
inline constexpr std::size_t kPageFlags = FERRUN_PAGE_FLAGS;

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_FIXED_MEANINGS_H
