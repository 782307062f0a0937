#include "lms_header.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

#include "item_layout.h"
#include "value_text.h"

namespace tedskit::lms {
namespace {

struct BitRange {
  unsigned first;
  unsigned width;
};

constexpr BitRange kManufacturer{0, 12};
constexpr BitRange kModelNumber{12, 16};
constexpr BitRange kVersionLetter{28, 5};
constexpr BitRange kVersionNumber{33, 6};
constexpr BitRange kSerialNumber{39, 25};
constexpr BitRange kSelector{64, 2};
constexpr BitRange kTemplateId{66, 8};
constexpr BitRange kCalibrationDay{74, 16};
constexpr BitRange kSensitivity{90, 16};
constexpr BitRange kFref{106, 8};

// Sensitivity in V/(m/s^2) is 5e-7 x 1.0003^s; the reference frequency in Hz is
// 7.991035024961 x 1.029470149232^f. The arrays carry the same scales as a start and
// a step, the factor being 1 + 2 x step.
constexpr double kSensitivityBase = 5e-7;
constexpr double kSensitivityFactor = 1.0003;
constexpr double kSensitivityStep = 0.00015;
constexpr double kFrefBase = 7.991035024961;
constexpr double kFrefFactor = 1.029470149232;
constexpr double kFrefStep = 0.014735074616;

constexpr char kVersionLetterOffset = 64;

const std::array<ItemLayout, kHeaderItems> kHeaderLayout = {{
    {"Manufacturer", TEDS_DT_MANUFACTURER, "", 0, R"("Manufacturer","RO","12")"},
    {"Model number", TEDS_DT_UNINT, "", 0, R"("Model Number","RO","16")"},
    {"Version letter", TEDS_DT_CHR5, "", 0, R"("Version Letter","RO","5")"},
    {"Version number", TEDS_DT_UNINT, "", 0, R"("Version Number","RO","6")"},
    {"Serial no.", TEDS_DT_UNINT, "", 0, R"("Serial No","RO","25")"},
    {"Calibration date", TEDS_DT_DATE, "", 0, R"("Calibration Date","RO","16")"},
    {"Sensitivity @ Fref", TEDS_DT_CONRELRES, R"x("V/(m/s_)")x", 6, R"("Sensitivity @ Fref","RO","16")",
     kSensitivityBase, kSensitivityStep},
    {"Fref", TEDS_DT_CONRELRES, R"("Hz")", 6, R"("Fref","RO","8")", kFrefBase, kFrefStep},
}};

int32_t readField(ImageView image, BitRange range) {
  return static_cast<int32_t>(readBits(image, range.first, range.width));
}

void writeField(ImageSpan image, BitRange range, int32_t value) {
  writeBits(image, range.first, range.width, static_cast<uint32_t>(value));
}

std::string formatInteger(int32_t value) { return std::to_string(value); }

std::string formatReal(double value) {
  char text[TEDS_VALUE_SIZE];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

// ln(v / base) / ln(factor): the index whose scaled value is v, before rounding.
std::optional<double> scaleIndex(std::string_view text, double base, double factor) {
  const auto value = parseReal(text);
  if (!value || !(*value > 0.0)) {
    return std::nullopt;
  }
  return std::log(*value / base) / std::log(factor);
}

void assignIfParsed(int32_t& target, std::optional<int32_t> parsed) {
  if (parsed) {
    target = *parsed;
  }
}

}  // namespace

bool isLmsImage(ImageView image, int32_t templateId) {
  return readField(image, kSelector) == kLmsSelector && readField(image, kTemplateId) == templateId;
}

LmsHeader decodeHeader(ImageView image) {
  return LmsHeader{
      .manufacturer = readField(image, kManufacturer),
      .modelNumber = readField(image, kModelNumber),
      .versionLetter = readField(image, kVersionLetter),
      .versionNumber = readField(image, kVersionNumber),
      .serialNumber = readField(image, kSerialNumber),
      .selector = readField(image, kSelector),
      .templateId = readField(image, kTemplateId),
      .calibrationDay = readField(image, kCalibrationDay),
      .sensitivityIndex = readField(image, kSensitivity),
      .frefIndex = readField(image, kFref),
  };
}

void encodeHeader(const LmsHeader& header, ImageSpan image) {
  writeField(image, kManufacturer, header.manufacturer);
  writeField(image, kModelNumber, header.modelNumber);
  writeField(image, kVersionLetter, header.versionLetter);
  writeField(image, kVersionNumber, header.versionNumber);
  writeField(image, kSerialNumber, header.serialNumber);
  writeField(image, kSelector, header.selector);
  writeField(image, kTemplateId, header.templateId);
  writeField(image, kCalibrationDay, header.calibrationDay);
  writeField(image, kSensitivity, header.sensitivityIndex);
  writeField(image, kFref, header.frefIndex);
}

void layOutHeaderItems(TEDSTemplateFieldArrayStruct& array, const LmsHeader* values) {
  layOutItems(array, 0, kHeaderLayout);
  if (values == nullptr) {
    return;
  }
  const char versionLetter[] = {static_cast<char>(values->versionLetter + kVersionLetterOffset), '\0'};
  const std::array<std::string, kHeaderItems> texts = {
      formatInteger(values->manufacturer),
      formatInteger(values->modelNumber),
      versionLetter,
      formatInteger(values->versionNumber),
      formatInteger(values->serialNumber),
      formatDate(values->calibrationDay),
      formatReal(kSensitivityBase * std::pow(kSensitivityFactor, values->sensitivityIndex)),
      formatReal(kFrefBase * std::pow(kFrefFactor, values->frefIndex)),
  };
  for (int i = 0; i < kHeaderItems; ++i) {
    setValueText(array.items[i], texts[static_cast<std::size_t>(i)]);
  }
}

void readHeaderItems(const TEDSTemplateFieldArrayStruct& array, LmsHeader& header,
                     SensitivityRounding rounding) {
  const auto text = [&array](int index) { return valueText(array.items[index]); };

  assignIfParsed(header.manufacturer, parseInteger(text(0)));
  assignIfParsed(header.modelNumber, parseInteger(text(1)));
  if (!text(2).empty()) {
    // The character's code as the platform's signed char gives it, less 64.
    header.versionLetter = static_cast<signed char>(text(2).front()) - kVersionLetterOffset;
  }
  assignIfParsed(header.versionNumber, parseInteger(text(3)));
  assignIfParsed(header.serialNumber, parseInteger(text(4)));
  assignIfParsed(header.calibrationDay, parseDate(text(5)));

  if (const auto s = scaleIndex(text(6), kSensitivityBase, kSensitivityFactor)) {
    const double rounded =
        rounding == SensitivityRounding::Nearest ? std::floor(*s + 0.5) : std::trunc(*s + 0.5);
    assignIfParsed(header.sensitivityIndex, toInteger(rounded));
  }
  if (const auto f = scaleIndex(text(7), kFrefBase, kFrefFactor)) {
    assignIfParsed(header.frefIndex, toInteger(std::trunc(*f + 0.5)));
  }
}

}  // namespace tedskit::lms
