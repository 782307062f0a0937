// The switch between the description engine and the V1.0 (TDL) engine, the engine's
// creation, and the exports that decode into, lay out and encode from a field array
// through it and hand its images over.
#include <memory>

#include "c_boundary.h"
#include "tedskit/dorvia.h"
#include "v10/v10_engine.h"

extern "C" {
TEDSKIT_EXPORT CTEDSInfo* gTedsinfoptr = nullptr;
}

namespace dorvia {
namespace {

constexpr char kV10TemplateFile[] = "ieee_temp_v10.tdl";
constexpr int32_t kNotFilled = -53;

// Keeps the engine for the life of the library and releases it at unload.
struct EngineOwner {
  std::unique_ptr<CTEDSInfo> engine;
  ~EngineOwner() { gTedsinfoptr = nullptr; }
};
EngineOwner gOwner;

}  // namespace

bool v10StateOn() { return gTedsV10SupportState == kV10On; }

CTEDSInfo* loadedV10Engine() {
  CTEDSInfo* engine = v10Engine();
  return engine != nullptr && engine->IsStructureValid() ? engine : nullptr;
}

}  // namespace dorvia

using namespace dorvia;

extern "C" {

DORVIA_API int32_t initTEDSV10Support(void) {
  if (v10Engine() != nullptr) return 0;
  return guarded(kNoV10Engine, [] {
    gOwner.engine = std::make_unique<CTEDSInfo>();
    gTedsinfoptr = gOwner.engine.get();
    return gTedsinfoptr->CreateTemplateStructure(kV10TemplateFile, 0, 0);
  });
}

DORVIA_API int32_t DORVIA_SetTEDSV10SupportState(int32_t state) {
  if (state == kV10On) {
    gTedsV10SupportState = kV10On;
    const int32_t loaded = initTEDSV10Support();
    return loaded < 0 ? loaded : 0;
  }
  gTedsV10SupportState = kV10Off;
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->getMatchingOldTemplateID() : kNoV10Engine;
}

DORVIA_API int32_t getTEDSCurrentFormat(void) { return gTedsV10SupportState; }

DORVIA_API int32_t DORVIA_FormatTEDSV10FromRaw(TEDSTemplateFieldArrayStruct* array) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || array == nullptr) return kNoV10Engine;
  return guarded(kNoV10Engine, [&] { return engine->CreateTEDSTemplateFieldArrayStruct(array, true); });
}

DORVIA_API int32_t DORVIA_FormatTEDSV10FromTemplateOnly(TEDSTemplateFieldArrayStruct* array) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || array == nullptr) return kNoV10Engine;
  return guarded(kNoV10Engine, [&] { return engine->CreateTEDSTemplateFieldArrayStruct(array, false); });
}

DORVIA_API int32_t DORVIA_FormatTEDSV10FromFieldArray(TEDSTemplateFieldArrayStruct* array) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr) return kNoV10Engine;
  if (array == nullptr) return kNotFilled;
  return guarded(kNoV10Engine, [&] { return engine->CreateFromTEDSTemplateFieldArrayStruct(array); });
}

DORVIA_API int32_t setV10APPandMemory(const uint8_t* appRegister, const uint8_t* memory) {
  CTEDSInfo* engine = loadedV10Engine();
  if (engine == nullptr || appRegister == nullptr || memory == nullptr) return kNoV10Engine;
  engine->setAppregData(appRegister);
  engine->setMemoryData(memory);
  return 0;
}

DORVIA_API int32_t getV10APPandMemory(uint8_t* appRegister, uint8_t* memory) {
  CTEDSInfo* engine = loadedV10Engine();
  if (engine == nullptr || appRegister == nullptr || memory == nullptr) return kNoV10Engine;
  engine->getAppregData(appRegister);
  engine->getMemoryData(memory);
  return 0;
}

DORVIA_API int32_t setOldFilenameForV10(const char* path) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr) return kNoV10Engine;
  return engine->setOLDTemplateFilename(path);
}

}  // extern "C"
