// CTEDSInfo: decoding the held images against a TDL template. A bit cursor walks the
// template's properties in order; select cases read their selector and continue
// with the properties of the chosen case.
#include <algorithm>
#include <cstring>
#include <span>

#include "teds_info/basic_teds.h"
#include "teds_info/tdl_bits.h"
#include "tedskit/tedsinfo.hpp"
#include "teds_info/template_map.h"
#include "teds_info/tdl_image_layout.h"
#include "teds_info/value_conversion.h"

namespace {

using namespace tdl_image;

constexpr size_t kClearedRawBytes = 32;

// Reads n bits at the cursor into the property's raw buffer from bit 0.
void readRaw(std::span<const uint8_t> image, int32_t& cursor, CTDLProperty& property, int64_t n) {
  int32_t rawCursor = 0;
  dorvia::copyBits(image, cursor, property.m_rawData, rawCursor, n);
}

// Whether every bit from the cursor to the end of the template data is 0.
bool zerosToTheEnd(std::span<const uint8_t> image, int32_t cursor) {
  while (cursor < kTedsTemplateDataEndBit && cursor % 8 != 0) {
    if (dorvia::readBitField(image, 1, cursor) != 0) return false;
  }
  const auto end = std::min<std::size_t>(kTedsTemplateDataEndBit / 8, image.size());
  for (auto at = static_cast<std::size_t>(cursor / 8); at < end; ++at) {
    if (image[at] != 0) return false;
  }
  return true;
}

CTDLCase* caseAt(CTDLSelectCase* selectCase, int32_t v) {
  if (v < 0 || static_cast<size_t>(v) >= selectCase->m_cases.size()) return nullptr;
  return selectCase->m_cases[static_cast<size_t>(v)];
}

}  // namespace

int32_t CTEDSInfo::CreateTEDSTemplateFieldArrayStruct(TEDSTemplateFieldArrayStruct* array, bool fromImage) {
  if (array == nullptr) return -1;
  if (!fromImage) return layoutTemplateOnly(array);
  int32_t cursor = kSelectorStartBit;
  const uint32_t selector = dorvia::readBitField(memoryData, kSelectorBits, cursor);
  uint32_t templateID = dorvia::readBitField(memoryData, kTemplateIDBits, cursor);
  if (selector == kMtsSelector && templateID == kMtsStoredID) templateID = dorvia::kMtsTemplateID;
  if (decodeImage(static_cast<int32_t>(templateID)) != 0) return -1;
  getSCInformation();
  InitializeFieldStructFromTemplate(array);
  readBasicTEDSToArray(array);
  fillFieldStructFromFields(array);
  return 0;
}

int32_t CTEDSInfo::CreateTEDSInfoFromData() {
  int32_t cursor = kSelectorStartBit + kSelectorBits;
  const uint32_t templateID = dorvia::readBitField(memoryData, kTemplateIDBits, cursor);
  if (decodeImage(static_cast<int32_t>(templateID)) != 0) return -1;
  getSCInformation();
  basicTEDS = dorvia::readBasicNumbers(appregData);
  return 0;
}

int32_t CTEDSInfo::decodeImage(int32_t templateID) {
  currentTemplate = findTemplateInFirstCollection(templateID);
  if (currentTemplate == nullptr) return -1;
  int32_t cursor = kTemplateDataStartBit;
  sccontrolstruct record;
  if (!findFirstMatchingSCC(templateID, &record)) return -1;
  sccControl.loadSCC(&record);
  sccControl.resetCurrentSCPtr();  // also after a row without values, which loadSCC refuses
  for (CTDLProperty* property : currentTemplate->m_properties) {
    if (processPropertyFromMemory(property, cursor) != 0) return -1;
  }
  return 0;
}

int32_t CTEDSInfo::processPropertyFromMemory(CTDLProperty* property, int32_t& cursor) {
  if (property == nullptr) return 0;
  if (property->getPropertyType() == PT_SELECTCASE) {
    auto* selectCase = static_cast<CTDLSelectCase*>(property);
    if (isUserChosenSelectCase(selectCase)) return processUserChosenSelectCase(selectCase, cursor);
    return processSelectCaseField(selectCase, cursor);
  }
  std::memset(property->m_rawData, 0, kClearedRawBytes);
  int32_t n = property->getBitWidth();
  if (n == -1) {  // open length: the rest of the template data, as user data
    n = kTedsTemplateDataEndBit - cursor;
    property->setType(PT_USER);
    property->setAccess("USR");
  }
  if (property->getPropertyType() == PT_USER) {
    readUserData(property, n, cursor);
  } else {
    readRaw(memoryData, cursor, *property, n);
  }
  dorvia::rawToValue(*property);
  return 0;
}

void CTEDSInfo::readUserData(CTDLProperty* property, int32_t n, int32_t& cursor) {
  const int32_t start = cursor;
  const uint32_t mark = dorvia::readBitField(memoryData, kUserDataMarkBits, cursor);
  if (mark == kEndWithoutUserData && zerosToTheEnd(memoryData, cursor)) {
    // The end selector alone and nothing after it, not even the bit that announces text:
    // there is no user data, and those two bits are no character of it.
    cursor = start + kSelectorBits;
    return;
  }
  if (mark != kUserDataMark) {
    cursor = start;
    readRaw(memoryData, cursor, *property, n);
    return;
  }
  // 7-bit characters up to and including a 0; past the template data a 0 ends the text.
  for (size_t i = 0; i < sizeof property->m_rawData; ++i) {
    const bool inside = cursor < kTedsTemplateDataEndBit && i + 1 < sizeof property->m_rawData;
    const uint32_t c = inside ? dorvia::readBitField(memoryData, kUserCharacterBits, cursor) : 0;
    property->m_rawData[i] = static_cast<uint8_t>(c);
    if (c == 0) return;
  }
}

int32_t CTEDSInfo::processSelectCaseField(CTDLSelectCase* selectCase, int32_t& cursor) {
  dorvia::setRawInteger(*selectCase, 0);
  readRaw(memoryData, cursor, *selectCase, selectCase->getBitWidth());
  const int32_t v = dorvia::rawInteger(*selectCase);
  sccControl.setCurrentSCValue(v);
  CTDLCase* chosen = caseAt(selectCase, v);
  if (chosen == nullptr) return -1;  // a value without a case: the image does not fit the template
  return processCaseField(chosen, cursor);
}

int32_t CTEDSInfo::processCaseField(CTDLCase* theCase, int32_t& cursor) {
  for (CTDLProperty* property : theCase->m_properties) {
    if (processPropertyFromMemory(property, cursor) != 0) return -1;
  }
  return 0;
}

int32_t CTEDSInfo::processUserChosenSelectCase(CTDLSelectCase* selectCase, int32_t& cursor) {
  dorvia::setRawInteger(*selectCase, 0);
  readRaw(memoryData, cursor, *selectCase, selectCase->getBitWidth());
  const int32_t v = dorvia::rawInteger(*selectCase);
  sccControl.setCurrentSCValue(v);
  selectCase->m_value.i = v;
  CTDLCase* chosen = caseAt(selectCase, v);
  if (chosen == nullptr) return -1;
  // The case's properties are plain fields here, nested select cases included.
  for (CTDLProperty* property : chosen->m_properties) {
    if (property == nullptr) continue;
    dorvia::setRawInteger(*property, 0);
    readRaw(memoryData, cursor, *property, property->getBitWidth());
    property->m_value.i = dorvia::rawInteger(*property);
    dorvia::caseItemRawToValue(*property);
  }
  return 0;
}
