// LMS geometry TEDS (template 118): where a sensor sits and how it is turned.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/guard.h"
#include "item_layout.h"
#include "lms_header.h"
#include "tedskit/pellam.h"
#include "value_text.h"

namespace tedskit::lms {
namespace {

constexpr unsigned kNameChars = 4;

struct GeometryState {
  LmsHeader header;
  char componentName[kNameChars + 1];
  char nodeName[kNameChars + 1];
  int32_t phaseInversion;
  int32_t sensitivityDirection;
  int32_t geometrySelector;
  int32_t locationX;
  int32_t locationY;
  int32_t locationZ;
  int32_t orientationX;
  int32_t orientationY;
  int32_t orientationZ;
};

// Zero at load, as the state of a library that has decoded nothing yet.
GeometryState gGeometry{};

constexpr unsigned kComponentNameBit = 114;
constexpr unsigned kNodeNameBit = 146;
constexpr unsigned kPhaseBit = 178;
constexpr unsigned kDirectionBit = 179;
constexpr unsigned kSelectorBit = 181;
constexpr unsigned kLocationXBit = 182;
constexpr unsigned kLocationYBit = 198;
constexpr unsigned kLocationZBit = 214;
constexpr unsigned kOrientationXBit = 229;
constexpr unsigned kOrientationYBit = 238;
constexpr unsigned kOrientationZBit = 247;
constexpr unsigned kLocationWidth = 16;
constexpr unsigned kLocationZWidth = 15;
constexpr unsigned kOrientationWidth = 9;

constexpr int kNumItems = 19;
constexpr int kFirstLocationItem = 13;

// The location items' display width follows the geometry selector, so it is set
// after the table is laid out.
const std::array<ItemLayout, kNumItems - kHeaderItems> kGeometryLayout = {{
    {"Component Name", TEDS_DT_ASCII, "", 0, R"("Component Name","RO","32")"},
    {"Node Name", TEDS_DT_ASCII, "", 0, R"("Node Name","RO","32")"},
    {"Phase invertion (0: 0\xB0, 1: 180\xB0)", TEDS_DT_UNINT, "", 0,
     "\"Phase invertion (0: 0\xB0, 1: 180\xB0)\",\"RO\",\"1\""},
    {"Sensitivity direction (x,y,z)", TEDS_DT_DIRECTION, "", 0, R"("Sensitivity Direction","RO","2")"},
    {"Geometry Selector", kDatatypeGeometrySelector, "", 0, R"("Geometry Selector","RO","1")"},
    {"Location X", kDatatypeLocation16, "m", 0, R"("Location X","RO","16")"},
    {"Location Y", kDatatypeLocation16, "m", 0, R"("Location Y","RO","16")"},
    {"Location Z", kDatatypeLocation15, "m", 0, R"("Location Z","RO","15")"},
    {"Orientation X", kDatatypeOrientation, "degree", 0, R"("Orientation X","RO","9")"},
    {"Orientation Y", kDatatypeOrientation, "degree", 0, R"("Orientation Y","RO","9")"},
    {"Orientation Z", kDatatypeOrientation, "degree", 0, R"("Orientation Z","RO","9")"},
}};

// Locations count in centimetres when the geometry selector is 1, in millimetres when
// it is 0. Only the bit the image can hold decides.
bool inCentimetres(int32_t geometrySelector) { return (geometrySelector & 1) != 0; }

double locationUnit(int32_t geometrySelector) { return inCentimetres(geometrySelector) ? 0.01 : 0.001; }

// A raw location of `width` bits is signed by its own rule: values up to half the
// range (that value included) are positive, the ones above count down from zero.
double locationValue(int32_t raw, unsigned width, int32_t geometrySelector) {
  const int64_t range = int64_t{1} << width;
  const int64_t bits = static_cast<int64_t>(static_cast<uint32_t>(raw) & static_cast<uint32_t>(range - 1));
  const int64_t signedRaw = bits <= range / 2 ? bits : bits - range;
  return static_cast<double>(signedRaw) * locationUnit(geometrySelector);
}

std::string formatLocation(int32_t raw, unsigned width, int32_t geometrySelector) {
  char text[TEDS_VALUE_SIZE];
  std::snprintf(text, sizeof text, inCentimetres(geometrySelector) ? "%.2f" : "%.3f",
                locationValue(raw, width, geometrySelector));
  return text;
}

// A location text back to its raw value: negative values wrap into the upper half.
std::optional<int32_t> parseLocation(std::string_view text, unsigned width, int32_t geometrySelector) {
  const auto value = parseReal(text);
  if (!value) {
    return std::nullopt;
  }
  double raw = *value / locationUnit(geometrySelector);
  if (*value < 0.0) {
    raw += static_cast<double>(int64_t{1} << width);
  }
  return toInteger(std::floor(raw + 0.5));
}

void decodeName(ImageView image, unsigned firstBit, char (&name)[kNameChars + 1]) {
  for (unsigned i = 0; i < kNameChars; ++i) {
    name[i] = static_cast<char>(readBits(image, firstBit + 8 * i, 8));
  }
  name[kNameChars] = '\0';
}

void encodeName(const char (&name)[kNameChars + 1], unsigned firstBit, ImageSpan image) {
  for (unsigned i = 0; i < kNameChars; ++i) {
    writeBits(image, firstBit + 8 * i, 8, static_cast<uint8_t>(name[i]));
  }
}

// The name is the text's first four characters; a shorter text is padded with zeros.
void readName(std::string_view text, char (&name)[kNameChars + 1]) {
  std::memset(name, 0, sizeof name);
  std::memcpy(name, text.data(), std::min<std::size_t>(text.size(), kNameChars));
}

void readInteger(const TEDSTemplateFieldArrayStruct& array, int index, int32_t& target) {
  if (const auto value = parseInteger(valueText(array.items[index]))) {
    target = *value;
  }
}

void readLocation(const TEDSTemplateFieldArrayStruct& array, int index, unsigned width, int32_t& target) {
  if (const auto raw = parseLocation(valueText(array.items[index]), width, gGeometry.geometrySelector)) {
    target = *raw;
  }
}

}  // namespace
}  // namespace tedskit::lms

