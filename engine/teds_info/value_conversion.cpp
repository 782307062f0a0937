#include "teds_info/value_conversion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "teds_info/tdl_bits.h"
#include "teds_info/value_formulas.h"

namespace dorvia {
namespace {

constexpr size_t kDecodedTextLimit = 64;  // longer decoded texts are cut to 63
constexpr size_t kEncodedTextLimit = 31;

std::span<uint8_t> rawBuffer(CTDLProperty& property) { return property.m_rawData; }

double rawToNumber(CTDLProperty& property, int32_t n) {
  switch (property.m_dataType) {
    case DT_CONRES:
      return rawToConRes(n, property.m_dataDef.startValue, property.m_dataDef.resolution);
    case DT_SINGLE:
      return std::bit_cast<float>(n);
    default:  // ConRelRes, and the same power formula for any other data type
      return rawToConRelRes(n, property.m_dataDef.startValue, property.m_dataDef.resolution);
  }
}

int32_t numberToRaw(CTDLProperty& property, float x) {
  switch (property.m_dataType) {
    case DT_CONRES:
      return conResToRaw(x, property.m_dataDef.startValue, property.m_dataDef.resolution);
    case DT_CONRELRES:
      return conRelResToRaw(x, property.m_dataDef.startValue, property.m_dataDef.resolution);
    case DT_SINGLE:
      return std::bit_cast<int32_t>(x);
    default:
      return truncateToRaw(x);
  }
}

void setEnumerateText(CTDLProperty& property) {
  CTDLEnumeration* enumeration = enumerationOf(property);
  const int32_t index = rawInteger(property);
  if (enumeration == nullptr || index < 0 || index >= enumeration->getNumberEnumerations()) return;
  const char* text = enumeration->getEnumerate(index);
  if (text != nullptr) setHolderText(property.m_value, text);
}

}  // namespace

int32_t rawInteger(const CTDLProperty& property) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | property.m_rawData[i];
  return static_cast<int32_t>(v);
}

void setRawInteger(CTDLProperty& property, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) property.m_rawData[i] = static_cast<uint8_t>(v >> (8 * i));
}

CTDLEnumeration* enumerationOf(const CTDLProperty& property) {
  return property.m_dataType == DT_ENUMERATION ? property.m_dataDef.enumeration : nullptr;
}

float toFloat(double x) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (x > kMax) return std::numeric_limits<float>::infinity();
  if (x < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(x);
}

std::string holderText(const fielddataholder& value) {
  return std::string(value.text, strnlen(value.text, sizeof value.text));
}

void setHolderText(fielddataholder& value, const std::string& text) {
  const size_t n = std::min(text.size(), sizeof value.text - 1);
  std::memcpy(value.text, text.data(), n);
  value.text[n] = '\0';
}

void rawToValue(CTDLProperty& property) {
  switch (property.getPropertyDatatype()) {
    case MD_INTEGER:
      property.m_value.i = rawInteger(property);
      break;
    case MD_NUMBER:
      property.m_value.f = toFloat(rawToNumber(property, rawInteger(property)));
      break;
    case MD_TEXT:
      if (property.m_propertyType == PT_CALDATE) {
        setHolderText(property.m_value, daysToDate(rawInteger(property)));
      } else {
        const auto* raw = reinterpret_cast<const char*>(property.m_rawData);
        size_t n = strnlen(raw, sizeof property.m_rawData);
        if (n > kDecodedTextLimit) n = kDecodedTextLimit - 1;
        setHolderText(property.m_value, std::string(raw, n));
      }
      break;
    case MD_ENUMERATION:
      setEnumerateText(property);
      break;
    case MD_CHR5:  // decoded when its item is written
      break;
  }
}

void caseItemRawToValue(CTDLProperty& property) {
  switch (property.m_dataType) {
    case DT_ENUMERATION:
      setEnumerateText(property);
      break;
    case DT_CONRES:
    case DT_CONRELRES:
      property.m_value.f = toFloat(rawToNumber(property, rawInteger(property)));
      break;
    case DT_SINGLE:
      property.m_value.i = rawInteger(property);  // the bits are the float
      break;
    default:
      property.m_value.i = rawInteger(property);
      break;
  }
}

void valueToRaw(const fielddataholder& value, CTDLProperty& property) {
  property.m_value = value;
  switch (property.getPropertyDatatype()) {
    case MD_INTEGER:
      setRawInteger(property, value.i);
      break;
    case MD_NUMBER:
      setRawInteger(property, numberToRaw(property, value.f));
      break;
    case MD_TEXT:
      if (property.m_propertyType == PT_CALDATE) {
        setRawInteger(property, dateToDays(holderText(value).c_str()));
      } else {
        std::string text = holderText(value);
        if (text.size() > kEncodedTextLimit) text.resize(kEncodedTextLimit);
        std::memset(property.m_rawData, 0, kEncodedTextLimit + 1);
        std::memcpy(property.m_rawData, text.data(), text.size());
      }
      break;
    case MD_ENUMERATION: {
      CTDLEnumeration* enumeration = enumerationOf(property);
      const std::string text = holderText(value);
      setRawInteger(property, enumeration ? enumeration->getEnumerateValue(
                                                reinterpret_cast<const unsigned char*>(text.c_str()))
                                          : 0);
      break;
    }
    case MD_CHR5: {
      const std::string text = holderText(value);
      const int32_t characters = std::max(property.m_bitWidth, 0) / 5;
      int32_t cursor = 0;
      for (int32_t i = 0; i < characters; ++i) {
        const int index = static_cast<size_t>(i) < text.size() ? chr5Index(text[static_cast<size_t>(i)]) : 0;
        writeBitField(static_cast<uint32_t>(index), 5, cursor, rawBuffer(property));
      }
      break;
    }
  }
}

std::string chr5TextFromRaw(const CTDLProperty& property) {
  constexpr int32_t kMaxCharacters = 127;
  const int32_t characters = std::min(std::max(property.m_bitWidth, 0) / 5, kMaxCharacters);
  std::string text;
  int32_t cursor = 0;
  for (int32_t i = 0; i < characters; ++i) text += chr5Char(readBitField(property.m_rawData, 5, cursor));
  return text;
}

}  // namespace dorvia
