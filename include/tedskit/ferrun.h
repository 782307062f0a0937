/* ferrun: reads and writes the TEDS memory of a sensor on a 1-Wire bus.
 *
 * One adapter session per process (stdcdll_OpenCom .. stdcdll_CloseCom). The sensor's
 * memory chip is found by family code: DS2430A (14h), DS2431 (2Dh), DS2433 (23h),
 * DS28EC20 (43h) and a family-0Dh chip with the DS2431 command set and 112 bytes; a DS2406
 * (12h) switches the channels of a multiplexed cable. Images cross in three forms, with
 * the page checksums of the chip layouts taken off on reading and put back on writing.
 *
 * Buffers belong to the caller and must have the sizes documented below. Every write goes
 * through the chip's scratchpad, which is read back and checked before each copy (a row
 * or page that fails is written again), and the written range is read back and compared
 * at the end: FERRUN_NOT_VERIFIED when the chip does not hold what was sent. Copies wait
 * the chip's data-sheet programming time, or the old long waits when owbus asks for them
 * (owbus_set_programming_waits, TEDSKIT_WAITS=long).
 *
 * An operation the adapter fails to carry (see owbus_last_error) is tried again; when
 * the adapter keeps failing, reads and writes return FERRUN_ADAPTER_CHECK.
 *
 * Process-wide state, unguarded: one thread at a time. */
#ifndef TEDSKIT_FERRUN_H
#define TEDSKIT_FERRUN_H

#include <stdint.h>

#include "tedskit/export.h"

#ifdef TEDSKIT_BUILDING_FERRUN
#define FERRUN_API TEDSKIT_EXTERN_C TEDSKIT_EXPORT
#else
#define FERRUN_API TEDSKIT_EXTERN_C
#endif

/* Return codes. */
#define FERRUN_FAILED 0                /* open or channel switch failed; also a raw-mode read */
#define FERRUN_DONE 1                  /* done (also: reads with no valid session, nothing done) */
#define FERRUN_ADAPTER_CHECK 2         /* the adapter echo check failed, or the adapter failed */
#define FERRUN_CHIP_NOT_FOUND 3        /* the required chip was not found */
#define FERRUN_NOT_VERIFIED 4          /* written, but the chip does not read back what was sent */
#define FERRUN_MISSING_ARGUMENT (-739) /* a required pointer was null */

/* Port number that selects the USB adapter. */
#define FERRUN_USB_PORT 101
/* stdcdll_read_memory* mode that copies the whole chip image unchanged. */
#define FERRUN_RAW_MODE 1
/* Sizes of the caller's buffers. */
#define FERRUN_REGISTER_SIZE 8
#define FERRUN_V1_IMAGE_SIZE 40
#define FERRUN_MAX_MEMORY 2560 /* memory buffer of a read: enough for any chip and raw mode */
#define FERRUN_MAX_IMAGE 512   /* image of a write */
#define FERRUN_PAGE_FLAGS 4

/* Opens the adapter session: port 101 is USB adapter 1, any other value a serial port.
 * 1 when open (or already open), 0 when it failed. */
FERRUN_API int32_t stdcdll_OpenCom(int32_t port);
/* Closes the session; returns what the adapter's end of session returned. */
FERRUN_API int32_t stdcdll_CloseCom(void);
/* Detects the memory chip and stores its family code. 1, 2 (also: the adapter failed) or 3. */
FERRUN_API int32_t stdcdll_read_family(int32_t* family);
/* DS2430A application register (8 bytes) and its lock state (1 locked, 0 not). 1, 2 or 3. */
FERRUN_API int32_t stdcdll_read_appreg(unsigned char* reg, int32_t* locked);
/* Writes the DS2430A application register without locking it. 1, or 4 when the register
 * does not read back as written (locked, no chip, or no session). */
FERRUN_API int32_t stdcdll_write_appreg(const unsigned char* reg);
/* TEDS V1.0 image (40 bytes: application register, then 32 memory bytes) to a DS2430A,
 * whose register is then locked for good. With a DS2431 nothing is written. 1, 2, 3 or 4. */
FERRUN_API int32_t stdcdll_write_v1_memory(const unsigned char* image);
/* Switches the DS2406 to a channel (1 to 3; any other value: none). 1 switched, 0 failed. */
FERRUN_API int32_t stdcdll_ds2406_channel(int32_t channel);
/* 1 when a DS2406 was found at the last successful open, 0 when not, -1 before any. */
FERRUN_API int32_t stdcdll_triax_enabled(void);

/* Reads the TEDS image. reg: 8 bytes; memory: FERRUN_MAX_MEMORY bytes (the chip size
 * suffices outside raw mode); register_used: 1 when reg holds the Basic TEDS apart;
 * page_flags: 4 entries, 1 page passes, 0 fails, 2 for entry 0 in the inline form;
 * template_id: the template ID found. Mode FERRUN_RAW_MODE copies the chip image whole.
 * 1 done, 3 no chip, 0 after a raw copy, 2 when the adapter failed the read (all page
 * flags 0, nothing delivered). */
FERRUN_API int32_t stdcdll_read_memory_extended(unsigned char* reg, unsigned char* memory,
                                                int32_t* register_used, int32_t* page_flags,
                                                int32_t* template_id, int32_t mode);
/* As stdcdll_read_memory_extended, without the template ID. */
FERRUN_API int32_t stdcdll_read_memory(unsigned char* reg, unsigned char* memory, int32_t* register_used,
                                       int32_t* page_flags, int32_t mode);
/* Writes a TEDS image (up to FERRUN_MAX_IMAGE bytes are read: as many as the chip's
 * layout needs; pass a buffer of that size). layout_b nonzero: the image is
 * in stream form and goes to layout B (on a DS2430A: its checksum is recomputed);
 * selector_hint chooses the selector byte of an image whose page 0 fails its check.
 * 1, 3 or 4; 2 when the adapter failed. */
FERRUN_API int32_t stdcdll_write_memory(const unsigned char* image, int32_t layout_b, int32_t selector_hint);

#endif
