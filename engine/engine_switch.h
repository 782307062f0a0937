// The switch that sends the conversions to the description engine (template
// description files) or to the V1.0 (TDL) engine: the exported gTedsV10SupportState.
#ifndef TEDSKIT_ENGINE_ENGINE_SWITCH_H
#define TEDSKIT_ENGINE_ENGINE_SWITCH_H

#include <cstdint>

namespace dorvia {

inline constexpr int32_t kV10Off = 0;
inline constexpr int32_t kV10On = 1;

// True while the conversions go to the V1.0 engine.
bool v10StateOn();

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_ENGINE_SWITCH_H
