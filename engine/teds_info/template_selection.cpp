// CTEDSInfo: choosing the template and the select-case values, the template-only
// layout, the user-chosen select cases and the select-case description table.
#include <cstring>

#include "tedskit/tedsinfo.hpp"
#include "teds_info/template_map.h"

namespace {

constexpr int32_t kBasicItems = 5;

const char* textOrEmpty(const char* text) { return text ? text : ""; }

const char* caseDescription(CTDLSelectCase* selectCase, size_t i) {
  if (i >= selectCase->m_cases.size() || selectCase->m_cases[i] == nullptr) return "";
  return textOrEmpty(selectCase->m_cases[i]->getDescription());
}

void releaseEnumerations(const std::vector<CTDLProperty*>& list) {
  for (CTDLProperty* property : list) {
    if (property == nullptr || property->getPropertyType() != PT_SELECTCASE) continue;
    auto* selectCase = static_cast<CTDLSelectCase*>(property);
    // The parser never gives a select case an enumeration: any it holds is the layout's.
    if (selectCase->m_dataType == DT_ENUMERATION) {
      delete selectCase->m_dataDef.enumeration;
      selectCase->m_dataDef.enumeration = nullptr;
    }
    for (CTDLCase* c : selectCase->m_cases) {
      if (c != nullptr) releaseEnumerations(c->m_properties);
    }
  }
}

}  // namespace

bool CTEDSInfo::isUserChosenSelectCase(CTDLProperty* property) {
  if (property == nullptr || property->getPropertyType() != PT_SELECTCASE || currentTemplate == nullptr)
    return false;
  return dorvia::hasUserChosenSelectCases(currentTemplate->m_templateID) &&
         !static_cast<CTDLSelectCase*>(property)->IsBinary();
}

bool CTEDSInfo::findFirstMatchingSCC(int32_t templateID, sccontrolstruct* out) {
  const std::optional<sccontrolstruct> scc = dorvia::findFirstMatchingSCC(templateID);
  if (scc) *out = *scc;
  return scc.has_value();
}

int32_t CTEDSInfo::findMatchingOldTemplate(int32_t templateID, const sccontrolstruct* scc) {
  return dorvia::findMatchingOldTemplate(templateID, *scc);
}

int32_t CTEDSInfo::getMatchingOldTemplateID() {
  if (currentTemplate == nullptr) return -1;
  return findMatchingOldTemplate(currentTemplate->m_templateID, GetSCCObj());
}

int32_t CTEDSInfo::GetAlternateTemplate(int32_t n) { return dorvia::alternateTemplate(n); }

int32_t CTEDSInfo::layoutTemplateOnly(TEDSTemplateFieldArrayStruct* array) {
  const int32_t id = array->templateID;
  if (id >= 0 && id < dorvia::kOldTemplateCount) {
    const dorvia::OldTemplateRow& row = dorvia::oldTemplateMap[static_cast<size_t>(id)];
    if (row.templateID != -1) {
      sccControl.loadSCC(&row.scc);
      currentTemplate = findTemplateInFirstCollection(row.templateID);
      if (currentTemplate != nullptr) {
        InitializeFieldStructFromTemplate(array);
        return 0;
      }
    }
  }
  const int32_t previous = currentTemplate ? currentTemplate->m_templateID : -1;
  sccontrolstruct record;
  if (!findFirstMatchingSCC(id, &record)) return -1;
  sccControl.resetCurrentSCPtr();
  currentTemplate = findTemplateInFirstCollection(id);
  // A change of template starts from the row's values; a repeated layout keeps the
  // user's choices, and the first one uses the values set with SetSCCObj.
  if (id != previous && previous != -1) sccControl.loadSCC(&record);
  if (currentTemplate == nullptr) return -1;
  InitializeFieldStructFromTemplate(array);
  return 0;
}

int32_t CTEDSInfo::SetWhichNBSC(int itemIndex, int caseIndex) {
  CTDLProperty* property = getPropertyByIndex(itemIndex - kBasicItems);
  if (!isUserChosenSelectCase(property)) return 0;
  auto* selectCase = static_cast<CTDLSelectCase*>(property);
  if (caseIndex < 0 || static_cast<size_t>(caseIndex) >= selectCase->m_cases.size()) return 0;
  const int32_t level = selectCase->GetSCCLevel();
  sccontrolstruct* scc = GetSCCObj();
  if (level < 0 || level >= 16) return 0;
  if (scc->values[level] == caseIndex) return 1;
  scc->values[level] = caseIndex;
  CTDLCase* chosen = selectCase->m_cases[static_cast<size_t>(caseIndex)];
  if (chosen != nullptr) {
    for (CTDLProperty* p : chosen->m_properties) {
      p->m_value.i = 0;
      p->m_valueCleared = true;
    }
  }
  return 1;
}

int32_t CTEDSInfo::getSCInformation() {
  numCaseInfo = 0;
  if (currentTemplate == nullptr) return 0;
  processPropertyListForSC(currentTemplate->m_properties);
  return numCaseInfo;
}

void CTEDSInfo::processPropertyListForSC(const std::vector<CTDLProperty*>& list) {
  for (CTDLProperty* property : list) {
    if (property == nullptr || property->getPropertyType() != PT_SELECTCASE) continue;
    if (numCaseInfo >= kTedsMaxCaseInfo) return;
    auto* selectCase = static_cast<CTDLSelectCase*>(property);
    const char** row = caseInfo[numCaseInfo++];
    row[0] = textOrEmpty(selectCase->getDescription());
    if (isUserChosenSelectCase(selectCase)) {
      row[1] = "";
      row[2] = "";
      continue;
    }
    row[1] = caseDescription(selectCase, 0);
    row[2] = caseDescription(selectCase, 1);
    if (!selectCase->m_cases.empty() && selectCase->m_cases.front() != nullptr)
      processPropertyListForSC(selectCase->m_cases.front()->m_properties);
  }
}

int32_t CTEDSInfo::getCaseInfo(int i, char* description, char* case0, char* case1) {
  if (i < 0 || i >= numCaseInfo) return -1;
  char* out[3] = {description, case0, case1};
  for (int column = 0; column < 3; ++column) {
    if (out[column] != nullptr) std::strcpy(out[column], caseInfo[i][column]);
  }
  return 0;
}

void CTEDSInfo::releaseCaseEnumerations() {
  for (CTDLTemplateCollection* collection : templateCollections) {
    for (CTDLTemplate* t : collection->m_templates) {
      if (t != nullptr) releaseEnumerations(t->m_properties);
    }
  }
}
