// The V1.0 state switch and the enumeration lookups, passed straight to the engine.
#include "base/guard.h"
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

using tedskit::base::guard;

namespace {
// What a failure gives, as the engine's exports give it: no engine, no enumerates, no text.
constexpr int32_t kNoEngine = -1;
constexpr char kNoText[] = "";
}  // namespace

extern "C" {

QUILLON_API int32_t QUILLON_SetTEDSV10SupportState(int32_t supportState) {
  return guard(kNoEngine, [&] { return DORVIA_SetTEDSV10SupportState(supportState); });
}

QUILLON_API int32_t QUILLON_getEnumerationCount(int32_t fieldIndex) {
  return guard(0, [&] { return DORVIA_getEnumerationCount(fieldIndex); });
}

QUILLON_API const char* QUILLON_getIndexedEnumeration(int32_t fieldIndex, int32_t enumerate) {
  return guard<const char*>(kNoText, [&] { return DORVIA_getIndexedEnumeration(fieldIndex, enumerate); });
}

QUILLON_API const char* QUILLON_getEnumerationDescription(int32_t fieldIndex) {
  return guard<const char*>(kNoText, [&] { return DORVIA_getEnumerationDescription(fieldIndex); });
}

}  // extern "C"
