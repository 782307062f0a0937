// The process-wide choice of engine for the conversions: 0 the description engine
// (template description files), 1 the V1.0 (TDL) engine.
#include "tedskit/dorvia.h"

extern "C" {
DORVIA_API int32_t gTedsV10SupportState = 0;
}
