// CTEDSInfo: encoding a field array. The items' texts become the values (and, for
// fields outside select cases, the raw bits) of the current template's properties;
// the Basic TEDS rows go into appregData; then memoryData is rebuilt from scratch.
#include <bit>
#include <cstdio>
#include <string>

#include "teds_info/field_access.h"
#include "tedskit/tedsinfo.hpp"
#include "teds_info/template_map.h"
#include "teds_info/value_conversion.h"
#include "teds_info/value_formulas.h"

namespace {

// Takes one item of a user-chosen select case (the select case itself or a property of
// its chosen case) from the array into the property's raw bits, by data type. Data
// types without a conversion here keep the raw bits of the last decode.
void readSelectCaseFromArray(TEDSTemplateFieldArrayStruct* array, CTDLProperty& property) {
  using namespace dorvia;
  constexpr int32_t kItemTextSize = 128;
  const std::string text = getItemText(array, property.findStringForProperty(), kItemTextSize);
  float x = 0.0f;
  const bool isNumber = std::sscanf(text.c_str(), "%f", &x) == 1;
  switch (property.m_dataType) {
    case DT_ENUMERATION: {
      CTDLEnumeration* enumeration = enumerationOf(property);
      setRawInteger(property, enumeration ? enumeration->getEnumerateValue(
                                                reinterpret_cast<const unsigned char*>(text.c_str()))
                                          : 0);
      break;
    }
    case DT_CONRES:
      property.m_value.f = isNumber ? x : 0.0f;
      setRawInteger(property, conResToRaw(property.m_value.f, property.m_dataDef.startValue,
                                          property.m_dataDef.resolution));
      break;
    case DT_CONRELRES:
      property.m_value.f = isNumber ? x : 0.0f;
      setRawInteger(property, conRelResToRaw(property.m_value.f, property.m_dataDef.startValue,
                                             property.m_dataDef.resolution));
      break;
    case DT_SINGLE:
      property.m_value.f = isNumber ? x : 0.0f;
      setRawInteger(property, std::bit_cast<int32_t>(property.m_value.f));
      break;
    default:
      break;
  }
}

bool isSelectCase(CTDLProperty* property) { return property->getPropertyType() == PT_SELECTCASE; }

CTDLCase* caseAt(CTDLSelectCase* selectCase, int32_t v) {
  if (v < 0 || static_cast<size_t>(v) >= selectCase->m_cases.size()) return nullptr;
  return selectCase->m_cases[static_cast<size_t>(v)];
}

}  // namespace

int32_t CTEDSInfo::CreateFromTEDSTemplateFieldArrayStruct(TEDSTemplateFieldArrayStruct* array) {
  if (array == nullptr || array->validMarker != TEDS_FIELD_ARRAY_VALID) return -53;
  const int32_t id = array->templateID;
  const bool oldNumber = id >= 0 && id < dorvia::kOldTemplateCount &&
                         dorvia::oldTemplateMap[static_cast<size_t>(id)].templateID != -1;
  if (oldNumber) {
    const dorvia::OldTemplateRow& row = dorvia::oldTemplateMap[static_cast<size_t>(id)];
    CTDLTemplate* mapped = findTemplateInFirstCollection(row.templateID);
    if (mapped == nullptr) return -1;
    sccControl.loadSCC(&row.scc);
    currentTemplate = mapped;
  }
  if (currentTemplate == nullptr) return -1;
  sccControl.resetCurrentSCPtr();

  for (CTDLProperty* property : currentTemplate->m_properties) {
    if (property == nullptr) continue;
    if (!isSelectCase(property)) {
      dorvia::valueToRaw(getVLMTEDSValue(property, array), *property);
      continue;
    }
    auto* selectCase = static_cast<CTDLSelectCase*>(property);
    if (isUserChosenSelectCase(selectCase)) {
      readUserChosenSelectCase(selectCase, array);
    } else {
      processSelectCaseFieldarray(selectCase, array);  // a select case without a value is left out
    }
  }
  writeBasicTEDSFromArray(array);
  return CreateTEDSV1_0Image();
}

int32_t CTEDSInfo::processSelectCaseFieldarray(CTDLSelectCase* selectCase,
                                               TEDSTemplateFieldArrayStruct* array) {
  const int32_t v = sccControl.getCurrentSCValue();
  if (v == ORLIN_SC_NO_VALUE) return -1;
  CTDLCase* chosen = caseAt(selectCase, v);
  if (chosen != nullptr) processCaseFieldArray(chosen, array);
  return 0;
}

void CTEDSInfo::processCaseFieldArray(CTDLCase* theCase, TEDSTemplateFieldArrayStruct* array) {
  for (CTDLProperty* property : theCase->m_properties) {
    if (property == nullptr) continue;
    if (isSelectCase(property)) {
      processSelectCaseFieldarray(static_cast<CTDLSelectCase*>(property), array);
    } else {
      // Only the value here; the raw bits follow when the image is written.
      property->m_value = getVLMTEDSValue(property, array);
    }
  }
}

void CTEDSInfo::readUserChosenSelectCase(CTDLSelectCase* selectCase, TEDSTemplateFieldArrayStruct* array) {
  readSelectCaseFromArray(array, *selectCase);
  const int32_t v = dorvia::rawInteger(*selectCase);
  sccControl.setCurrentSCValue(v);
  CTDLCase* chosen = caseAt(selectCase, v);
  if (chosen == nullptr) return;
  for (CTDLProperty* property : chosen->m_properties) {
    if (property != nullptr) readSelectCaseFromArray(array, *property);
  }
}
