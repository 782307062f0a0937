// The process-wide choice of engine for the conversions: 0 the description engine
// (template description files), 1 the V1.0 (TDL) engine.
#include "engine_switch.h"

#include "common/result_codes.h"
#include "tedskit/dorvia.h"
#include "v10/v10_engine.h"

extern "C" {
DORVIA_API int32_t gTedsV10SupportState = 0;
}

namespace dorvia {

bool v10StateOn() { return gTedsV10SupportState == kV10On; }

namespace {

int32_t switchEngine(int32_t state) {
  if (state == kV10On) {
    gTedsV10SupportState = kV10On;
    const int32_t loaded = initTEDSV10Support();
    return loaded < 0 ? loaded : 0;
  }
  gTedsV10SupportState = kV10Off;
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->getMatchingOldTemplateID() : kNoV10Engine;
}

}  // namespace

}  // namespace dorvia

using namespace dorvia;

extern "C" {

DORVIA_API int32_t DORVIA_SetTEDSV10SupportState(int32_t state) {
  return guard(kNoV10Engine, [&] { return switchEngine(state); });
}

DORVIA_API int32_t getTEDSCurrentFormat(void) {
  return guard(kV10Off, [] { return gTedsV10SupportState; });
}

}  // extern "C"
