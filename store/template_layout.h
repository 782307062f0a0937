// Laying a field array out for the template a record block names, through the engine
// (V1.0 templates), the store's own MTS engine (the MTS template) or the front end
// (description-engine and LMS templates).
#ifndef TEDSKIT_STORE_TEMPLATE_LAYOUT_H
#define TEDSKIT_STORE_TEMPLATE_LAYOUT_H

#include <cstdint>

#include "tedskit/records.h"

namespace tedskit::store {

struct BlockTemplate {
  int32_t descriptor;
  int32_t templateID;
  int32_t manufacturerID;
  sccontrolstruct selectCases;
};

// Lays tagged.array out without values; 0, or the engine's or front end's failure.
int32_t layOutTemplate(TaggedFieldArray& tagged, const BlockTemplate& block, const char* templateDirectory);

// Puts the engine back in the state it had when built, whatever the layouts switched.
class EngineStateGuard {
 public:
  EngineStateGuard();
  ~EngineStateGuard();
  EngineStateGuard(const EngineStateGuard&) = delete;
  EngineStateGuard& operator=(const EngineStateGuard&) = delete;

 private:
  int32_t state_;
};

}  // namespace tedskit::store

#endif
