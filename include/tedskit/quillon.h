/* libquillon: the one interface through which applications decode, edit and encode
 * TEDS of every kind. Standard and manufacturer templates go to the engine (dorvia),
 * the two LMS user templates to the LMS library (pellam); the front end tries both on
 * every image it decodes and dispatches form texts and field arrays by template.
 *
 * Texts and images it returns by pointer, and the (ID, name) lists, belong to the
 * library: callers never free them. Result buffers stay valid until the library is
 * unloaded, except that once 2048 are out each new one replaces the newest. A list
 * stays valid until the next call that fills the same list. Process-wide state, not
 * guarded: call from one thread at a time. */
#ifndef TEDSKIT_QUILLON_H
#define TEDSKIT_QUILLON_H

#include <stdint.h>

#include "tedskit/export.h"
#include "tedskit/records.h"

#define QUILLON_API TEDSKIT_EXPORT

/* Template kinds of a TaggedFieldArray. */
#define QUILLON_KIND_STANDARD 0
#define QUILLON_KIND_MANUFACTURER 1
#define QUILLON_KIND_LMS 3

/* Result codes of the front end's own; all others come from the engine or pellam. */
#define QUILLON_ERR_NOT_DECODED (-1)
#define QUILLON_ERR_BAD_LIST_KIND (-13)
#define QUILLON_ERR_BUFFER_TOO_SMALL (-21)
#define QUILLON_ERR_FILE_NOT_OPENED (-69)
#define QUILLON_ERR_MISSING_ARGUMENT (-739)

/* The result buffer table: this many buffers are kept at once. */
#define QUILLON_RESULT_BUFFERS 2048

TEDSKIT_BEGIN_C

/* Decodes a raw TEDS with the engine and tries the LMS decoders on the same memory.
 * memory and appRegister are hex text (byteForm 0) or bytes, as the engine takes them.
 * Returns 0 when the engine decoded a standard image and no LMS template was found, or
 * when only an LMS decoder recognised it (the form text is then its LMS name); 1 when
 * both did (with lmsName nonzero the form text is the LMS name); -1 when neither did;
 * -739 when a pointer is missing. */
QUILLON_API int32_t QUILLON_DecodeRAWTedsToTemplateForm(const char* templateDir, const void* memory,
                                                        const void* appRegister, int32_t byteForm,
                                                        const char** formText, int32_t* valid,
                                                        int32_t lmsName);

/* Encodes a form text: "LMS Free" and "LMS Geometry" from the LMS states (32 bytes, or
 * 64 hex digits when byteForm is 0), anything else through the engine. */
QUILLON_API int32_t QUILLON_EncodeTemplateFormToRawTEDS(const char* formText, const char** image,
                                                        int32_t byteForm);

/* Form text into a tagged field array; sets its kind. */
QUILLON_API int32_t QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(const char* formText,
                                                                        TaggedFieldArray* array,
                                                                        int32_t withValues);

/* Tagged field array back into form text (size bytes at text). */
QUILLON_API int32_t QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(TaggedFieldArray* array, char* text,
                                                                        int32_t size);

/* Lays the array out for a template without values: kind 0 from the standard
 * description file of templateDir, 1 from manufacturerID's file, 3 for the LMS
 * templates 117 and 118. The array's kind is left as it was. */
QUILLON_API int32_t QUILLON_SetTEDSTemplate(TaggedFieldArray* array, const char* templateDir, int32_t kind,
                                            int32_t templateID, int32_t manufacturerID);

/* Fills the template list for a kind (0, 1 with manufacturerID, 3) and points *first
 * at its first node. Returns the number of templates, -69 when the description file
 * cannot be opened, -13 for another kind. In the V1.0 state every kind but 3 lists the
 * engine's templates, after a first node that stays empty (ID -1). */
QUILLON_API int32_t QUILLON_GetTemplateIDNames(const char* templateDir, int32_t kind, int32_t manufacturerID,
                                               IDNameNode** first);

/* Fills the manufacturer list from "Manufacture.txt" of templateDir, leaving out the
 * reserved IDs up to 16 and 2047. Returns the number listed or -69. */
QUILLON_API int32_t QUILLON_GetManufacturerNameLookupTable(const char* templateDir, IDNameNode** first);

/* Pass-throughs to the engine. */
QUILLON_API int32_t QUILLON_ConvertTEDSManufactureIndexToString(const char* templateDir,
                                                                int32_t manufacturerID, char* buffer,
                                                                int32_t size);
QUILLON_API int32_t QUILLON_GetTEDSManufacturerStr(const TaggedFieldArray* array, const char* templateDir,
                                                   char* buffer, int32_t size);
QUILLON_API int32_t QUILLON_GetTEDSTemplateName(const TaggedFieldArray* array, char* buffer, int32_t size);
QUILLON_API int32_t QUILLON_SetTEDSUserDataStr(TaggedFieldArray* array, const char* text);

/* The engine's V1.0 state: 1 switches to the V1.0 (TDL) engine, anything else back to
 * the description engine; results as DORVIA_SetTEDSV10SupportState. */
QUILLON_API int32_t QUILLON_SetTEDSV10SupportState(int32_t supportState);

/* Enumeration lookups of the V1.0 engine by field index (5 is the first template
 * field), as the DORVIA_ functions of the same names; texts belong to the engine. */
QUILLON_API int32_t QUILLON_getEnumerationCount(int32_t fieldIndex);
QUILLON_API const char* QUILLON_getIndexedEnumeration(int32_t fieldIndex, int32_t enumerate);
QUILLON_API const char* QUILLON_getEnumerationDescription(int32_t fieldIndex);

TEDSKIT_END_C

#endif
