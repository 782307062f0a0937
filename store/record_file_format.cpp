#include "record_file_format.h"

#include <array>

#include "tedskit/calden.h"
#include "text_fields.h"

namespace tedskit::store {

namespace {

constexpr RecordType kStandard{"IEEE 1451.4 Template", 0, CALDEN_DESCRIPTOR_STANDARD, false};
constexpr RecordType kManufacturer{"Manufacturer Template", 1, CALDEN_DESCRIPTOR_MANUFACTURER, false};
constexpr RecordType kLms{"LMS Template", 3, CALDEN_DESCRIPTOR_LMS, false};
constexpr RecordType kMts{"MTS Template", 64, CALDEN_DESCRIPTOR_STANDARD, true};

// The order in which a line is tested.
constexpr std::array kTypes{kStandard, kManufacturer, kLms, kMts};

constexpr std::array<std::string_view, 4> kDirections{"X", "Y", "Z", "N/A"};
constexpr std::array<std::string_view, 2> kSigns{"+", "-"};
constexpr std::array<std::string_view, 2> kResolutions{"automotive resolution", "aerospace resolution"};

// The word for a numeric value; "" for a value that is not a number, none for a number
// without a word.
template <std::size_t N>
std::optional<std::string> wordFor(std::string_view value, const std::array<std::string_view, N>& words) {
  const auto number = leadingNumber(value);
  if (!number) return std::string();
  if (*number < 0 || static_cast<std::size_t>(*number) >= N) return std::nullopt;
  return std::string(words[static_cast<std::size_t>(*number)]);
}

// The text between the last "(" and the ")" after it (or the end of the text).
std::string_view parenthesised(std::string_view text) {
  const auto open = text.rfind('(');
  if (open == std::string_view::npos) return {};
  text.remove_prefix(open + 1);
  return text.substr(0, text.find(')'));
}

}  // namespace

std::optional<RecordType> typeOfRecord(int32_t descriptor, int32_t templateID) {
  switch (descriptor) {
    case CALDEN_DESCRIPTOR_STANDARD:
      return templateID == kMtsRecordTemplateID ? kMts : kStandard;
    case CALDEN_DESCRIPTOR_MANUFACTURER:
      return kManufacturer;
    case CALDEN_DESCRIPTOR_LMS:
      return kLms;
    default:
      return std::nullopt;
  }
}

std::optional<RecordType> typeOfLine(std::string_view line) {
  for (const RecordType& type : kTypes) {
    if (line.starts_with(type.name)) return type;
  }
  return std::nullopt;
}

std::optional<std::string> writtenValue(const TEDSTemplateFieldStruct& item,
                                        const ManufacturerName& manufacturerName) {
  const std::string_view value = fieldText(item.value);
  switch (item.datatype) {
    case TEDS_DT_MANUFACTURER:
      return manufacturerName(leadingNumber(value).value_or(-1)) + "(" + std::string(value) + ")";
    case TEDS_DT_DIRECTION:
      return wordFor(value, kDirections);
    case kDatatypeSign:
      return wordFor(value, kSigns);
    case kDatatypeGeometrySelector:
      return wordFor(value, kResolutions);
    default:
      return std::string(value);
  }
}

void readValue(TEDSTemplateFieldStruct& item, std::string_view text) {
  switch (item.datatype) {
    case TEDS_DT_MANUFACTURER:
      setFieldText(item.value, parenthesised(text));
      return;
    case TEDS_DT_DIRECTION: {
      constexpr std::string_view kLetters = "XYZN";
      const auto index = text.empty() ? std::string_view::npos : kLetters.find(text.front());
      if (index != std::string_view::npos) setFieldText(item.value, std::to_string(index));
      return;
    }
    case kDatatypeSign: {
      constexpr std::string_view kSignCharacters = "+-";
      const auto index = text.empty() ? std::string_view::npos : kSignCharacters.find(text.front());
      if (index != std::string_view::npos) setFieldText(item.value, std::to_string(index));
      return;
    }
    case kDatatypeGeometrySelector:
      // An empty text was written for a value that was no number; it leaves the
      // template's value, as it does for the other words.
      if (!text.empty()) setFieldText(item.value, text == kResolutions[0] ? "0" : "1");
      return;
    default:
      setFieldText(item.value, text);
      return;
  }
}

std::optional<int32_t> manufacturerIDOf(std::string_view text) {
  if (text.find('(') != std::string_view::npos) return wholeNumber(parenthesised(text));
  return wholeNumber(text);
}

}  // namespace tedskit::store
