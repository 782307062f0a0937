// CTEDSInfo: lifecycle, the two images, the Basic TEDS and the loaded template files.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "base/fixed_field.h"
#include "teds_info/basic_teds.h"
#include "teds_info/tdl_bits.h"
#include "tedskit/dorvia.h"
#include "tedskit/tedsinfo.hpp"
#include "teds_info/template_map.h"
#include "teds_info/value_formulas.h"

namespace {

constexpr char kMtsTemplateFile[] = "MTS-SWIFT.tdl";

using RowGetter = int32_t (*)(const TEDSTemplateFieldArrayStruct*, char*, int32_t);

// A Basic TEDS row's text; a row that cannot be read gives "".
std::string rowText(TEDSTemplateFieldArrayStruct* array, RowGetter get) {
  char text[TEDS_VALUE_SIZE] = {};
  if (get(array, text, sizeof text) < 0 && text[0] == '\0') return {};
  return text;
}

// A row's text as a decimal number; a text that is no number is written as 0.
uint32_t rowNumber(TEDSTemplateFieldArrayStruct* array, RowGetter get) {
  return static_cast<uint32_t>(std::strtol(rowText(array, get).c_str(), nullptr, 10));
}

}  // namespace

CTEDSInfo::CTEDSInfo() : numCaseInfo(0), structureValid(false), currentTemplate(nullptr) {
  std::memset(caseInfo, 0, sizeof caseInfo);
  std::memset(oldTemplateFilename, 0, sizeof oldTemplateFilename);
  basicTEDS = TedsBasicNumbers{};
  std::memset(appregData, 0, sizeof appregData);
  std::memset(memoryData, 0, sizeof memoryData);
}

CTEDSInfo::~CTEDSInfo() {
  releaseCaseEnumerations();
  for (CTDLTemplateCollection* collection : templateCollections) delete collection;
}

void CTEDSInfo::setAppregData(const uint8_t* data) { std::memcpy(appregData, data, sizeof appregData); }
void CTEDSInfo::getAppregData(uint8_t* data) { std::memcpy(data, appregData, sizeof appregData); }
void CTEDSInfo::setMemoryData(const uint8_t* data) { std::memcpy(memoryData, data, sizeof memoryData); }
void CTEDSInfo::getMemoryData(uint8_t* data) { std::memcpy(data, memoryData, sizeof memoryData); }

bool CTEDSInfo::IsStructureValid() { return structureValid; }

int32_t CTEDSInfo::setOLDTemplateFilename(const char* name) {
  tedskit::base::copyToField(oldTemplateFilename, name);
  return 0;
}

CTDLTemplate* CTEDSInfo::getCurrentTemplate() { return currentTemplate; }

sccontrolstruct* CTEDSInfo::GetSCCObj() { return sccControl.getSCControl(); }

bool CTEDSInfo::SetSCCObj(const sccontrolstruct* scc) { return sccControl.loadSCC(scc); }

bool CTEDSInfo::ValidateAsTEDSV1_0() { return true; }

int32_t CTEDSInfo::CreateFromTEDSV1_0Image() { return 0; }

void CTEDSInfo::readBasicTEDSToArray(TEDSTemplateFieldArrayStruct* array) {
  const TedsBasicNumbers n = dorvia::readBasicNumbers(appregData);
  DORVIA_SetTEDSManufacturerIndex(array, n.manufacturerID);
  DORVIA_SetTEDSModelNumberStr(array, std::to_string(n.modelNumber).c_str());
  const char letter[2] = {dorvia::chr5Char(n.versionLetter & 31), '\0'};
  DORVIA_SetTEDSVersionLetterStr(array, letter);
  DORVIA_SetTEDSVersionNumberStr(array, std::to_string(n.versionNumber).c_str());
  DORVIA_SetTEDSSerialNumberStr(array, std::to_string(n.serialNumber).c_str());
}

void CTEDSInfo::writeBasicTEDSFromArray(TEDSTemplateFieldArrayStruct* array) {
  const std::span<uint8_t> image(appregData);
  int32_t cursor = 0;
  const int32_t manufacturer = DORVIA_GetTEDSManufacturerIndex(array);
  dorvia::writeBitField(static_cast<uint32_t>(manufacturer < 0 ? 0 : manufacturer), dorvia::kManufacturerBits,
                        cursor, image);
  dorvia::writeBitField(rowNumber(array, DORVIA_GetTEDSModelNumberStr), dorvia::kModelNumberBits, cursor,
                        image);
  const std::string letter = rowText(array, DORVIA_GetTEDSVersionLetterStr);
  dorvia::writeBitField(static_cast<uint32_t>(dorvia::chr5Index(letter.empty() ? '\0' : letter[0])),
                        dorvia::kVersionLetterBits, cursor, image);
  dorvia::writeBitField(rowNumber(array, DORVIA_GetTEDSVersionNumberStr), dorvia::kVersionNumberBits, cursor,
                        image);
  dorvia::writeBitField(rowNumber(array, DORVIA_GetTEDSSerialNumberStr), dorvia::kSerialNumberBits, cursor,
                        image);
}

int32_t CTEDSInfo::CreateTemplateStructure(const char* path, int32_t, int32_t) {
  const int32_t result = orlin(path);
  structureValid = result == 0;
  CTDLTemplateCollection* collection = getTDLCollection();
  if (collection == nullptr) return result;
  if (path != nullptr && strcasecmp(path, kMtsTemplateFile) == 0 && !collection->m_templates.empty()) {
    collection->m_templates.front()->m_firstNumber = 0;
    collection->m_templates.front()->m_templateID = dorvia::kMtsTemplateID;
  }
  // A collection that is already held (a parse that made none) is not taken twice.
  if (std::find(templateCollections.begin(), templateCollections.end(), collection) ==
      templateCollections.end())
    templateCollections.push_back(collection);
  return result;
}

int32_t CTEDSInfo::GetTemplateFilesHeld() { return static_cast<int32_t>(templateCollections.size()); }

int32_t CTEDSInfo::GetTemplatesHeld(int32_t collection) {
  if (collection < 0 || static_cast<size_t>(collection) >= templateCollections.size()) return 0;
  return static_cast<int32_t>(templateCollections[static_cast<size_t>(collection)]->m_templates.size());
}

CTDLTemplateCollection* CTEDSInfo::GetTemplateCollection(int32_t) {
  return templateCollections.empty() ? nullptr : templateCollections.front();
}

CTDLTemplate* CTEDSInfo::findTemplateInFirstCollection(int32_t templateID) {
  CTDLTemplateCollection* collection = GetTemplateCollection(0);
  return collection ? collection->findTemplate(templateID) : nullptr;
}
