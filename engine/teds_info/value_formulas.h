// The number and date formulas of the TDL data types, shared by decoding and
// encoding. Raw values are the field bits read as a signed 32-bit integer.
#ifndef TEDSKIT_ENGINE_TEDS_INFO_VALUE_FORMULAS_H
#define TEDSKIT_ENGINE_TEDS_INFO_VALUE_FORMULAS_H

#include <cstdint>
#include <string>

namespace dorvia {

// The 32 characters of all 5-bit text; index 0 is a space.
inline constexpr char chr5Alphabet[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZ,./_@";

// Index of c in chr5Alphabet, or 0 (a space) when it is not in the set.
int chr5Index(char c);

// Truncates toward zero and keeps the low 32 bits, as a field of any width only
// stores its low bits; NaN and infinities give 0 instead of being undefined.
int32_t truncateToRaw(double x);

double rawToConRes(int32_t n, double start, double step);
int32_t conResToRaw(double x, double start, double step);
double rawToConRelRes(int32_t n, double start, double tolerance);
int32_t conRelResToRaw(double x, double start, double tolerance);

// Days since 1 January 1998 as "month/day/year"; every fourth year is a leap year.
std::string daysToDate(int32_t days);
// "month/day/year" back to days since 1 January 1998; a text without three
// numbers gives day 0.
int32_t dateToDays(const char* text);

}  // namespace dorvia

#endif
