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

DORVIA_API int32_t DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(
    const char* formText, TEDSTemplateFieldArrayStruct* array, int32_t withValues);
DORVIA_API int32_t DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(
    TEDSTemplateFieldArrayStruct* array, char* text, int32_t size);
/* kind: 0 standard, 1 manufacturer, 3 LMS; manufacturerID is not used. */
DORVIA_API int32_t DORVIA_SetTEDSFieldArrayStructToTemplate(const char* descriptionPath,
                                                            int32_t templateID, int32_t kind,
                                                            int32_t manufacturerID,
                                                            TEDSTemplateFieldArrayStruct* array);

/* --- Generic field access ---------------------------------------------------------- */

DORVIA_API int32_t DORVIA_GetIndexFromTemplateFieldArray(const TEDSTemplateFieldArrayStruct* array,
                                                         const char* label);
/* size is used by the text type only. */
DORVIA_API int32_t DORVIA_GetTEDSDataFromTemplateFieldArray(
    const TEDSTemplateFieldArrayStruct* array, const char* label, int32_t type, void* value,
    int32_t size);
DORVIA_API int32_t DORVIA_SetTEDSDataToTemplateFieldArray(TEDSTemplateFieldArrayStruct* array,
                                                          const char* label, int32_t type,
                                                          const void* value);

DORVIA_API int32_t DORVIA_GetTEDSTemplateName(const TEDSTemplateFieldArrayStruct* array,
                                              char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSTemplateIndex(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API int32_t DORVIA_GetTEDSAbstractStr(const TEDSTemplateFieldArrayStruct* array,
                                             char* buffer, int32_t size);

/* --- Manufacturer ------------------------------------------------------------------ */

DORVIA_API int32_t DORVIA_GetTEDSManufacturerIndex(const TEDSTemplateFieldArrayStruct* array);
DORVIA_API int32_t DORVIA_GetTEDSManufacturerStr(const TEDSTemplateFieldArrayStruct* array,
                                                 const char* templateDir, char* buffer,
                                                 int32_t size);
DORVIA_API int32_t DORVIA_ConvertTEDSManufactureIndexToString(const char* templateDir,
                                                              int32_t manufacturerID, char* buffer,
                                                              int32_t size);
DORVIA_API int32_t DORVIA_SetTEDSManufacturerIndex(TEDSTemplateFieldArrayStruct* array,
                                                   int32_t manufacturerID);
DORVIA_API int32_t DORVIA_SetTEDSManufacturerStr(TEDSTemplateFieldArrayStruct* array,
                                                 const char* templateDir, const char* name);

/* --- Named text fields --------------------------------------------------------------- */

DORVIA_API int32_t DORVIA_GetTEDSModelNumberStr(const TEDSTemplateFieldArrayStruct* array,
                                                char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSVersionLetterStr(const TEDSTemplateFieldArrayStruct* array,
                                                  char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSVersionNumberStr(const TEDSTemplateFieldArrayStruct* array,
                                                  char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSSerialNumberStr(const TEDSTemplateFieldArrayStruct* array,
                                                 char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSCalibrationDateStr(const TEDSTemplateFieldArrayStruct* array,
                                                    char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSSensitivityStr(const TEDSTemplateFieldArrayStruct* array,
                                                char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSUserDataStr(const TEDSTemplateFieldArrayStruct* array,
                                             char* buffer, int32_t size);
DORVIA_API int32_t DORVIA_GetTEDSModelStr(const TEDSTemplateFieldArrayStruct* array,
                                          char separator, char* buffer, int32_t size);

DORVIA_API int32_t DORVIA_SetTEDSModelNumberStr(TEDSTemplateFieldArrayStruct* array,
                                                const char* text);
DORVIA_API int32_t DORVIA_SetTEDSVersionLetterStr(TEDSTemplateFieldArrayStruct* array,
                                                  const char* text);
DORVIA_API int32_t DORVIA_SetTEDSVersionNumberStr(TEDSTemplateFieldArrayStruct* array,
                                                  const char* text);
DORVIA_API int32_t DORVIA_SetTEDSSerialNumberStr(TEDSTemplateFieldArrayStruct* array,
                                                 const char* text);
DORVIA_API int32_t DORVIA_SetTEDSCalibrationDateStr(TEDSTemplateFieldArrayStruct* array,
                                                    const char* text);
DORVIA_API int32_t DORVIA_SetTEDSSensitivityStr(TEDSTemplateFieldArrayStruct* array,
                                                const char* text);
DORVIA_API int32_t DORVIA_SetTEDSUserDataStr(TEDSTemplateFieldArrayStruct* array,
                                             const char* text);
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
DORVIA_API int32_t DORVIA_SetTEDSFreqHPElectrical(TEDSTemplateFieldArrayStruct* array,
                                                  float value);
DORVIA_API int32_t DORVIA_SetTEDSSensitivityDirection(TEDSTemplateFieldArrayStruct* array,
                                                      int32_t value);
DORVIA_API int32_t DORVIA_SetTEDSPhaseInversionID(TEDSTemplateFieldArrayStruct* array,
                                                  int32_t value);
DORVIA_API int32_t DORVIA_SetTEDSMeasPosID(TEDSTemplateFieldArrayStruct* array, int32_t value);

TEDSKIT_END_C

#endif
