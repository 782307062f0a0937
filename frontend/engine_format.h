// Which engine the conversions use.
#ifndef TEDSKIT_FRONTEND_ENGINE_FORMAT_H
#define TEDSKIT_FRONTEND_ENGINE_FORMAT_H

#include "tedskit/dorvia.h"

namespace quillon {

// True while the engine converts through the V1.0 (TDL) engine.
inline bool inV10State() { return getTEDSCurrentFormat() == 1; }

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_ENGINE_FORMAT_H
