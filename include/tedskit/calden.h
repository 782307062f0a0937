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
CALDEN_API int32_t RetrieveTedsData(int32_t iHandle, int32_t iItemNumber, TEDSTemplateFieldArrayStruct* ptrData,
                                    int32_t* idescriptor, int32_t* iChannelNumber, int32_t* iUnitNumber);

/* The number of records the handle holds, or -11. */
CALDEN_API int32_t GetNumberOfSavedItems(int32_t iHandle);

/* Frees every record of the handle, which stays valid and empty. 0 or -11. */
CALDEN_API int32_t ClearStoredTedsDataStruct(int32_t iHandle);

/* Sets the character that separates values in record files written from now on.
 * 0, or -13 for the character 0, which leaves the delimiter as it was. */
CALDEN_API int32_t ChangeDelimiter(char delim);

/* Copies the text of a result code into string as strncpy does: at most max_len
 * characters, the rest of max_len filled with NUL, and no terminator when the text
 * is max_len characters or longer. Codes without a text (-2 and unknown codes)
 * leave string untouched. */
CALDEN_API void GetErrorCodeString(int32_t error_code, char* string, int32_t max_len);

TEDSKIT_END_C

#endif
