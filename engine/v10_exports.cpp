// The exports of the V1.0 (TDL) engine: its creation, the field array decoded from,
// laid out for and encoded into its images, the images' hand-over, and its
// templates, select cases and enumerations.
#include "common/result_codes.h"
#include "tedskit/dorvia.h"
#include "v10/v10_engine.h"
#include "v10/v10_templates.h"

using namespace dorvia;

namespace {

// What a failure gives where an export answers with a text.
constexpr char kNoText[] = "";

int32_t formatFromRaw(TEDSTemplateFieldArrayStruct* array) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || array == nullptr) return kNoV10Engine;
  return engine->CreateTEDSTemplateFieldArrayStruct(array, true);
}

int32_t formatFromTemplateOnly(TEDSTemplateFieldArrayStruct* array) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || array == nullptr) return kNoV10Engine;
  return engine->CreateTEDSTemplateFieldArrayStruct(array, false);
}

int32_t formatFromFieldArray(TEDSTemplateFieldArrayStruct* array) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr) return kNoV10Engine;
  if (array == nullptr) return kNotFilled;
  return engine->CreateFromTEDSTemplateFieldArrayStruct(array);
}

int32_t setOldFilename(const char* path) {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->setOLDTemplateFilename(path) : kNoV10Engine;
}

int32_t templatesHeld() {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->GetTemplatesHeld(0) : 0;
}

int32_t alternateTemplate(int32_t templateID) {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->GetAlternateTemplate(templateID) : kNoV10Engine;
}

int32_t setTemplateState(int32_t selectCaseIndex, int32_t state) {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->SetWhichNBSC(selectCaseIndex, state) : 0;
}

int32_t selectCaseRecord(sccontrolstruct* scc) { return scc == nullptr ? 0 : selectCaseRecordV10(*scc); }

int32_t setSelectCaseRecord(const sccontrolstruct* scc) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || scc == nullptr) return 0;
  return engine->SetSCCObj(scc) ? 1 : 0;
}

int32_t selectCaseRows() {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->getSCInformation() : 0;
}

}  // namespace

extern "C" {

DORVIA_API int32_t initTEDSV10Support(void) {
  return guard(kNoV10Engine, [] { return createV10Engine(); });
}

DORVIA_API int32_t DORVIA_FormatTEDSV10FromRaw(TEDSTemplateFieldArrayStruct* array) {
  return guard(kNoV10Engine, [&] { return formatFromRaw(array); });
}

DORVIA_API int32_t DORVIA_FormatTEDSV10FromTemplateOnly(TEDSTemplateFieldArrayStruct* array) {
  return guard(kNoV10Engine, [&] { return formatFromTemplateOnly(array); });
}

DORVIA_API int32_t DORVIA_FormatTEDSV10FromFieldArray(TEDSTemplateFieldArrayStruct* array) {
  return guard(kNoV10Engine, [&] { return formatFromFieldArray(array); });
}

DORVIA_API int32_t setV10APPandMemory(const uint8_t* appRegister, const uint8_t* memory) {
  return guard(kNoV10Engine, [&] { return setV10Images(appRegister, memory); });
}

DORVIA_API int32_t getV10APPandMemory(uint8_t* appRegister, uint8_t* memory) {
  return guard(kNoV10Engine, [&] { return getV10Images(appRegister, memory); });
}

DORVIA_API int32_t setOldFilenameForV10(const char* path) {
  return guard(kNoV10Engine, [&] { return setOldFilename(path); });
}

DORVIA_API int32_t getCurrentTemplates(void) {
  return guard(0, [] { return templatesHeld(); });
}

DORVIA_API int32_t getTemplateItem(int32_t index, char* name, int32_t* templateID) {
  return guard(kNoV10Engine, [&] { return templateItemV10(index, name, templateID); });
}

DORVIA_API int32_t DORVIA_GetAlternateTemplate(int32_t templateID) {
  return guard(kNoV10Engine, [&] { return alternateTemplate(templateID); });
}

DORVIA_API int32_t DORVIA_SetTemplateState(int32_t selectCaseIndex, int32_t state) {
  return guard(0, [&] { return setTemplateState(selectCaseIndex, state); });
}

DORVIA_API int32_t getTemplateSCC(sccontrolstruct* scc) {
  return guard(0, [&] { return selectCaseRecord(scc); });
}

DORVIA_API int32_t setTemplateSCC(const sccontrolstruct* scc) {
  return guard(0, [&] { return setSelectCaseRecord(scc); });
}

DORVIA_API int32_t getSCCStructure(void) {
  return guard(0, [] { return selectCaseRows(); });
}

DORVIA_API int32_t getSCCData(int32_t index, char* description, char* case0, char* case1) {
  return guard(kNoV10Engine, [&] { return selectCaseTextsV10(index, description, case0, case1); });
}

DORVIA_API int32_t DORVIA_getEnumerationCount(int32_t fieldIndex) {
  return guard(0, [&] { return enumerationCountV10(fieldIndex); });
}

DORVIA_API const char* DORVIA_getIndexedEnumeration(int32_t fieldIndex, int32_t enumerate) {
  return guard<const char*>(kNoText, [&] { return enumerateV10(fieldIndex, enumerate); });
}

DORVIA_API const char* DORVIA_getEnumerationDescription(int32_t fieldIndex) {
  return guard<const char*>(kNoText, [&] { return enumerationDescriptionV10(fieldIndex); });
}

}  // extern "C"
