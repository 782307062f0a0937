#include "v10/v10_templates.h"

#include "base/fixed_field.h"
#include "v10/v10_engine.h"

namespace dorvia {

namespace {

constexpr int32_t kBasicItems = 5;  // field indices 0 to 4 are the Basic TEDS rows
constexpr int32_t kMaxSccValues = 16;
constexpr size_t kTextBufferSize = 256;

void copyBounded(char* out, const char* text) {
  tedskit::base::copyOut(text != nullptr ? text : "", out, static_cast<int32_t>(kTextBufferSize));
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

int32_t templateItemV10(int32_t index, char* name, int32_t* templateID) {
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

int32_t selectCaseRecordV10(sccontrolstruct& scc) {
  CTEDSInfo* engine = v10Engine();
  const sccontrolstruct* held = engine ? engine->GetSCCObj() : nullptr;
  if (held == nullptr || held->count < 1 || held->count > kMaxSccValues) {
    scc.count = 0;
    return 0;
  }
  scc.count = held->count;
  for (int32_t i = 0; i < held->count; ++i) scc.values[i] = held->values[i];
  return 1;
}

int32_t selectCaseTextsV10(int32_t index, char* description, char* case0, char* case1) {
  CTEDSInfo* engine = v10Engine();
  if (engine == nullptr || index < 0 || index >= engine->numCaseInfo || index >= kTedsMaxCaseInfo) return -1;
  copyBounded(description, engine->caseInfo[index][0]);
  copyBounded(case0, engine->caseInfo[index][1]);
  copyBounded(case1, engine->caseInfo[index][2]);
  return 0;
}

int32_t enumerationCountV10(int32_t fieldIndex) {
  CTDLEnumeration* enumeration = enumerationAt(fieldIndex);
  return enumeration ? enumeration->getNumberEnumerations() : 0;
}

const char* enumerateV10(int32_t fieldIndex, int32_t enumerate) {
  CTDLEnumeration* enumeration = enumerationAt(fieldIndex);
  return textOrEmpty(enumeration ? enumeration->getEnumerate(enumerate) : nullptr);
}

const char* enumerationDescriptionV10(int32_t fieldIndex) {
  CTDLEnumeration* enumeration = enumerationAt(fieldIndex);
  return textOrEmpty(enumeration ? enumeration->getDescription() : nullptr);
}

}  // namespace dorvia
