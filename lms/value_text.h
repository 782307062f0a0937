// The value texts of LMS field array items: reading them as the C formats "%d",
// "%lf" and "%d/%d/%d" would, without their undefined corners, and writing dates.
#ifndef TEDSKIT_LMS_VALUE_TEXT_H
#define TEDSKIT_LMS_VALUE_TEXT_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tedskit/records.h"

namespace tedskit::lms {

// The item's value up to its terminator, never past the 64 bytes of the member.
std::string_view valueText(const TEDSTemplateFieldStruct& item);

// Writes text into the item's value, cut to fit with its terminator.
void setValueText(TEDSTemplateFieldStruct& item, std::string_view text);

// A leading decimal integer after optional blanks and sign; nothing when there is no
// digit or the number does not fit 32 bits.
std::optional<int32_t> parseInteger(std::string_view text);

// A leading real number after optional blanks; nothing when there is none.
std::optional<double> parseReal(std::string_view text);

// "month/day/year" as days since 1 January 1998; nothing when the text is not three
// numbers, the month is not 1 to 12, or a number or the day count does not fit 32 bits.
std::optional<int32_t> parseDate(std::string_view text);

// Days since 1 January 1998 as "month/day/year".
std::string formatDate(int32_t days);

// A real to a whole number, taking it only when it is finite and fits 32 bits.
std::optional<int32_t> toInteger(double value);

}  // namespace tedskit::lms

#endif
