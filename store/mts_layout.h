// The MTS template, laid out by an engine of the store's own. The process's V1.0 engine
// finds templates only in its first template file, which is not the MTS one, and its
// state belongs to its callers.
#ifndef TEDSKIT_STORE_MTS_LAYOUT_H
#define TEDSKIT_STORE_MTS_LAYOUT_H

#include <cstdint>

#include "tedskit/records.h"

namespace tedskit::store {

// Lays array out, without values, for the MTS template with the given select-case
// values; 0, or -1 when the MTS template file cannot be loaded from the current
// directory or holds no MTS template.
int32_t layOutMtsTemplate(TEDSTemplateFieldArrayStruct& array, const sccontrolstruct& selectCases);

}  // namespace tedskit::store

#endif
