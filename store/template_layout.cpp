#include "template_layout.h"

#include <cstring>

#include "base/fixed_meanings.h"
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

bool laidOutByLms(const BlockTemplate& block) {
  return block.descriptor == CALDEN_DESCRIPTOR_LMS && base::isLmsTemplate(block.templateID);
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
    const int32_t first = DORVIA_FormatTEDSV10FromTemplateOnly(&tagged.array);
    if (first != 0 || block.selectCases.count == 0) return first;
    // The engine lays a template other than its last one out by that template's first
    // select-case row, not by the values set: the first layout made the block's template
    // the engine's, this one follows the block's own values alone.
    std::memset(&tagged.array, 0, sizeof tagged.array);
    setTemplateSCC(&block.selectCases);
    tagged.array.templateID = block.templateID;
    return DORVIA_FormatTEDSV10FromTemplateOnly(&tagged.array);
  }
  DORVIA_SetTEDSV10SupportState(kDescriptionEngine);
  const int32_t result =
      QUILLON_SetTEDSTemplate(&tagged, templateDirectory != nullptr ? templateDirectory : "",
                              block.descriptor, block.templateID, block.manufacturerID);
  // The LMS fills answer with the selector of the LMS image decoded last (0 before any):
  // a layout all the same.
  if (laidOutByLms(block)) return result >= 0 ? 0 : result;
  return result;
}

EngineStateGuard::EngineStateGuard() : state_(getTEDSCurrentFormat()) {}

EngineStateGuard::~EngineStateGuard() {
  if (getTEDSCurrentFormat() != state_) DORVIA_SetTEDSV10SupportState(state_);
}

}  // namespace tedskit::store
