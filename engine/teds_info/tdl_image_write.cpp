// CTEDSInfo: writing memoryData from the properties. Checksum byte, selector and
// template ID come first, then the properties in template order, each select case as
// its selector bits followed by the properties of its case, and the checksum last.
// Bits that would fall past memoryData are dropped.
#include <algorithm>
#include <cstring>
#include <span>
#include <string>

#include "teds_info/tdl_bits.h"
#include "tedskit/tedsinfo.hpp"
#include "teds_info/template_map.h"
#include "teds_info/tdl_image_layout.h"
#include "teds_info/value_conversion.h"

namespace {

using namespace tdl_image;

constexpr size_t kUserTextLimit = 31;  // what a value text keeps when it becomes raw bits

// Writes n bits of the property's raw buffer, from its bit 0, at the cursor.
void writeRaw(CTDLProperty& property, int64_t n, int32_t& cursor, std::span<uint8_t> image) {
  int32_t rawCursor = 0;
  dorvia::copyBits(property.m_rawData, rawCursor, image, cursor, n);
}

CTDLCase* caseAt(CTDLSelectCase* selectCase, int32_t v) {
  if (v < 0 || static_cast<size_t>(v) >= selectCase->m_cases.size()) return nullptr;
  return selectCase->m_cases[static_cast<size_t>(v)];
}

// Open length: the property becomes user data, whatever its label said.
void makeUserData(CTDLProperty& property) {
  property.setType(PT_USER);
  property.setAccess("USR");
}

}  // namespace

int32_t CTEDSInfo::CreateTEDSV1_0Image() {
  if (currentTemplate == nullptr) return -1;
  std::memset(memoryData, 0, sizeof memoryData);
  sccControl.resetCurrentSCPtr();

  uint32_t selector = 0;
  auto writtenID = static_cast<uint32_t>(currentTemplate->m_templateID);
  if (currentTemplate->m_templateID == dorvia::kMtsTemplateID) {
    selector = kMtsSelector;
    writtenID = kMtsStoredID;
  }
  int32_t cursor = kSelectorStartBit;
  dorvia::writeBitField(selector, kSelectorBits, cursor, memoryData);
  dorvia::writeBitField(writtenID, currentTemplate->m_idBitWidth, cursor, memoryData);
  cursor = kTemplateDataStartBit;

  for (CTDLProperty* property : currentTemplate->m_properties) {
    if (property == nullptr) continue;
    if (property->getPropertyType() == PT_SELECTCASE) {
      auto* selectCase = static_cast<CTDLSelectCase*>(property);
      if (isUserChosenSelectCase(selectCase)) {
        writeUserChosenSelectCase(selectCase, cursor);
      } else {
        writeSelectCaseField(selectCase, cursor);
      }
    } else if (property->getBitWidth() == -1) {
      makeUserData(*property);
      writeUserData(property, cursor);
    } else {
      writeRaw(*property, property->getBitWidth(), cursor, memoryData);
    }
  }
  memoryData[0] = dorvia::imageChecksum(std::span<const uint8_t, kTedsAppregSize>(appregData), memoryData);
  return 0;
}

void CTEDSInfo::writeSelectCaseField(CTDLSelectCase* selectCase, int32_t& cursor) {
  const int32_t v = sccControl.getCurrentSCValue();
  // Without a value the select case cannot be written: it is left out with its branch.
  if (v == ORLIN_SC_NO_VALUE) return;
  dorvia::writeBitField(static_cast<uint32_t>(v), selectCase->getBitWidth(), cursor, memoryData);
  CTDLCase* chosen = caseAt(selectCase, v);
  if (chosen != nullptr) writeCaseField(chosen, cursor);
}

void CTEDSInfo::writeCaseField(CTDLCase* theCase, int32_t& cursor) {
  for (CTDLProperty* property : theCase->m_properties) {
    if (property == nullptr) continue;
    if (property->getPropertyType() == PT_SELECTCASE) {
      writeSelectCaseField(static_cast<CTDLSelectCase*>(property), cursor);
      continue;
    }
    const fielddataholder value = property->m_value;
    dorvia::valueToRaw(value, *property);
    if (property->getBitWidth() == -1) {
      // Written like open-length user data anywhere else (mark, 7-bit text, 0), so
      // that decoding, which looks for the mark, reads the same text back.
      makeUserData(*property);
      writeUserData(property, cursor);
    } else {
      writeRaw(*property, property->getBitWidth(), cursor, memoryData);
    }
  }
}

void CTEDSInfo::writeUserChosenSelectCase(CTDLSelectCase* selectCase, int32_t& cursor) {
  sccControl.getCurrentSCValue();  // its value was stored when the array was read
  const int32_t v = dorvia::rawInteger(*selectCase);
  writeRaw(*selectCase, selectCase->getBitWidth(), cursor, memoryData);
  CTDLCase* chosen = caseAt(selectCase, v);
  if (chosen == nullptr) return;
  for (CTDLProperty* property : chosen->m_properties) {
    if (property == nullptr) continue;
    const int64_t n = std::min<int64_t>(property->getBitWidth(), int64_t{kTedsTemplateDataEndBit} - cursor);
    if (n > 0) writeRaw(*property, n, cursor, memoryData);
  }
}

void CTEDSInfo::writeUserData(CTDLProperty* property, int32_t& cursor) {
  dorvia::writeBitField(kUserDataMark, kUserDataMarkBits, cursor, memoryData);
  const std::string text = dorvia::holderText(property->m_value).substr(0, kUserTextLimit);
  // Each character, and the terminating 0, only while it fits in the template data.
  for (size_t i = 0; i <= text.size(); ++i) {
    if (cursor + kUserCharacterBits > kTedsTemplateDataEndBit) return;
    const auto c = i < text.size() ? static_cast<uint8_t>(text[i]) : uint8_t{0};
    dorvia::writeBitField(c, kUserCharacterBits, cursor, memoryData);
  }
}
