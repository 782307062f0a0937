#include "mts_layout.h"

#include <memory>

#include "record_file_format.h"
#include "tedskit/tedsinfo.hpp"

namespace tedskit::store {

namespace {

// The engine names the first template of a file by exactly this name template 199.
constexpr char kMtsTemplateFile[] = "MTS-SWIFT.tdl";
constexpr int32_t kNotLoaded = -1;

// Created at the first MTS block and kept until the library unloads. A file that could
// not be opened is tried again at the next block: the current directory may have changed.
CTEDSInfo* mtsEngine() {
  static std::unique_ptr<CTEDSInfo> engine;
  if (!engine) {
    auto loaded = std::make_unique<CTEDSInfo>();
    if (loaded->CreateTemplateStructure(kMtsTemplateFile, 0, 0) != 0) return nullptr;
    engine = std::move(loaded);
  }
  return engine.get();
}

}  // namespace

int32_t layOutMtsTemplate(TEDSTemplateFieldArrayStruct& array, const sccontrolstruct& selectCases) {
  CTEDSInfo* engine = mtsEngine();
  if (engine == nullptr) return kNotLoaded;
  // A block without values clears those of the block before (the load takes the count
  // even when it refuses the values), so every block is laid out by its own values.
  engine->SetSCCObj(&selectCases);
  array.templateID = kMtsTemplateID;
  return engine->CreateTEDSTemplateFieldArrayStruct(&array, false);
}

}  // namespace tedskit::store
