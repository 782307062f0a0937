// LMS free-format TEDS (template 117): the shared header and a measurement point ID.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "base/guard.h"
#include "item_layout.h"
#include "lms_header.h"
#include "tedskit/pellam.h"
#include "value_text.h"

namespace tedskit::lms {
namespace {

// 17 whole characters fit the image after the header; of an eighteenth only the low
// 6 bits do.
constexpr unsigned kPointIdChars = 17;
constexpr unsigned kPointIdBit = 114;
constexpr unsigned kLastCharBit = 250;
constexpr unsigned kLastCharWidth = 6;

struct FreeState {
  LmsHeader header;
  char pointId[kPointIdChars + 1];
};

// Zero at load, as the state of a library that has decoded nothing yet.
FreeState gFree{};

constexpr int kNumItems = 9;
constexpr int kPointIdItem = 8;

const std::array<ItemLayout, 1> kFreeLayout = {{
    {"Meas. position ID", TEDS_DT_ASCII, "", 0, R"x("Free Format Point ID (ascii)","RO","128")x"},
}};

}  // namespace
}  // namespace tedskit::lms

namespace tedskit::lms {
namespace {

int32_t decodeFree(const uint8_t* image) {
  if (image == nullptr) {
    return 0;
  }
  const ImageView view(image, kImageSize);
  if (!isLmsImage(view, PELLAM_TEMPLATE_FREE)) {
    return 0;
  }
  gFree.header = decodeHeader(view);
  for (unsigned i = 0; i < kPointIdChars; ++i) {
    gFree.pointId[i] = static_cast<char>(readBits(view, kPointIdBit + 8 * i, 8));
  }
  gFree.pointId[kPointIdChars] = '\0';
  return 1;
}

int32_t encodeFree(uint8_t* image) {
  if (image == nullptr) {
    return PELLAM_MISSING_ARGUMENT;
  }
  const ImageSpan span(image, kImageSize);
  encodeHeader(gFree.header, span);
  for (unsigned i = 0; i < kPointIdChars; ++i) {
    writeBits(span, kPointIdBit + 8 * i, 8, static_cast<uint8_t>(gFree.pointId[i]));
  }
  writeBits(span, kLastCharBit, kLastCharWidth, static_cast<uint8_t>(gFree.pointId[kPointIdChars]));
  return 1;
}

int32_t fillFree(TEDSTemplateFieldArrayStruct* array, int32_t withValues) {
  if (array == nullptr) {
    return PELLAM_MISSING_ARGUMENT;
  }
  layOutHeaderItems(*array, withValues ? &gFree.header : nullptr);
  layOutItems(*array, kHeaderItems, kFreeLayout);
  if (withValues) {
    // All 18 bytes: after a read the eighteenth may be a character, not the end.
    setValueText(array->items[kPointIdItem], std::string_view(gFree.pointId, sizeof gFree.pointId));
  }
  setArrayHeader(*array, kNumItems, PELLAM_TEMPLATE_FREE, "LMS Free Format");
  return gFree.header.selector;
}

int32_t readFree(const TEDSTemplateFieldArrayStruct* array) {
  if (array == nullptr) {
    return PELLAM_MISSING_ARGUMENT;
  }
  readHeaderItems(*array, gFree.header, SensitivityRounding::TruncateAfterHalf);
  // The text's first 18 characters; a shorter one is padded with zeros.
  const std::string_view text = valueText(array->items[kPointIdItem]);
  std::memset(gFree.pointId, 0, sizeof gFree.pointId);
  std::memcpy(gFree.pointId, text.data(), std::min(text.size(), sizeof gFree.pointId));
  gFree.header.templateId = PELLAM_TEMPLATE_FREE;
  gFree.header.selector = kLmsSelector;
  return 0;
}

}  // namespace
}  // namespace tedskit::lms

using namespace tedskit::lms;
using tedskit::base::guard;

int32_t PELLAM_DecodeFreeTEDS(const uint8_t* image) {
  return guard(0, [&] { return decodeFree(image); });
}

int32_t PELLAM_EncodeFreeTEDS(uint8_t* image) {
  return guard(PELLAM_MISSING_ARGUMENT, [&] { return encodeFree(image); });
}

int32_t PELLAM_FillFieldArrayStructWithFree(TEDSTemplateFieldArrayStruct* array, int32_t withValues) {
  return guard(PELLAM_MISSING_ARGUMENT, [&] { return fillFree(array, withValues); });
}

int32_t PELLAM_ReadFreeFieldArrayStruct(const TEDSTemplateFieldArrayStruct* array) {
  return guard(PELLAM_MISSING_ARGUMENT, [&] { return readFree(array); });
}
