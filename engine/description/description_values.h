// The value conversions of the description field types.
#ifndef TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_VALUES_H
#define TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_VALUES_H

#include <cstdint>
#include <string>
#include <string_view>

namespace dorvia {

// Real numbers as the form text shows them: "%0.10lf", or "%0.10le" below 0.00001.
std::string formatValue(double value);

// Appends value as printf's "%.<precision>lf" (or "%.<precision>le" when scientific) would
// print it, without printf's cost on the decode path.
void appendReal(std::string& out, double value, bool scientific, int precision);

double conRelResValue(uint64_t index, double start, double tolerance, double offset);
double conResValue(uint64_t index, double start, double step);
// Indexes for a value, clamped to what width bits hold (a value below the scale's
// start gives 0, never a wrapped-around index).
uint64_t conRelResIndex(double value, float start, float tolerance, float offset, int64_t width);
uint64_t conResIndex(double value, float start, float step, int64_t width);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_VALUES_H
