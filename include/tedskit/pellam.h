/* pellam: the two LMS user TEDS layouts, geometry (template 118) and free format
 * (template 117).
 *
 * Each layout has one decoded state per process. A decode loads the state from a
 * 32-byte image, an encode writes the state into one, a fill lays the state out as a
 * field array for display and editing, and a read takes edited values back from such
 * an array. The states are not guarded: call from one thread at a time. */
#ifndef TEDSKIT_PELLAM_H
#define TEDSKIT_PELLAM_H

#include <stdint.h>

#include "tedskit/export.h"
#include "tedskit/records.h"

#define PELLAM_API TEDSKIT_EXPORT

/* Size of an LMS image in bytes (256 bits, no checksum). */
#define PELLAM_IMAGE_SIZE 32

#define PELLAM_TEMPLATE_FREE 117
#define PELLAM_TEMPLATE_GEOMETRY 118

/* Result of an encode, fill or read given a null pointer. */
#define PELLAM_MISSING_ARGUMENT (-739)

TEDSKIT_BEGIN_C

/* 1 when the image is an LMS geometry TEDS (the state is then loaded from it),
 * 0 otherwise, the state unchanged. */
PELLAM_API int32_t PELLAM_DecodeGeometryLMSTeds(const uint8_t* image);

/* Writes all 32 bytes of the image from the geometry state; returns 1. */
PELLAM_API int32_t PELLAM_EncodeGeometryTEDS(uint8_t* image);

/* Lays out the 19 geometry items, with the state's values when withValues is
 * nonzero and empty values otherwise. validMarker is left as it was. Returns the
 * state's selector: 0 before the first decode or read, 3 after. */
PELLAM_API int32_t PELLAM_FillFieldArrayStructWithGeometry(TEDSTemplateFieldArrayStruct* array,
                                                           int32_t withValues);

/* Takes the value texts of a geometry array back into the state; a text that does
 * not parse keeps the previous value. Returns 0. */
PELLAM_API int32_t PELLAM_ReadGeometryFieldArrayStruct(const TEDSTemplateFieldArrayStruct* array);

/* The same four operations on the free-format state. */
PELLAM_API int32_t PELLAM_DecodeFreeTEDS(const uint8_t* image);
PELLAM_API int32_t PELLAM_EncodeFreeTEDS(uint8_t* image);
PELLAM_API int32_t PELLAM_FillFieldArrayStructWithFree(TEDSTemplateFieldArrayStruct* array,
                                                       int32_t withValues);
PELLAM_API int32_t PELLAM_ReadFreeFieldArrayStruct(const TEDSTemplateFieldArrayStruct* array);

TEDSKIT_END_C

#endif
