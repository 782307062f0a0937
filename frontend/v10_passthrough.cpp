// The V1.0 state switch and the enumeration lookups, passed straight to the engine.
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

extern "C" {

QUILLON_API int32_t QUILLON_SetTEDSV10SupportState(int32_t supportState) {
  return DORVIA_SetTEDSV10SupportState(supportState);
}

QUILLON_API int32_t QUILLON_getEnumerationCount(int32_t fieldIndex) {
  return DORVIA_getEnumerationCount(fieldIndex);
}

QUILLON_API const char* QUILLON_getIndexedEnumeration(int32_t fieldIndex, int32_t enumerate) {
  return DORVIA_getIndexedEnumeration(fieldIndex, enumerate);
}

QUILLON_API const char* QUILLON_getEnumerationDescription(int32_t fieldIndex) {
  return DORVIA_getEnumerationDescription(fieldIndex);
}

}  // extern "C"
