// The V1.0 (TDL) engine's creation and the hand-over of its images.
#include "v10/v10_engine.h"

#include <memory>

extern "C" {
TEDSKIT_EXPORT CTEDSInfo* gTedsinfoptr = nullptr;
}

namespace dorvia {
namespace {

constexpr char kV10TemplateFile[] = "ieee_temp_v10.tdl";

// Keeps the engine for the life of the library and releases it at unload.
struct EngineOwner {
  std::unique_ptr<CTEDSInfo> engine;
  ~EngineOwner() { gTedsinfoptr = nullptr; }
};
EngineOwner gOwner;

}  // namespace

CTEDSInfo* loadedV10Engine() {
  CTEDSInfo* engine = v10Engine();
  return engine != nullptr && engine->IsStructureValid() ? engine : nullptr;
}

int32_t createV10Engine() {
  if (v10Engine() != nullptr) return 0;
  gOwner.engine = std::make_unique<CTEDSInfo>();
  gTedsinfoptr = gOwner.engine.get();
  return gTedsinfoptr->CreateTemplateStructure(kV10TemplateFile, 0, 0);
}

int32_t setV10Images(const uint8_t* appRegister, const uint8_t* memory) {
  CTEDSInfo* engine = loadedV10Engine();
  if (engine == nullptr || appRegister == nullptr || memory == nullptr) return kNoV10Engine;
  engine->setAppregData(appRegister);
  engine->setMemoryData(memory);
  return 0;
}

int32_t getV10Images(uint8_t* appRegister, uint8_t* memory) {
  CTEDSInfo* engine = loadedV10Engine();
  if (engine == nullptr || appRegister == nullptr || memory == nullptr) return kNoV10Engine;
  engine->getAppregData(appRegister);
  engine->getMemoryData(memory);
  return 0;
}

}  // namespace dorvia
