/* libdorvia: the TEDS engine. Decodes raw TEDS images into template form text and
 * encodes form text back into images, converts between form text and field arrays,
 * and reads and changes single fields of a field array by label.
 *
 * Texts and images returned by pointer belong to the library and stay valid until the
 * next call of the same function. Field arrays are allocated by the caller. */
#ifndef TEDSKIT_DORVIA_H
#define TEDSKIT_DORVIA_H

#include <stdint.h>

#include "tedskit/export.h"
#include "tedskit/records.h"

#define DORVIA_API TEDSKIT_EXPORT

/* Result codes. */
#define DORVIA_ERR_MISSING_ARGUMENT (-739)
#define DORVIA_ERR_FILE_NOT_OPENED (-11)
#define DORVIA_ERR_TEMPLATE_NOT_FOUND (-12)
#define DORVIA_ERR_BUFFER_TOO_SMALL (-21)
#define DORVIA_ERR_NOT_FILLED (-53)
#define DORVIA_ERR_LABEL_NOT_FOUND (-894)
#define DORVIA_ERR_NOT_THREE_PARTS (-83)

/* Value types of the generic field accessors. */
enum DorviaValueType {
  DORVIA_VALUE_CHAR = 0,
  DORVIA_VALUE_INT32 = 1,
  DORVIA_VALUE_INT16 = 2,
  DORVIA_VALUE_FLOAT = 3,
  DORVIA_VALUE_DOUBLE = 4,
  DORVIA_VALUE_TEXT = 5,
  DORVIA_VALUE_UINT16 = 6,
  DORVIA_VALUE_UINT32 = 7,
  DORVIA_VALUE_CHAR_ALT = 8
};

TEDSKIT_BEGIN_C

/* 0: conversions use the description engine (template description files);
 * 1: they use the V1.0 (TDL) engine. */
extern DORVIA_API int32_t gTedsV10SupportState;

/* --- Raw image <-> template form text --------------------------------------------- */

/* memory: 80 hex digits (byteForm 0) or 513 bytes (byteForm != 0);
 * appRegister: 16 hex digits or 8 bytes. Returns 0 (standard template), 1 (manufacturer's
 * template) or a failure code. */
DORVIA_API int32_t DORVIA_DecodeRawTEDSToTemplateForm(const char* templateDir, const void* memory,
                                                      const void* appRegister, int32_t byteForm,
                                                      const char** formText, int32_t* valid);

/* Returns the 128-byte image (byteForm != 0) or 64 hex digits of its first 32 bytes. */
DORVIA_API int32_t DORVIA_EncodeTemplateFormToRawTEDS(const char* formText, const char** image,
                                                      int32_t byteForm);

/* --- Template form text <-> field array ------------------------------------------- */

DORVIA_API int32_t DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(const char* formText,
                                                                      TEDSTemplateFieldArrayStruct* array,
                                                                      int32_t withValues);
DORVIA_API int32_t DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(TEDSTemplateFieldArrayStruct* array,
                                                                      char* text, int32_t size);
/* kind: 0 standard, 1 manufacturer, 3 LMS; manufacturerID is not used. */
DORVIA_API int32_t DORVIA_SetTEDSFieldArrayStructToTemplate(const char* descriptionPath, int32_t templateID,
                                                            int32_t kind, int32_t manufacturerID,
                                                            TEDSTemplateFieldArrayStruct* array);

/* --- Generic field access ---------------------------------------------------------- */

DORVIA_API int32_t DORVIA_GetIndexFromTemplateFieldArray(const TEDSTemplateFieldArrayStruct* array,
                                                         const char* label);
/* size is used by the text type only. */
DORVIA_API int32_t DORVIA_GetTEDSDataFromTemplateFieldArray(const TEDSTemplateFieldArrayStruct* array,
                                                            const char* label, int32_t type, void* value,
                                                            int32_t size);
DORVIA_API int32_t DORVIA_SetTEDSDataToTemplateFieldArray(TEDSTemplateFieldArrayStruct* array,
                                                          const char* label, int32_t type, const void* value);