namespace tedskit::lms {
namespace {

int32_t decodeGeometry(const uint8_t* image) {
  if (image == nullptr) {
    return 0;
  }
  const ImageView view(image, kImageSize);
  if (!isLmsImage(view, PELLAM_TEMPLATE_GEOMETRY)) {
    return 0;
  }
  GeometryState& s = gGeometry;
  s.header = decodeHeader(view);
  decodeName(view, kComponentNameBit, s.componentName);
  decodeName(view, kNodeNameBit, s.nodeName);
  s.phaseInversion = static_cast<int32_t>(readBits(view, kPhaseBit, 1));
  s.sensitivityDirection = static_cast<int32_t>(readBits(view, kDirectionBit, 2));
  s.geometrySelector = static_cast<int32_t>(readBits(view, kSelectorBit, 1));
  s.locationX = static_cast<int32_t>(readBits(view, kLocationXBit, kLocationWidth));
  s.locationY = static_cast<int32_t>(readBits(view, kLocationYBit, kLocationWidth));
  s.locationZ = static_cast<int32_t>(readBits(view, kLocationZBit, kLocationZWidth));
  s.orientationX = static_cast<int32_t>(readBits(view, kOrientationXBit, kOrientationWidth));
  s.orientationY = static_cast<int32_t>(readBits(view, kOrientationYBit, kOrientationWidth));
  s.orientationZ = static_cast<int32_t>(readBits(view, kOrientationZBit, kOrientationWidth));
  return 1;
}

int32_t encodeGeometry(uint8_t* image) {
  if (image == nullptr) {
    return PELLAM_MISSING_ARGUMENT;
  }
  const ImageSpan span(image, kImageSize);
  const GeometryState& s = gGeometry;
  encodeHeader(s.header, span);
  encodeName(s.componentName, kComponentNameBit, span);
  encodeName(s.nodeName, kNodeNameBit, span);
  const auto put = [&span](unsigned first, unsigned width, int32_t value) {
    writeBits(span, first, width, static_cast<uint32_t>(value));
  };
  put(kPhaseBit, 1, s.phaseInversion);
  put(kDirectionBit, 2, s.sensitivityDirection);
  put(kSelectorBit, 1, s.geometrySelector);
  put(kLocationXBit, kLocationWidth, s.locationX);
  put(kLocationYBit, kLocationWidth, s.locationY);
  put(kLocationZBit, kLocationZWidth, s.locationZ);
  put(kOrientationXBit, kOrientationWidth, s.orientationX);
  put(kOrientationYBit, kOrientationWidth, s.orientationY);
  put(kOrientationZBit, kOrientationWidth, s.orientationZ);
  return 1;
}

int32_t fillGeometry(TEDSTemplateFieldArrayStruct* array, int32_t withValues) {
  if (array == nullptr) {
    return PELLAM_MISSING_ARGUMENT;
  }
  const GeometryState& s = gGeometry;
  layOutHeaderItems(*array, withValues ? &s.header : nullptr);
  layOutItems(*array, kHeaderItems, kGeometryLayout);
  const int32_t locationWidth = inCentimetres(s.geometrySelector) ? 2 : 3;
  for (int i = kFirstLocationItem; i < kFirstLocationItem + 3; ++i) {
    array->items[i].width = locationWidth;
  }
  if (withValues) {
    const std::array<std::string, kNumItems - kHeaderItems> texts = {
        s.componentName,
        s.nodeName,
        std::to_string(s.phaseInversion),
        std::to_string(s.sensitivityDirection),
        std::to_string(s.geometrySelector),
        formatLocation(s.locationX, kLocationWidth, s.geometrySelector),
        formatLocation(s.locationY, kLocationWidth, s.geometrySelector),
        formatLocation(s.locationZ, kLocationZWidth, s.geometrySelector),
        std::to_string(s.orientationX),
        std::to_string(s.orientationY),
        std::to_string(s.orientationZ),
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
      setValueText(array->items[kHeaderItems + static_cast<int>(i)], texts[i]);
    }
  }
  setArrayHeader(*array, kNumItems, PELLAM_TEMPLATE_GEOMETRY, "LMS Geometry");
  return s.header.selector;
}

int32_t readGeometry(const TEDSTemplateFieldArrayStruct* array) {
  if (array == nullptr) {
    return PELLAM_MISSING_ARGUMENT;
  }
  GeometryState& s = gGeometry;
  readHeaderItems(*array, s.header, SensitivityRounding::Nearest);
  readName(valueText(array->items[8]), s.componentName);
  readName(valueText(array->items[9]), s.nodeName);
  readInteger(*array, 10, s.phaseInversion);
  readInteger(*array, 11, s.sensitivityDirection);
  readInteger(*array, 12, s.geometrySelector);
  readLocation(*array, 13, kLocationWidth, s.locationX);
  readLocation(*array, 14, kLocationWidth, s.locationY);
  readLocation(*array, 15, kLocationZWidth, s.locationZ);
  readInteger(*array, 16, s.orientationX);
  readInteger(*array, 17, s.orientationY);
  readInteger(*array, 18, s.orientationZ);
  s.header.templateId = PELLAM_TEMPLATE_GEOMETRY;
  s.header.selector = kLmsSelector;
  return 0;
}

}  // namespace
}  // namespace tedskit::lms

using namespace tedskit::lms;
using tedskit::base::guard;

int32_t PELLAM_DecodeGeometryLMSTeds(const uint8_t* image) {
  return guard(0, [&] { return decodeGeometry(image); });
}

int32_t PELLAM_EncodeGeometryTEDS(uint8_t* image) {
  return guard(PELLAM_MISSING_ARGUMENT, [&] { return encodeGeometry(image); });
}

int32_t PELLAM_FillFieldArrayStructWithGeometry(TEDSTemplateFieldArrayStruct* array, int32_t withValues) {
  return guard(PELLAM_MISSING_ARGUMENT, [&] { return fillGeometry(array, withValues); });
}

int32_t PELLAM_ReadGeometryFieldArrayStruct(const TEDSTemplateFieldArrayStruct* array) {
  return guard(PELLAM_MISSING_ARGUMENT, [&] { return readGeometry(array); });
}
