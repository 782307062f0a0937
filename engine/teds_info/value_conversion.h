// Conversion of a property's value between its raw bits (m_rawData) and its value
// (m_value), by the property's machine datatype and data type.
#ifndef TEDSKIT_ENGINE_TEDS_INFO_VALUE_CONVERSION_H
#define TEDSKIT_ENGINE_TEDS_INFO_VALUE_CONVERSION_H

#include <cstdint>
#include <string>

#include "tedskit/orlin.hpp"

namespace dorvia {

// The first four raw bytes as a signed 32-bit integer, little-endian.
int32_t rawInteger(const CTDLProperty& property);
void setRawInteger(CTDLProperty& property, int32_t value);

// The property's enumeration, or null when its data type is not an enumeration.
CTDLEnumeration* enumerationOf(const CTDLProperty& property);

// Narrows to a float; values beyond its range become infinities instead of undefined.
float toFloat(double x);

// Decoding: raw bits to value.
void rawToValue(CTDLProperty& property);
// Decoding a property of a user-chosen case: by data type instead of machine datatype.
void caseItemRawToValue(CTDLProperty& property);
// Encoding: value is stored as the property's value, then turned into raw bits.
void valueToRaw(const fielddataholder& value, CTDLProperty& property);

// bit width div 5 characters of 5-bit text from raw bit 0, at most 127.
std::string chr5TextFromRaw(const CTDLProperty& property);

// The value text of a holder, never read past its 128 bytes.
std::string holderText(const fielddataholder& value);
void setHolderText(fielddataholder& value, const std::string& text);

}  // namespace dorvia

#endif
