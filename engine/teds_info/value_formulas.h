// The number and date formulas of the TDL data types, shared by decoding and
// encoding. Raw values are the field bits read as a signed 32-bit integer.
#ifndef TEDSKIT_ENGINE_TEDS_INFO_VALUE_FORMULAS_H
#define TEDSKIT_ENGINE_TEDS_INFO_VALUE_FORMULAS_H

#include <cstdint>
#include <string>

#include "base/chr5.h"

namespace dorvia {

// The 5-bit character of a code (0 to 31).
inline char chr5Char(uint32_t code) { return tedskit::base::chr5Char(code); }

// Index of c in the 5-bit set, or 0 (a space) when it is not in the set: this engine
// takes a lower-case letter as a space.
inline int chr5Index(char c) {
  return static_cast<int>(tedskit::base::chr5Code(c, tedskit::base::LowerCase::AsSpace));
}

// Truncates toward zero and keeps the low 32 bits, as a field of any width only
// stores its low bits; NaN and infinities give 0 instead of being undefined.
int32_t truncateToRaw(double x);

double rawToConRes(int32_t n, double start, double step);
int32_t conResToRaw(double x, double start, double step);
double rawToConRelRes(int32_t n, double start, double tolerance);
int32_t conRelResToRaw(double x, double start, double tolerance);

// Days since 1 January 1998 as "month/day/year"; every fourth year is a leap year, and a
// count below 0 shows as day n + 1 of January 1998.
std::string daysToDate(int32_t days);
// "month/day/year" back to days since 1 January 1998, a year before 1998 counted as
// 1998 and a month past December as the whole year; a text without three numbers gives
// day 0.
int32_t dateToDays(const char* text);

}  // namespace dorvia

#endif
