// The V1.0 engine's templates, select cases and enumerations, as the exports show them.
// Texts are copied into caller buffers of 256 bytes; a null buffer is passed over.
#ifndef TEDSKIT_ENGINE_V10_V10_TEMPLATES_H
#define TEDSKIT_ENGINE_V10_V10_TEMPLATES_H

#include <cstdint>

#include "tedskit/tedsinfo.hpp"

namespace dorvia {

// The name and ID of the index-th template of the engine's first file; 0, or -1 when
// there is no such template.
int32_t templateItemV10(int32_t index, char* name, int32_t* templateID);

// The engine's select-case record; 1, or 0 (with scc.count 0) when it holds none.
int32_t selectCaseRecordV10(sccontrolstruct& scc);

// The description and the two case texts of the index-th select case; 0, or -1.
int32_t selectCaseTextsV10(int32_t index, char* description, char* case0, char* case1);

// The enumeration of the property at field index k (the Basic TEDS rows come first):
// its number of enumerates, one enumerate and its description; 0 or "" without one.
int32_t enumerationCountV10(int32_t fieldIndex);
const char* enumerateV10(int32_t fieldIndex, int32_t enumerate);
const char* enumerationDescriptionV10(int32_t fieldIndex);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_V10_V10_TEMPLATES_H
