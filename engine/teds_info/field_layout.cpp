// CTEDSInfo: laying a field array out for the current template (the five Basic TEDS
// rows, then one item per property, select cases expanded into the branch in force)
// and filling the items' values from the decoded properties.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "base/fixed_field.h"
#include "tedskit/tedsinfo.hpp"
#include "teds_info/value_conversion.h"

namespace {

// The record holds 256 items, and the row after the last item says "EndTemplate".
constexpr int32_t kMaxItems = TEDS_MAX_ITEMS - 1;
constexpr char kEndTemplate[] = "EndTemplate";

template <size_t N>
void copyText(char (&out)[N], const char* text) {
  tedskit::base::copyToField(out, text);
}

// As snprintf writes a line: cut to N - 1 characters and terminated, the rest left as it was.
template <size_t N>
void writeLine(char (&out)[N], std::string_view text) {
  const size_t length = std::min(text.size(), N - 1);
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

}  // namespace

void CTEDSInfo::clearFSPropertyList() { fsPropertyList.clear(); }

void CTEDSInfo::addToFSPropertyList(CTDLProperty* property) { fsPropertyList.push_back(property); }

CTDLProperty* CTEDSInfo::getPropertyByIndex(int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= fsPropertyList.size()) return nullptr;
  return fsPropertyList[static_cast<size_t>(i)];
}

int32_t CTEDSInfo::traverseFSPropertyList() { return static_cast<int32_t>(fsPropertyList.size()); }

bool CTEDSInfo::FindStringinStruct(TEDSTemplateFieldArrayStruct* array, const char* label) {
  if (label == nullptr) return false;
  const int32_t n = std::min(array->numItems, TEDS_MAX_ITEMS);
  for (int32_t i = 0; i < n; ++i) {
    // The first byte tells most labels apart without a call.
    if (array->items[i].label[0] == label[0] && std::strncmp(array->items[i].label, label, TEDS_LABEL_SIZE) == 0)
      return true;
  }
  return false;
}

void CTEDSInfo::addBasicItem(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t code,
                             int32_t width, const char* defaultText) {
  const int32_t n = array->numItems;
  TEDSTemplateFieldStruct& item = array->items[n];
  copyText(item.label, label);
  item.datatype = code;
  item.start = 0.0;
  item.step = 0.0;
  item.width = width;
  item.units[0] = '\0';
  // "label","RO","width",tail: built by hand, as printf costs more than the rest of the row.
  std::string line = "\"";
  line.append(label).append("\",\"RO\",\"").append(std::to_string(width)).append("\",");
  if (code == TEDS_DT_MANUFACTURER) {
    line.append("\"Manufacturer\"");
  } else if (code == TEDS_DT_UNINT) {
    line.append("\"UNINT\",\"").append(defaultText).append("\"");
  } else if (code == TEDS_DT_CHR5) {
    line.append("\"CHR5\"");
  }
  writeLine(array->templateLines[n], line);
  array->numItems = n + 1;
}

void CTEDSInfo::AddItemtoStruct(TEDSTemplateFieldArrayStruct* array, CTDLProperty* property) {
  const int32_t n = array->numItems;
  if (n < 0 || n >= kMaxItems) return;  // beyond the record's capacity: refused
  TEDSTemplateFieldStruct& item = array->items[n];
  copyText(item.label, property->findStringForProperty());
  item.datatype = property->getVLMFieldStructDatatype();
  switch (property->getPropertyDatatype()) {
    case MD_NUMBER:
      item.start = property->m_dataDef.startValue;
      item.width = property->getBitWidth();
      item.step = property->m_dataDef.resolution;
      break;
    case MD_INTEGER:
      item.start = 0.0;
      item.width = 2;
      item.step = 1.0;
      break;
    default:
      break;
  }
  copyText(item.units, property->getUnits());
  if (property->m_valueCleared) {
    property->m_valueCleared = false;
    item.value[0] = '\0';
  }
  item.access = property->getAccess();
  property->createVLMTemplateString(array->templateLines[n]);
  addToFSPropertyList(property);
  array->numItems = n + 1;
  copyText(array->templateLines[n + 1], kEndTemplate);
}

