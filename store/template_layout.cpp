#include "template_layout.h"

#include <cstring>

#include "mts_layout.h"
#include "record_file_format.h"
#include "tedskit/calden.h"
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

namespace tedskit::store {

namespace {

constexpr int32_t kDescriptionEngine = 0;
constexpr int32_t kV10Engine = 1;

// LMS templates are the LMS library's whatever their ID; standard templates above the
// old numbers are the V1.0 engine's.
bool laidOutByV10Engine(const BlockTemplate& block) {
  return block.descriptor != CALDEN_DESCRIPTOR_LMS && block.templateID > kLastOldTemplateID;
}

// The MTS template, whichever type line names it: a record read from an MTS block of an
// older file keeps ID 199 and is saved again under the standard type line.
bool laidOutAsMts(const BlockTemplate& block) {
  return block.descriptor != CALDEN_DESCRIPTOR_LMS && block.templateID == kMtsTemplateID;
}

}  // namespace

int32_t layOutTemplate(TaggedFieldArray& tagged, const BlockTemplate& block, const char* templateDirectory) {
  std::memset(&tagged, 0, sizeof tagged);
  tagged.kind = block.descriptor;
  if (laidOutAsMts(block)) return layOutMtsTemplate(tagged.array, block.selectCases);
  if (laidOutByV10Engine(block)) {
    const int32_t switched = DORVIA_SetTEDSV10SupportState(kV10Engine);
    if (switched < 0) return switched;
    setTemplateSCC(&block.selectCases);
    tagged.array.templateID = block.templateID;
    return DORVIA_FormatTEDSV10FromTemplateOnly(&tagged.array);
  }
  DORVIA_SetTEDSV10SupportState(kDescriptionEngine);
  return QUILLON_SetTEDSTemplate(&tagged, templateDirectory != nullptr ? templateDirectory : "",
                                 block.descriptor, block.templateID, block.manufacturerID);
}

EngineStateGuard::EngineStateGuard() : state_(getTEDSCurrentFormat()) {}

EngineStateGuard::~EngineStateGuard() {
  if (getTEDSCurrentFormat() != state_) DORVIA_SetTEDSV10SupportState(state_);
}

}  // namespace tedskit::store
