// Which engine the conversions use.
#pragma once

#include "tedskit/dorvia.h"

namespace quillon {

// True while the engine converts through the V1.0 (TDL) engine.
inline bool inV10State() { return getTEDSCurrentFormat() == 1; }

}  // namespace quillon
