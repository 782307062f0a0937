// CTEDSInfo: the TDL engine of libdorvia. It holds one TEDS as its two raw images
// (the 64-bit application register with the Basic TEDS, and the memory image with
// checksum, selector, template ID and template data), the TDL template collections
// it has loaded, the template in use and the select-case values, and turns the
// images into a field array and a template into an empty field array.
//
// The data members are public and their order is part of the binary interface. The
// object owns its collections and cannot be copied.
#ifndef TEDSKIT_TEDSINFO_HPP
#define TEDSKIT_TEDSINFO_HPP

#include <cstdint>
#include <vector>

#include "tedskit/export.h"
#include "tedskit/orlin.hpp"
#include "tedskit/records.h"

inline constexpr int32_t kTedsAppregSize = 8;
inline constexpr int32_t kTedsMemorySize = 2568;
// Template data may use bit positions up to this one (the first 2560 bytes).
inline constexpr int32_t kTedsTemplateDataEndBit = 20480;
inline constexpr int32_t kTedsMaxCaseInfo = 16;

// The five Basic TEDS numbers, as last read by CreateTEDSInfoFromData.
struct TedsBasicNumbers {
  int32_t manufacturerID;
  int32_t modelNumber;
  int32_t versionLetter;  // index into the 5-bit alphabet
  int32_t versionNumber;
  int32_t serialNumber;
};

class TEDSKIT_EXPORT CTEDSInfo {
 public:
  // Per listed select case: its description and those of its cases 0 and 1. The texts
  // belong to the template model.
  const char* caseInfo[kTedsMaxCaseInfo][3];
  CSCcontrol sccControl;
  int32_t numCaseInfo;
  bool structureValid;
  char oldTemplateFilename[255];
  std::vector<CTDLTemplateCollection*> templateCollections;
  TedsBasicNumbers basicTEDS;
  CTDLTemplate* currentTemplate;
  uint8_t appregData[kTedsAppregSize];
  uint8_t memoryData[kTedsMemorySize];
  // Properties in field-array order: item i (i >= 5) is entry i - 5. Not owned.
  std::vector<CTDLProperty*> fsPropertyList;

  CTEDSInfo();
  ~CTEDSInfo();
  CTEDSInfo(const CTEDSInfo&) = delete;
  CTEDSInfo& operator=(const CTEDSInfo&) = delete;

  // --- images and Basic TEDS ---
  void setAppregData(const uint8_t* data);  // exactly 8 bytes
  void getAppregData(uint8_t* data);
  void setMemoryData(const uint8_t* data);  // exactly 2568 bytes
  void getMemoryData(uint8_t* data);
  bool IsStructureValid();
  int32_t setOLDTemplateFilename(const char* name);
  CTDLTemplate* getCurrentTemplate();
  sccontrolstruct* GetSCCObj();
  bool SetSCCObj(const sccontrolstruct* scc);
  bool ValidateAsTEDSV1_0();
  int32_t CreateFromTEDSV1_0Image();
  // The five Basic TEDS rows of the array from appregData, and back.
  void readBasicTEDSToArray(TEDSTemplateFieldArrayStruct* array);
  void writeBasicTEDSFromArray(TEDSTemplateFieldArrayStruct* array);

  // --- loading templates and decoding ---
  int32_t CreateTemplateStructure(const char* path, int32_t unused1, int32_t unused2);
  int32_t GetTemplateFilesHeld();
  int32_t GetTemplatesHeld(int32_t collection);
  CTDLTemplateCollection* GetTemplateCollection(int32_t unused);
  // fromImage true decodes the held images into array; false lays array out, without
  // values, for the template named by array->templateID. 0, or -1 when no template
  // (or no select-case row for it) is found or the image does not fit its template.
  int32_t CreateTEDSTemplateFieldArrayStruct(TEDSTemplateFieldArrayStruct* array, bool fromImage);
  int32_t CreateTEDSInfoFromData();

  // --- encoding ---
  // Takes the array's values into the current template's properties and rebuilds both
  // images from them. 0; -1 when there is no template to encode with (none chosen yet,
  // or an old template number whose template is not loaded); -53 for an array that was
  // never filled (its validMarker is not set). Nothing is written on a failure.
  int32_t CreateFromTEDSTemplateFieldArrayStruct(TEDSTemplateFieldArrayStruct* array);
  // Rebuilds memoryData from the properties' raw bits and the select-case values,
  // ending with the checksum. 0, or -1 without a current template.
  int32_t CreateTEDSV1_0Image();

