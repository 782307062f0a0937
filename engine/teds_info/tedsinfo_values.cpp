// CTEDSInfo: moving a property's value into its field-array item and back. The item
// is found by the property's label; how the value is shown depends on the property type.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "teds_info/field_access.h"
#include "tedskit/tedsinfo.hpp"
#include "teds_info/value_conversion.h"

namespace {

enum class ItemForm {
  none,         // the item carries no value
  dateText,     // the value text as it is
  number,       // "%0.10e" outside 0.001 to 1000, else "%0.10f"
  fixedNumber,  // always "%0.10f"
  asIs,         // the integer or the enumerate text, by machine datatype
  integer,
  text,      // the value text
  chr5Text,  // 5-bit characters decoded from the raw bits
};

bool inRange(int32_t v, int32_t low, int32_t high) { return v >= low && v <= high; }

bool oneOf(int32_t v, std::initializer_list<int32_t> set) {
  for (int32_t s : set) {
    if (v == s) return true;
  }
  return false;
}

ItemForm itemFormOf(int32_t propertyType) {
  if (oneOf(propertyType, {PT_CALDATE, PT_TYPE_DATE})) return ItemForm::dateText;
  if (propertyType == PT_TF_SL) return ItemForm::fixedNumber;
  // The electrical range is a number wherever it stands, not only in a user-chosen case,
  // so that a decoded range encodes back.
  if (oneOf(propertyType, {1, 2, 3, 8, 9, 10, 12, 13, 17, 21, 22, 27, 28, 53, 54, 60}) ||
      inRange(propertyType, 29, 34) || inRange(propertyType, 42, 46) ||
      oneOf(propertyType, {PT_MIN_ELEC_VAL, PT_MAX_ELEC_VAL}))
    return ItemForm::number;
  if (oneOf(propertyType, {4, 35, 36, 37, 39, 40, 47, 50, 51, 52}) || inRange(propertyType, 23, 26))
    return ItemForm::asIs;
  if (oneOf(propertyType, {PT_DIRECTION, PT_MEASID, PT_CAL_PERIOD})) return ItemForm::integer;
  if (oneOf(propertyType, {PT_USER, PT_ELEC_SIG_TYPE, PT_MAP_METH, PT_ACDC_COUPLING})) return ItemForm::text;
  if (oneOf(propertyType, {PT_CAL_INITIALS, PT_ATTACHED_VERSION_LETTER, PT_TYPE_CHR5}))
    return ItemForm::chr5Text;
  return ItemForm::none;
}

// Ten decimals, fixed or scientific. to_chars with a precision prints exactly what printf
// prints in the C locale, at a fraction of its cost: a decode formats every number.
std::string tenDecimals(double x, bool scientific) {
  char text[512];
  const auto written = std::to_chars(text, text + sizeof text, x,
                                     scientific ? std::chars_format::scientific : std::chars_format::fixed, 10);
  if (written.ec == std::errc{}) return std::string(text, written.ptr);
  std::snprintf(text, sizeof text, scientific ? "%0.10e" : "%0.10f", x);
  return text;
}

std::string formatNumber(float x, bool alwaysFixed) {
  const double magnitude = std::fabs(static_cast<double>(x));
  const bool scientific = !alwaysFixed && (magnitude > 1000.0 || magnitude < 0.001);
  return tenDecimals(static_cast<double>(x), scientific);
}

// Ten decimals keep a value in a user-chosen case unless its step is finer than they are
// (steps of 1E-9 and below): such a value is written in scientific form.
std::string formatCaseNumber(const CTDLProperty& property, float x) {
  const double step = property.m_dataDef.resolution;
  const double resolution = property.m_dataType == DT_CONRES
                                ? std::fabs(step)
                                : std::fabs(static_cast<double>(x)) * 2.0 * std::fabs(step);
  if (resolution > 1E-9) return formatNumber(x, true);
  return tenDecimals(static_cast<double>(x), true);
}

float parseFloat(const std::string& text) {
  float x = 0.0f;
  if (std::sscanf(text.c_str(), "%f", &x) != 1) return 0.0f;
  return x;
}

}  // namespace