void CTEDSInfo::InitializeFieldStructFromTemplate(TEDSTemplateFieldArrayStruct* array) {
  if (currentTemplate == nullptr) return;
  array->numItems = 0;
  array->templateID = currentTemplate->m_templateID;
  copyText(array->templateName, currentTemplate->m_description);
  clearFSPropertyList();
  addBasicItem(array, "Manufacturer", TEDS_DT_MANUFACTURER, 14, "0000000");
  addBasicItem(array, "Model number", TEDS_DT_UNINT, 15, "0000");
  addBasicItem(array, "Version letter", TEDS_DT_CHR5, 5, "");
  addBasicItem(array, "Version number", TEDS_DT_UNINT, 6, "0");
  addBasicItem(array, "Serial no.", TEDS_DT_UNINT, 24, "000000");
  sccControl.resetCurrentSCPtr();
  for (CTDLProperty* property : currentTemplate->m_properties) processTpropforlabel(property, array);
  sccControl.resetCurrentSCPtr();
  array->validMarker = TEDS_FIELD_ARRAY_VALID;
}

void CTEDSInfo::processTpropforlabel(CTDLProperty* property, TEDSTemplateFieldArrayStruct* array) {
  if (property == nullptr) return;
  if (property->getPropertyType() != PT_SELECTCASE) {
    if (!FindStringinStruct(array, property->findStringForProperty())) AddItemtoStruct(array, property);
    return;
  }
  auto* selectCase = static_cast<CTDLSelectCase*>(property);
  if (isUserChosenSelectCase(selectCase)) selectCase->SetSCCLevel(GetSCCObj()->current);
  const int32_t v = sccControl.getCurrentSCValue();
  if (v == ORLIN_SC_NO_VALUE) return;
  CTDLCase* chosen = v >= 0 && static_cast<size_t>(v) < selectCase->m_cases.size()
                         ? selectCase->m_cases[static_cast<size_t>(v)]
                         : nullptr;
  if (!isUserChosenSelectCase(selectCase)) {
    if (chosen == nullptr) return;
    for (CTDLProperty* p : chosen->m_properties) processTpropforlabel(p, array);
    return;
  }
  // The user picks the case: the select case becomes an item whose enumerates are
  // the case descriptions, followed by the items of the case in force.
  selectCase->setStructLabel(selectCase->getDescription() ? selectCase->getDescription() : "");
  selectCase->setUnits("");
  if (selectCase->m_dataType == DT_ENUMERATION) delete selectCase->m_dataDef.enumeration;
  auto* cases = new CTDLEnumeration;
  for (CTDLCase* c : selectCase->m_cases) {
    static char empty[] = "";
    char* description = c ? c->getDescription() : nullptr;
    cases->addEnumerate(description ? description : empty);
  }
  selectCase->m_dataType = DT_ENUMERATION;
  selectCase->m_dataDef.enumeration = cases;
  AddItemtoStruct(array, selectCase);
  if (chosen == nullptr) return;
  for (CTDLProperty* p : chosen->m_properties) AddItemtoStruct(array, p);
}

void CTEDSInfo::fillFieldStructFromFields(TEDSTemplateFieldArrayStruct* array) {
  sccControl.resetCurrentSCPtr();
  if (currentTemplate != nullptr) fillPropertyList(currentTemplate->m_properties, array);
}

void CTEDSInfo::fillPropertyList(const std::vector<CTDLProperty*>& list,
                                 TEDSTemplateFieldArrayStruct* array) {
  for (CTDLProperty* property : list) {
    if (property == nullptr) continue;
    if (property->getPropertyType() != PT_SELECTCASE) {
      setVLMTEDSValue(&property->m_value, property, array);
      continue;
    }
    auto* selectCase = static_cast<CTDLSelectCase*>(property);
    if (isUserChosenSelectCase(selectCase)) {
      fillUserChosenSelectCase(selectCase, array);
      continue;
    }
    const int32_t v = sccControl.getCurrentSCValue();
    if (v < 0 || static_cast<size_t>(v) >= selectCase->m_cases.size() ||
        selectCase->m_cases[static_cast<size_t>(v)] == nullptr)
      continue;
    fillPropertyList(selectCase->m_cases[static_cast<size_t>(v)]->m_properties, array);
  }
}

void CTEDSInfo::fillUserChosenSelectCase(CTDLSelectCase* selectCase, TEDSTemplateFieldArrayStruct* array) {
  const int32_t v = dorvia::rawInteger(*selectCase);
  sccControl.setCurrentSCValue(v);
  selectCase->m_value.i = v;
  setVLMTEDSValue_2(&selectCase->m_value, selectCase, array);
  if (v < 0 || static_cast<size_t>(v) >= selectCase->m_cases.size() ||
      selectCase->m_cases[static_cast<size_t>(v)] == nullptr)
    return;
  for (CTDLProperty* p : selectCase->m_cases[static_cast<size_t>(v)]->m_properties) {
    if (p->m_dataType == DT_SINGLE) std::memcpy(&p->m_value, p->m_rawData, 4);
    setVLMTEDSValue_2(&p->m_value, p, array);
  }
}
