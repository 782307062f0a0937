// The header both LMS layouts share: bits 0 to 113 of the image and items 0 to 7 of
// the field array.
#ifndef TEDSKIT_LMS_LMS_HEADER_H
#define TEDSKIT_LMS_LMS_HEADER_H

#include <cstdint>
#include <span>

#include "base/bit_field.h"
#include "base/fixed_meanings.h"
#include "tedskit/pellam.h"
#include "tedskit/records.h"

namespace tedskit::lms {

// An LMS image: 256 bits, no checksum.
inline constexpr std::size_t kImageSize = PELLAM_IMAGE_SIZE;
using ImageView = std::span<const uint8_t, kImageSize>;
using ImageSpan = std::span<uint8_t, kImageSize>;
using base::readBits;
using base::writeBits;

inline constexpr unsigned kHeaderBits = 114;
inline constexpr int kHeaderItems = 8;
inline constexpr int32_t kLmsSelector = base::kLmsSelector;

struct LmsHeader {
  int32_t manufacturer;
  int32_t modelNumber;
  int32_t versionLetter;  // 5-bit code, shown as the character code + 64
  int32_t versionNumber;
  int32_t serialNumber;
  int32_t selector;
  int32_t templateId;
  int32_t calibrationDay;  // days since 1 January 1998
  int32_t sensitivityIndex;
  int32_t frefIndex;
};

// How a sensitivity text is turned back into its index: the geometry layout takes
// the nearer integer, the free-format layout adds 0.5 and truncates toward zero.
enum class SensitivityRounding { Nearest, TruncateAfterHalf };

// True when the image carries the LMS selector and this template ID.
bool isLmsImage(ImageView image, int32_t templateId);

LmsHeader decodeHeader(ImageView image);
void encodeHeader(const LmsHeader& header, ImageSpan image);

// Lays out items 0 to 7; with `values` they show the header, otherwise they are empty.
void layOutHeaderItems(TEDSTemplateFieldArrayStruct& array, const LmsHeader* values);

// Reads items 0 to 7 back into the header; texts that do not parse keep the old value.
void readHeaderItems(const TEDSTemplateFieldArrayStruct& array, LmsHeader& header,
                     SensitivityRounding rounding);

}  // namespace tedskit::lms

#endif
