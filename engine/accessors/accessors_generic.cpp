// The generic field accessors: a field's value text read as, or written from, one of the
// value types; and the template's name, ID and abstract.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "accessors/accessors.h"
#include "tedskit/dorvia.h"
#include "common/text_util.h"

namespace dorvia {

bool isFilled(const TEDSTemplateFieldArrayStruct& array) {
  return array.validMarker == TEDS_FIELD_ARRAY_VALID;
}

int32_t findItem(const TEDSTemplateFieldArrayStruct& array, std::string_view label) {
  // numItems comes from the caller's memory: never trust it beyond the record.
  const int32_t count = array.numItems < 0                ? 0
                        : array.numItems > TEDS_MAX_ITEMS ? TEDS_MAX_ITEMS
                                                          : array.numItems;
  const char first = label.empty() ? '\0' : tedskit::base::lowerAscii(label.front());
  for (int32_t i = 0; i < count; ++i) {
    // The first byte tells most labels apart without measuring them.
    if (tedskit::base::lowerAscii(array.items[i].label[0]) != first) continue;
    if (equalsNoCase(fieldText(array.items[i].label), label)) return i;
  }
  return -1;
}

namespace {

// An integer as "%i" or "%u" prints it (printf is the dearest part of filling a row).
template <typename T>
void integerText(char (&text)[TEDS_VALUE_SIZE], T value) {
  *std::to_chars(text, text + sizeof text - 1, value).ptr = '\0';
}

// strtol and friends need a terminated copy: the record's value may lack its NUL.
std::string valueString(const TEDSTemplateFieldStruct& item) { return std::string(fieldText(item.value)); }

}  // namespace

int32_t getFieldValue(const TEDSTemplateFieldArrayStruct& array, std::string_view label, int32_t type,
                      void* value, int32_t size) {
  if (!isFilled(array)) return kNotFilled;
  const int32_t index = findItem(array, label);
  if (index < 0) return kLabelNotFound;
  if (type < 0 || type > 8) return 0;
  if (value == nullptr) return kMissingArgument;
  const std::string text = valueString(array.items[index]);
  const char* c = text.c_str();
  switch (type) {
    case DORVIA_VALUE_CHAR:
    case DORVIA_VALUE_CHAR_ALT:
      *static_cast<char*>(value) = c[0];
      return 0;
    case DORVIA_VALUE_INT32:
      *static_cast<int32_t*>(value) = static_cast<int32_t>(std::strtol(c, nullptr, 10));
      return 0;
    case DORVIA_VALUE_INT16:
      *static_cast<int16_t*>(value) = static_cast<int16_t>(std::strtol(c, nullptr, 10));
      return 0;
    case DORVIA_VALUE_FLOAT:
      *static_cast<float*>(value) = std::strtof(c, nullptr);
      return 0;
    case DORVIA_VALUE_DOUBLE:
      *static_cast<double*>(value) = std::strtod(c, nullptr);
      return 0;
    case DORVIA_VALUE_TEXT:
      return copyOut(text, static_cast<char*>(value), size);
    case DORVIA_VALUE_UINT16:
      *static_cast<uint16_t*>(value) = static_cast<uint16_t>(std::strtoul(c, nullptr, 10));
      return 0;
    case DORVIA_VALUE_UINT32:
      *static_cast<uint32_t*>(value) = static_cast<uint32_t>(std::strtoul(c, nullptr, 10));
      return 0;
    default:
      return 0;
  }
}

int32_t setFieldValue(TEDSTemplateFieldArrayStruct& array, std::string_view label, int32_t type,
                      const void* value) {
  if (!isFilled(array)) return kNotFilled;
  const int32_t index = findItem(array, label);
  if (index < 0) return kLabelNotFound;
  if (type < 0 || type > 8) return 0;
  if (value == nullptr) return kMissingArgument;
  char(&target)[TEDS_VALUE_SIZE] = array.items[index].value;
  char text[TEDS_VALUE_SIZE];
  switch (type) {
    case DORVIA_VALUE_CHAR:
    case DORVIA_VALUE_CHAR_ALT: {
      // Only the first character changes; an empty text gains its terminator.
      const bool wasEmpty = target[0] == '\0';
      target[0] = *static_cast<const char*>(value);
      if (wasEmpty) target[1] = '\0';
      return 0;
    }
    case DORVIA_VALUE_INT32:
      integerText(text, *static_cast<const int32_t*>(value));
      break;
    case DORVIA_VALUE_INT16:
      integerText(text, int{*static_cast<const int16_t*>(value)});
      break;
    case DORVIA_VALUE_FLOAT:
      std::snprintf(text, sizeof text, "%0.10f", static_cast<double>(*static_cast<const float*>(value)));
      break;
    case DORVIA_VALUE_DOUBLE:
      std::snprintf(text, sizeof text, "%0.10f", *static_cast<const double*>(value));
      break;
    case DORVIA_VALUE_TEXT:
      setFieldText(target, static_cast<const char*>(value));
      return 0;
    case DORVIA_VALUE_UINT16:
      integerText(text, unsigned{*static_cast<const uint16_t*>(value)});
      break;
    default:  // DORVIA_VALUE_UINT32
      integerText(text, *static_cast<const uint32_t*>(value));
      break;
  }
  setFieldText(target, text);
  return 0;
}

int32_t getTemplateName(const TEDSTemplateFieldArrayStruct& array, char* buffer, int32_t size) {
  if (!isFilled(array)) return kNotFilled;
  return copyOut(fieldText(array.templateName), buffer, size);
}

int32_t getTemplateIndex(const TEDSTemplateFieldArrayStruct& array) {
  if (!isFilled(array)) return kNotFilled;
  return array.templateID;
}

int32_t getAbstractText(const TEDSTemplateFieldArrayStruct& array, char* buffer, int32_t size) {
  if (!isFilled(array)) return kNotFilled;
  return copyOut(fieldText(array.abstractText), buffer, size);
}

}  // namespace dorvia
