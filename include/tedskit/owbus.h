/* owbus: the 1-Wire adapter layer of tedskit.
 *
 * It offers the adapter calls the 1-Wire memory library is written against (session,
 * adapter setup, bus reset, byte and block transfers, device search and selection, ROM
 * read, CRC), with the same arguments and results, over exchangeable back ends:
 *
 *   sim:PATH   a simulated bus of chip models (DS2430A, DS2431, DS2433, DS28EC20, DS2406)
 *              loaded from the bus file PATH and written back to it when a chip's
 *              non-volatile state changes. Its clock is virtual: owbus_sleep_ms and the
 *              bus slots advance a counter instead of taking time.
 *
 * The back end is chosen by owbus_configure() or, when that was never called, by the
 * environment variable TEDSKIT_BUS. Every port number of a session uses it.
 *
 * Everything here is process-wide and unguarded: one thread at a time. */
#ifndef TEDSKIT_OWBUS_H
#define TEDSKIT_OWBUS_H

#include <stdint.h>

#include "tedskit/export.h"

#ifdef TEDSKIT_BUILDING_OWBUS
#define OWBUS_API TEDSKIT_EXTERN_C TEDSKIT_EXPORT
#else
#define OWBUS_API TEDSKIT_EXTERN_C
#endif

/* Size of the search state buffer a caller hands to the search and select calls. */
#define OWBUS_STATE_BUFFER_SIZE 15360

/* TMCRC types. */
#define OWBUS_CRC8 0
#define OWBUS_CRC16 1

/* TMTouchReset results. */
#define OWBUS_RESET_NO_PRESENCE 0
#define OWBUS_RESET_PRESENCE 1

/* ---- Adapter calls ----------------------------------------------------------------- */

/* Opens a session on a port; port types 5 (serial) and 6 (USB) as the adapter API knows
 * them. Returns a positive handle, or 0 when no back end is configured, the back end
 * cannot be opened (see owbus_last_error) or a session is already open. */
OWBUS_API int32_t TMExtendedStartSession(int16_t port_number, int16_t port_type, void* options);
/* 1 when the adapter behind the session is ready, 0 otherwise. */
OWBUS_API int16_t TMSetup(int32_t handle);
/* 1 while the handle names the open session. */
OWBUS_API int16_t TMValidSession(int32_t handle);
/* Bus reset: 1 when a presence pulse answered, 0 when none did, -1 on a bad handle. */
OWBUS_API int16_t TMTouchReset(int32_t handle);
/* Sends one byte and returns the byte read back in the same slots, -1 on a bad handle. */
OWBUS_API int16_t TMTouchByte(int32_t handle, int16_t byte);
/* Sends count bytes; the buffer receives the bytes read back. Returns count, or -1. */
OWBUS_API int16_t TMBlockStream(int32_t handle, unsigned char* buffer, int16_t count);
/* Prepares state to search for devices of one family. 1 when set up. */
OWBUS_API int16_t TMFamilySearchSetup(int32_t handle, void* state, int16_t family);
/* Searches for the next device; 1 when one was found: it becomes the current device. */
OWBUS_API int16_t TMNext(int32_t handle, void* state);
/* With rom[0] == 0, fills rom[0..7] with the current device's registration number, one
 * byte per word; otherwise makes rom[0..7] the current device. Returns 1, or -1. */
OWBUS_API int16_t TMRom(int32_t handle, void* state, int16_t* rom);
/* Reset and Match ROM of the current device: 1 when a presence pulse answered. */
OWBUS_API int16_t TMAccess(int32_t handle, void* state);
/* Running CRC over length bytes: type OWBUS_CRC8 or OWBUS_CRC16 (LSB first, start crc). */
OWBUS_API uint16_t TMCRC(int16_t length, const unsigned char* buffer, uint16_t crc, int16_t type);
/* Releases the port. 1 on success, -1 on a bad handle. */
OWBUS_API int16_t TMClose(int32_t handle);
/* Ends the session. 1 on success, 0 when the handle names no session. */
OWBUS_API int16_t TMEndSession(int32_t handle);

/* ---- Back end, clock and test hooks -------------------------------------------------- */

/* Chooses the back end for the next session: "sim:PATH", or NULL to follow TEDSKIT_BUS
 * again. A sim bus file is read at once to report errors early. 0 on success, -1 for a
 * malformed bus name, -2 when the bus file cannot be read or is malformed; the
 * reason is in owbus_last_error(). */
OWBUS_API int32_t owbus_configure(const char* bus);
/* The reason of the last failure of owbus_configure, TMExtendedStartSession or a bus-file
 * write-back; "" when there was none. Valid until the next owbus call. */
OWBUS_API const char* owbus_last_error(void);

/* Waits ms milliseconds; with a simulated back end only the virtual clock advances. */
OWBUS_API void owbus_sleep_ms(uint32_t ms);
/* Bus time in microseconds: the virtual clock of the simulated bus (waits, resets and
 * time slots at standard speed). */
OWBUS_API uint64_t owbus_bus_time_us(void);
/* Adapter calls that used the bus (resets, byte and block transfers, searches, selects). */
OWBUS_API uint64_t owbus_transactions(void);
/* Sets bus time and transaction count to 0. */
OWBUS_API void owbus_reset_counters(void);

/* Port number and type the last session was started with (-1 before any). */
OWBUS_API void owbus_last_port(int16_t* port_number, int16_t* port_type);

/* Faults of the simulated bus. Each kind has its own opportunities; a switched-on fault
 * lets `skip` opportunities pass, then fires on the next `count` ones (-1: on all). */
enum owbus_fault {
  OWBUS_FAULT_NO_PRESENCE = 1,   /* a reset: no chip answers it and all stay silent */
  OWBUS_FAULT_ECHO_MISMATCH = 2, /* a byte sent (not FFh): the adapter reads back a wrong echo */
  OWBUS_FAULT_FLIP_BIT = 3,      /* a byte read (FFh sent): bit 0 of it is read back flipped */
  OWBUS_FAULT_DS2406_CRC = 4,    /* a CRC-16 sent by a DS2406: it arrives corrupted */
  OWBUS_FAULT_COPY_FAIL = 5,     /* a copy into a chip's EEPROM or register: it is refused */
  OWBUS_FAULT_VANISH = 6         /* a device found by a search: it leaves the bus at once */
};
/* 0 on success, -1 for an unknown kind or a negative skip. count 0 switches it off. */
OWBUS_API int32_t owbus_set_fault(int32_t kind, int32_t skip, int32_t count);
/* Switches every fault off and brings vanished devices back. */
OWBUS_API void owbus_clear_faults(void);

#endif
