/* calden: decoded TEDS records kept in memory under integer handles.
 *
 * A caller creates a handle, stores one record per sensor channel it has read (a full
 * copy of the field array with a template kind, a channel number and a unit number),
 * and retrieves the records by position. Handles are 0, 1, 2, ... in creation order;
 * they are never reused or removed while the library is loaded, and every record is
 * freed when its handle is cleared or the library is unloaded. The store is not
 * guarded: call from one thread at a time. */
#ifndef TEDSKIT_CALDEN_H
#define TEDSKIT_CALDEN_H

#include <stdint.h>

#include "tedskit/export.h"
#include "tedskit/records.h"

#define CALDEN_API TEDSKIT_EXPORT

/* Result codes; GetErrorCodeString gives their texts. */
#define CALDEN_SUCCESS 0
#define CALDEN_GENERAL_ERROR (-1)
#define CALDEN_FILE_MALFORMED (-2)
#define CALDEN_ITEM_NOT_FOUND (-10)
#define CALDEN_INVALID_HANDLE (-11)
#define CALDEN_FILE_NOT_FOUND (-12)
#define CALDEN_INVALID_PARAMETER (-13)

/* Template kinds a record is stored with (the front end's kinds). */
#define CALDEN_DESCRIPTOR_STANDARD 0
#define CALDEN_DESCRIPTOR_MANUFACTURER 1
#define CALDEN_DESCRIPTOR_LMS 3

/* Channel or unit number of a record that has none. */
#define CALDEN_NO_NUMBER (-1)

TEDSKIT_BEGIN_C

/* A new, empty handle; -1 when no memory is left for it. */
CALDEN_API int32_t CreateNewStoredDataStruct(void);

/* Appends a copy of *ptrData to the handle's records. 0, -11 for an unknown handle,
 * -13 for a null ptrData, -1 when no memory is left; nothing is stored on failure. */
CALDEN_API int32_t Calden(int32_t iHandle, int32_t iDescriptor, const TEDSTemplateFieldArrayStruct* ptrData,
                          int32_t iChannelNumber, int32_t iUnitNumber);

/* Copies the record at position iItemNumber (0 is the first stored) and its
 * descriptor, channel and unit numbers out. 0, -11 for an unknown handle, -13 for a
 * null output, -10 for a position outside the records; nothing is written on failure. */
CALDEN_API int32_t RetrieveTedsData(int32_t iHandle, int32_t iItemNumber,
                                    TEDSTemplateFieldArrayStruct* ptrData, int32_t* idescriptor,
                                    int32_t* iChannelNumber, int32_t* iUnitNumber);

/* The number of records the handle holds, or -11. */
CALDEN_API int32_t GetNumberOfSavedItems(int32_t iHandle);

/* Frees every record of the handle, which stays valid and empty. 0 or -11. */
CALDEN_API int32_t ClearStoredTedsDataStruct(int32_t iHandle);

/* Sets the character that separates values in record files written from now on.
 * 0, or -13 (the delimiter stays as it was) for a character that cannot separate
 * values: the character 0, a line end, a double quote, a digit or '-'. */
CALDEN_API int32_t ChangeDelimiter(char delim);

/* Copies the text of a result code into string as strncpy does: at most max_len
 * characters, the rest of max_len filled with NUL, and no terminator when the text
 * is max_len characters or longer. Codes without a text (-2 and unknown codes)
 * leave string untouched. */
CALDEN_API void GetErrorCodeString(int32_t error_code, char* string, int32_t max_len);

/* Record files: one block of text lines per record, values separated by the delimiter
 * (ChangeDelimiter). A block gives the record's template kind, template name and ID,
 * select-case values, and per item the label, value and units, with the channel and
 * unit numbers; everything else is rebuilt from the template when the file is read. */

/* Writes every record of the handle to szPath, replacing the file (append 0) or adding
 * to its end. With v10 1 every template line carries the count and values of scc.
 * Manufacturer IDs are written with their names from szManufactPath's manufacturer
 * list. 0; -11 for an unknown handle; -12 when the file cannot be written; -1 when a
 * record cannot be written (a descriptor other than 0, 1 or 3, a direction, sign or
 * geometry-selector value out of range, or a text holding a line end) or the write
 * fails. A save that fails leaves the file exactly as it was before. */
CALDEN_API int32_t SaveTEDSReadToFile(int32_t iHandle, const char* szPath, int32_t append,
                                      const char* szManufactPath, int32_t v10, sccontrolstruct scc);

/* Reads every block of szFile and stores one record per block under the handle, each
 * laid out by its template (TemplatePath: the directory of the description files)
 * and filled with the file's values. The delimiter is taken from the file. v10 and sccp
 * are not used. 0; -11 for an unknown handle (nothing is read); -12 when the file
 * cannot be opened; -2 when the file is malformed or a template cannot be laid out
 * (the blocks before it stay stored). */
CALDEN_API int32_t ReadTEDSDataFromFile(int32_t iHandle, const char* szFile, const char* TemplatePath,
                                        int32_t* v10, sccontrolstruct* sccp);

TEDSKIT_END_C

#endif