int32_t CTEDSInfo::setVLMTEDSValue(void* value, CTDLProperty* property, TEDSTemplateFieldArrayStruct* array) {
  const auto& holder = *static_cast<const fielddataholder*>(value);
  const char* label = property->findStringForProperty();
  const bool integerItem = property->getPropertyDatatype() == MD_INTEGER;
  switch (itemFormOf(property->getPropertyType())) {
    case ItemForm::dateText:
    case ItemForm::text:
      dorvia::setItemText(array, label, dorvia::holderText(holder));
      break;
    case ItemForm::number:
      dorvia::setItemText(array, label, formatNumber(holder.f, false));
      break;
    case ItemForm::fixedNumber:
      dorvia::setItemText(array, label, formatNumber(holder.f, true));
      break;
    case ItemForm::asIs:
      if (integerItem) {
        dorvia::setItemInteger(array, label, holder.i);
      } else {
        dorvia::setItemText(array, label, dorvia::holderText(holder));
      }
      break;
    case ItemForm::integer:
      dorvia::setItemInteger(array, label, holder.i);
      break;
    case ItemForm::chr5Text:
      dorvia::setItemText(array, label, dorvia::chr5TextFromRaw(*property));
      break;
    case ItemForm::none:
      break;
  }
  return 0;
}

int32_t CTEDSInfo::setVLMTEDSValue_2(void* value, CTDLProperty* property,
                                     TEDSTemplateFieldArrayStruct* array) {
  const auto& holder = *static_cast<const fielddataholder*>(value);
  const char* label = property->findStringForProperty();
  std::string text;
  if (property->getPropertyType() == PT_SELECTCASE) {
    const auto& cases = static_cast<CTDLSelectCase*>(property)->m_cases;
    if (holder.i >= 0 && static_cast<size_t>(holder.i) < cases.size() &&
        cases[static_cast<size_t>(holder.i)] != nullptr) {
      const char* description = cases[static_cast<size_t>(holder.i)]->getDescription();
      text = description ? description : "";
    }
  } else {
    switch (property->m_dataType) {
      case DT_ENUMERATION:
        text = dorvia::holderText(holder);
        break;
      case DT_CONRES:
      case DT_CONRELRES:
        text = formatCaseNumber(*property, holder.f);
        break;
      case DT_SINGLE: {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, "%0.10e", static_cast<double>(holder.f));
        text = buffer;
        break;
      }
      default:
        break;
    }
  }
  dorvia::setItemText(array, label, text);
  return 0;
}

fielddataholder CTEDSInfo::getVLMTEDSValue(CTDLProperty* property, TEDSTemplateFieldArrayStruct* array) {
  fielddataholder holder;
  std::memset(&holder, 0, sizeof holder);
  const char* label = property->findStringForProperty();
  const int32_t type = property->getPropertyType();
  switch (itemFormOf(type)) {
    case ItemForm::dateText:
      if (type == PT_CALDATE) dorvia::setHolderText(holder, dorvia::getItemText(array, label, 128));
      break;  // type 58 carries no value back
    case ItemForm::number:
    case ItemForm::fixedNumber:
      holder.f = parseFloat(dorvia::getItemText(array, label, 255));
      break;
    case ItemForm::asIs:
      if (property->getPropertyDatatype() == MD_INTEGER) {
        holder.i = dorvia::getItemInteger(array, label);
      } else {
        dorvia::setHolderText(holder, dorvia::getItemText(array, label, 128));
      }
      break;
    case ItemForm::integer:
      holder.i = dorvia::getItemInteger(array, label);
      break;
    case ItemForm::text:
      dorvia::setHolderText(holder, dorvia::getItemText(array, label, type == PT_USER ? 32 : 255));
      break;
    case ItemForm::chr5Text:
      dorvia::setHolderText(holder, dorvia::getItemText(array, label, 32));
      break;
    case ItemForm::none:
      break;
  }
  return holder;
}