DORVIA_API int32_t DORVIA_GetTEDSTemplateName(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                              int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSTemplateIndex(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API int32_t DORVIA_GetTEDSAbstractStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                             int32_t size);

/* --- Manufacturer ------------------------------------------------------------------ */

DORVIA_API int32_t DORVIA_GetTEDSManufacturerIndex(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API int32_t DORVIA_GetTEDSManufacturerStr(const TEDSTemplateFieldArrayStruct* array,
                                                 const char* templateDir, char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_ConvertTEDSManufactureIndexToString(const char* templateDir, int32_t manufacturerID,
                                                              char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_SetTEDSManufacturerIndex(TEDSTemplateFieldArrayStruct* array,
                                                   int32_t manufacturerID);
DORVIA_API int32_t DORVIA_SetTEDSManufacturerStr(TEDSTemplateFieldArrayStruct* array, const char* templateDir,
                                                 const char* name);

/* --- Named text fields --------------------------------------------------------------- */

DORVIA_API int32_t DORVIA_GetTEDSModelNumberStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                                int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSVersionLetterStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                                  int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSVersionNumberStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                                  int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSSerialNumberStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                                 int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSCalibrationDateStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                                    int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSSensitivityStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                                int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSUserDataStr(const TEDSTemplateFieldArrayStruct* array, char* buffer,
                                             int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSModelStr(const TEDSTemplateFieldArrayStruct* array, char separator,
                                          char* buffer, int32_t size);

DORVIA_API int32_t DORVIA_SetTEDSModelNumberStr(TEDSTemplateFieldArrayStruct* array, const char* text);
DORVIA_API int32_t DORVIA_SetTEDSVersionLetterStr(TEDSTemplateFieldArrayStruct* array, const char* text);
DORVIA_API int32_t DORVIA_SetTEDSVersionNumberStr(TEDSTemplateFieldArrayStruct* array, const char* text);
DORVIA_API int32_t DORVIA_SetTEDSSerialNumberStr(TEDSTemplateFieldArrayStruct* array, const char* text);
DORVIA_API int32_t DORVIA_SetTEDSCalibrationDateStr(TEDSTemplateFieldArrayStruct* array, const char* text);
DORVIA_API int32_t DORVIA_SetTEDSSensitivityStr(TEDSTemplateFieldArrayStruct* array, const char* text);
DORVIA_API int32_t DORVIA_SetTEDSUserDataStr(TEDSTemplateFieldArrayStruct* array, const char* text);
DORVIA_API int32_t DORVIA_SetTEDSModelStr(TEDSTemplateFieldArrayStruct* array, const char* text);

/* --- Calibration date as calendar time (seconds) ------------------------------------ */

DORVIA_API int64_t DORVIA_GetTEDSCalibrationDateTimeT(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API int32_t DORVIA_SetTEDSCalibrationDateTimeT(TEDSTemplateFieldArrayStruct* array,
                                                      int64_t calendarTime);

/* --- Named numeric fields (a failure comes back as the code converted to float) ------ */

DORVIA_API float DORVIA_GetTEDSSensitivity(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API float DORVIA_GetTEDSFreqReference(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API float DORVIA_GetTEDSFreqHPElectrical(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API int32_t DORVIA_GetTEDSSensitivityDirection(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API int32_t DORVIA_GetTEDSPhaseInversionID(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API int32_t DORVIA_GetTEDSMeasPosID(const TEDSTemplateFieldArrayStruct* array);

DORVIA_API int32_t DORVIA_SetTEDSSensitivity(TEDSTemplateFieldArrayStruct* array, float value);
DORVIA_API int32_t DORVIA_SetTEDSFreqReference(TEDSTemplateFieldArrayStruct* array, float value);
DORVIA_API int32_t DORVIA_SetTEDSFreqHPElectrical(TEDSTemplateFieldArrayStruct* array, float value);
DORVIA_API int32_t DORVIA_SetTEDSSensitivityDirection(TEDSTemplateFieldArrayStruct* array, int32_t value);
DORVIA_API int32_t DORVIA_SetTEDSPhaseInversionID(TEDSTemplateFieldArrayStruct* array, int32_t value);
DORVIA_API int32_t DORVIA_SetTEDSMeasPosID(TEDSTemplateFieldArrayStruct* array, int32_t value);

/* --- V1.0 (TDL) engine --------------------------------------------------------------
 * The engine is created, and "ieee_temp_v10.tdl" (opened relative to the current
 * directory) loaded, by the first DORVIA_SetTEDSV10SupportState(1). Every function of
 * this block except the first three needs it: without it they give -1, 0 or "". */

/* 1: switch to the V1.0 engine; 0, or the negative result of loading its templates.
 * Anything else: back to the description engine; the description-engine template that
 * matches the engine's current template, or -1 (no engine, or no match). */
DORVIA_API int32_t DORVIA_SetTEDSV10SupportState(int32_t state);
/* Creates the engine and loads its templates once; 0 when it is already there. */
DORVIA_API int32_t initTEDSV10Support(void);
/* The value of gTedsV10SupportState. */
DORVIA_API int32_t getTEDSCurrentFormat(void);

/* Decodes the engine's images into array. 0, or -1 (no template for the image). */
DORVIA_API int32_t DORVIA_FormatTEDSV10FromRaw(TEDSTemplateFieldArrayStruct* array);
/* Lays array out, without values, for the template named by array->templateID (an old
 * template number 0 to 24, or a template ID). 0, or -1 (no such template). */
DORVIA_API int32_t DORVIA_FormatTEDSV10FromTemplateOnly(TEDSTemplateFieldArrayStruct* array);
/* Encodes array into the engine's images. 0; -1 (no template to encode with); -53
 * (array never filled). */
DORVIA_API int32_t DORVIA_FormatTEDSV10FromFieldArray(TEDSTemplateFieldArrayStruct* array);

/* appRegister: 8 bytes; memory: 2568 bytes. 0, or -1 without a loaded engine. */
DORVIA_API int32_t setV10APPandMemory(const uint8_t* appRegister, const uint8_t* memory);
DORVIA_API int32_t getV10APPandMemory(uint8_t* appRegister, uint8_t* memory);
DORVIA_API int32_t setOldFilenameForV10(const char* path);

/* Templates of the engine's first template file: how many, and the name (cut to fit
 * 256 bytes) and template ID of one. getTemplateItem gives -1 for an index not held. */
DORVIA_API int32_t getCurrentTemplates(void);
DORVIA_API int32_t getTemplateItem(int32_t index, char* name, int32_t* templateID);
/* 0 to 24: the template ID of that old template number (-1 for none); from 25 on: 1
 * when the template ID can be decoded, else -1. */
DORVIA_API int32_t DORVIA_GetAlternateTemplate(int32_t templateID);
/* Chooses case `state` of the user-chosen select case at field index selectCaseIndex;
 * 1 when that choice is in force, 0 when refused. Lay the array out again afterwards. */
DORVIA_API int32_t DORVIA_SetTemplateState(int32_t selectCaseIndex, int32_t state);

/* The engine's select-case values: 1, or 0 (with count 0) when it holds none. */
DORVIA_API int32_t getTemplateSCC(sccontrolstruct* scc);
/* 1 when the record (count 1 to 16) was taken, else 0. */
DORVIA_API int32_t setTemplateSCC(const sccontrolstruct* scc);
/* Rows of the select-case table of the current template, and one row's three texts
 * (description, case 0, case 1; each buffer must hold 256 bytes): 0, or -1. */
DORVIA_API int32_t getSCCStructure(void);
DORVIA_API int32_t getSCCData(int32_t index, char* description, char* case0, char* case1);

/* Enumeration of the property at field index k (5 is the first template field): its
 * number of enumerates, one enumerate, its description. 0 or "" for a field that is
 * not an enumeration, an index below 5 or past the fields. Texts belong to the engine. */
DORVIA_API int32_t DORVIA_getEnumerationCount(int32_t fieldIndex);
DORVIA_API const char* DORVIA_getIndexedEnumeration(int32_t fieldIndex, int32_t enumerate);
DORVIA_API const char* DORVIA_getEnumerationDescription(int32_t fieldIndex);

TEDSKIT_END_C

#endif