  // --- template selection and select cases ---
  int32_t getMatchingOldTemplateID();
  int32_t GetAlternateTemplate(int32_t n);
  int32_t SetWhichNBSC(int itemIndex, int caseIndex);
  int32_t getSCInformation();
  // The caller's buffers must hold the texts; -1 for a row not in use.
  int32_t getCaseInfo(int i, char* description, char* case0, char* case1);

  // --- field-array layout ---
  void InitializeFieldStructFromTemplate(TEDSTemplateFieldArrayStruct* array);
  void AddItemtoStruct(TEDSTemplateFieldArrayStruct* array, CTDLProperty* property);
  bool FindStringinStruct(TEDSTemplateFieldArrayStruct* array, const char* label);
  void clearFSPropertyList();
  void addToFSPropertyList(CTDLProperty* property);
  CTDLProperty* getPropertyByIndex(int32_t i);
  int32_t traverseFSPropertyList();

 private:
  // value conversion between properties and items
  fielddataholder getVLMTEDSValue(CTDLProperty* property, TEDSTemplateFieldArrayStruct* array);
  int32_t setVLMTEDSValue(void* value, CTDLProperty* property, TEDSTemplateFieldArrayStruct* array);
  int32_t setVLMTEDSValue_2(void* value, CTDLProperty* property, TEDSTemplateFieldArrayStruct* array);

  // template selection
  bool findFirstMatchingSCC(int32_t templateID, sccontrolstruct* out);
  int32_t findMatchingOldTemplate(int32_t templateID, const sccontrolstruct* scc);
  void processPropertyListForSC(const std::vector<CTDLProperty*>& list);
  bool isUserChosenSelectCase(CTDLProperty* property);
  int32_t layoutTemplateOnly(TEDSTemplateFieldArrayStruct* array);
  // Frees the case enumerations the layout gave to user-chosen select cases.
  void releaseCaseEnumerations();
  CTDLTemplate* findTemplateInFirstCollection(int32_t templateID);

  // layout and filling
  void addBasicItem(TEDSTemplateFieldArrayStruct* array, const char* label, int32_t code, int32_t width,
                    const char* defaultText);
  void processTpropforlabel(CTDLProperty* property, TEDSTemplateFieldArrayStruct* array);
  void fillFieldStructFromFields(TEDSTemplateFieldArrayStruct* array);
  void fillPropertyList(const std::vector<CTDLProperty*>& list, TEDSTemplateFieldArrayStruct* array);
  void fillUserChosenSelectCase(CTDLSelectCase* selectCase, TEDSTemplateFieldArrayStruct* array);

  // decoding
  // The shared first steps of both decodes: template, select-case row, properties.
  int32_t decodeImage(int32_t templateID);
  int32_t processPropertyFromMemory(CTDLProperty* property, int32_t& cursor);
  int32_t processSelectCaseField(CTDLSelectCase* selectCase, int32_t& cursor);
  int32_t processCaseField(CTDLCase* theCase, int32_t& cursor);
  int32_t processUserChosenSelectCase(CTDLSelectCase* selectCase, int32_t& cursor);
  void readUserData(CTDLProperty* property, int32_t n, int32_t& cursor);

  // encoding: from the array into the properties
  int32_t processSelectCaseFieldarray(CTDLSelectCase* selectCase, TEDSTemplateFieldArrayStruct* array);
  void processCaseFieldArray(CTDLCase* theCase, TEDSTemplateFieldArrayStruct* array);
  void readUserChosenSelectCase(CTDLSelectCase* selectCase, TEDSTemplateFieldArrayStruct* array);
  // encoding: from the properties into memoryData
  void writeSelectCaseField(CTDLSelectCase* selectCase, int32_t& cursor);
  void writeCaseField(CTDLCase* theCase, int32_t& cursor);
  void writeUserChosenSelectCase(CTDLSelectCase* selectCase, int32_t& cursor);
  void writeUserData(CTDLProperty* property, int32_t& cursor);
};

// --- V1.0 support --------------------------------------------------------------------
// The one V1.0 engine of the process, created by the first switch to the V1.0 state
// (DORVIA_SetTEDSV10SupportState(1)); null until then.
TEDSKIT_BEGIN_C
extern TEDSKIT_EXPORT CTEDSInfo* gTedsinfoptr;
TEDSKIT_END_C

#endif
