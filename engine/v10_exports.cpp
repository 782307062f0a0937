// The exports of the V1.0 (TDL) engine: its creation, the field array decoded from,
// laid out for and encoded into its images, the images' hand-over, and its
// templates, select cases and enumerations.
#include "c_boundary.h"
#include "common/result_codes.h"
#include "tedskit/dorvia.h"
#include "v10/v10_engine.h"
#include "v10/v10_templates.h"

using namespace dorvia;

extern "C" {

DORVIA_API int32_t initTEDSV10Support(void) {
  return guarded(kNoV10Engine, [] { return createV10Engine(); });
}

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
  return setV10Images(appRegister, memory);
}

DORVIA_API int32_t getV10APPandMemory(uint8_t* appRegister, uint8_t* memory) {
  return getV10Images(appRegister, memory);
}

DORVIA_API int32_t setOldFilenameForV10(const char* path) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr) return kNoV10Engine;
  return engine->setOLDTemplateFilename(path);
}

DORVIA_API int32_t getCurrentTemplates(void) {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->GetTemplatesHeld(0) : 0;
}

DORVIA_API int32_t getTemplateItem(int32_t index, char* name, int32_t* templateID) {
  return templateItemV10(index, name, templateID);
}

DORVIA_API int32_t DORVIA_GetAlternateTemplate(int32_t templateID) {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->GetAlternateTemplate(templateID) : kNoV10Engine;
}

DORVIA_API int32_t DORVIA_SetTemplateState(int32_t selectCaseIndex, int32_t state) {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->SetWhichNBSC(selectCaseIndex, state) : 0;
}

DORVIA_API int32_t getTemplateSCC(sccontrolstruct* scc) {
  if (scc == nullptr) return 0;
  return selectCaseRecordV10(*scc);
}

DORVIA_API int32_t setTemplateSCC(const sccontrolstruct* scc) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || scc == nullptr) return 0;
  return engine->SetSCCObj(scc) ? 1 : 0;
}

DORVIA_API int32_t getSCCStructure(void) {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->getSCInformation() : 0;
}

DORVIA_API int32_t getSCCData(int32_t index, char* description, char* case0, char* case1) {
  return selectCaseTextsV10(index, description, case0, case1);
}

DORVIA_API int32_t DORVIA_getEnumerationCount(int32_t fieldIndex) { return enumerationCountV10(fieldIndex); }

DORVIA_API const char* DORVIA_getIndexedEnumeration(int32_t fieldIndex, int32_t enumerate) {
  return enumerateV10(fieldIndex, enumerate);
}

DORVIA_API const char* DORVIA_getEnumerationDescription(int32_t fieldIndex) {
  return enumerationDescriptionV10(fieldIndex);
}

}  // extern "C"
