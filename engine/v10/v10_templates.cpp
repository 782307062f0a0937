// The V1.0 engine's templates, select cases and enumerations, as the exports show them.
#include <cstdio>

#include "tedskit/dorvia.h"
#include "v10/v10_engine.h"

using namespace dorvia;

namespace {

constexpr int32_t kBasicItems = 5;  // field indices 0 to 4 are the Basic TEDS rows
constexpr int32_t kMaxSccValues = 16;
constexpr size_t kTextBufferSize = 256;

void copyBounded(char* out, const char* text) {
  if (out != nullptr) std::snprintf(out, kTextBufferSize, "%s", text ? text : "");
}

// The enumeration of the property at field index k, or null.
CTDLEnumeration* enumerationAt(int32_t fieldIndex) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || fieldIndex < kBasicItems) return nullptr;
  CTDLProperty* property = engine->getPropertyByIndex(fieldIndex - kBasicItems);
  if (property == nullptr || property->m_dataType != DT_ENUMERATION) return nullptr;
  return property->m_dataDef.enumeration;
}

const char* textOrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

extern "C" {

DORVIA_API int32_t getCurrentTemplates(void) {
  CTEDSInfo* engine = v10Engine();
  return engine ? engine->GetTemplatesHeld(0) : 0;
}

DORVIA_API int32_t getTemplateItem(int32_t index, char* name, int32_t* templateID) {
  CTEDSInfo* engine = v10Engine();
  CTDLTemplateCollection* collection = engine ? engine->GetTemplateCollection(-1) : nullptr;
  if (collection == nullptr || index < 0 || static_cast<size_t>(index) >= collection->m_templates.size())
    return -1;
  const CTDLTemplate* found = collection->m_templates[static_cast<size_t>(index)];
  if (found == nullptr) return -1;
  copyBounded(name, found->m_description);
  if (templateID != nullptr) *templateID = found->m_templateID;
  return 0;
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
  CTEDSInfo* engine = v10Engine();
  if (scc == nullptr) return 0;
  const sccontrolstruct* held = engine ? engine->GetSCCObj() : nullptr;
  if (held == nullptr || held->count < 1 || held->count > kMaxSccValues) {
    scc->count = 0;
    return 0;
  }
  scc->count = held->count;
  for (int32_t i = 0; i < held->count; ++i) scc->values[i] = held->values[i];
  return 1;
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
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || index < 0 || index >= engine->numCaseInfo || index >= kTedsMaxCaseInfo) return -1;
  copyBounded(description, engine->caseInfo[index][0]);
  copyBounded(case0, engine->caseInfo[index][1]);
  copyBounded(case1, engine->caseInfo[index][2]);
  return 0;
}

DORVIA_API int32_t DORVIA_getEnumerationCount(int32_t fieldIndex) {
  CTDLEnumeration* enumeration = enumerationAt(fieldIndex);
  return enumeration ? enumeration->getNumberEnumerations() : 0;
}

DORVIA_API const char* DORVIA_getIndexedEnumeration(int32_t fieldIndex, int32_t enumerate) {
  CTDLEnumeration* enumeration = enumerationAt(fieldIndex);
  return textOrEmpty(enumeration ? enumeration->getEnumerate(enumerate) : nullptr);
}

DORVIA_API const char* DORVIA_getEnumerationDescription(int32_t fieldIndex) {
  CTDLEnumeration* enumeration = enumerationAt(fieldIndex);
  return textOrEmpty(enumeration ? enumeration->getDescription() : nullptr);
}

}  // extern "C"
