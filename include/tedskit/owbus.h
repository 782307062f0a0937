/* owbus: the 1-Wire adapter layer of tedskit.
 *
 * It offers the adapter calls the 1-Wire memory library is written against (session,
 * adapter setup, bus reset, byte and block transfers, device search and selection, ROM
 * read, CRC), with the same arguments and results, over exchangeable back ends:
 *
 *   sim:PATH        a simulated bus of chip models (DS2430A, DS2431, DS2433, DS28EC20,
 *                   DS2406) loaded from the bus file PATH and written back to it when a
 *                   chip's non-volatile state changes. Its clock is virtual:
 *                   owbus_sleep_ms and the bus slots advance a counter instead of taking
 *                   time.
 *   ds2480b:DEVICE  a serial adapter built on the DS2480B (DS9097U-style) on the terminal
 *                   device DEVICE (/dev/ttyUSB0, /dev/ttyS0, or the pseudo-terminal of
 *                   owbus-emulator), locked while in use. Options may follow, each after a
 *                   comma: baud=9600|19200|57600|115200 (default 115200, taken only when
 *                   the adapter answers at it; else 9600 stays) and timeout=MS (the wait
 *                   for an answer beyond the traffic's own time, default 500).
 *   usb, usb:N      the first (usb:0) or N-th USB adapter built on the DS2490 (DS9490R),
 *                   through libusb; the kernel's ds2490 driver is detached while in use.
 *   usbsim:PATH     the DS2490 back end driving an emulated DS2490 in front of the
 *                   simulated bus PATH: the USB road without an adapter, on the virtual
 *                   clock.
 *
 * The back end is chosen by owbus_configure() or, when that was never called, by the
 * environment variable TEDSKIT_BUS. Every port number of a session uses it. When neither
 * names a bus, the port number does: port type 6 (USB) opens usb:(N-1); port type 5
 * (serial) opens a DS2480B on the device file of port N: ports 1-32 are /dev/ttyS0-31,
 * 33-64 /dev/ttyUSB0-31 and 65-96 /dev/ttyACM0-31.
 *
 * An adapter that fails to carry a call (no answer, a garbled or lost answer) makes the
 * call return -1; owbus_last_error() says what happened and whether the adapter was
 * brought back into step.
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
#define OWBUS_RESET_ALARM 2 /* an alarming presence pulse (real adapters only) */
#define OWBUS_RESET_SHORT 3 /* the bus is shorted (real adapters only) */

/* ---- Adapter calls ----------------------------------------------------------------- */

/* Opens a session on a port; port types 5 (serial) and 6 (USB) as the adapter API knows
 * them. Returns a positive handle, or 0 when no back end is configured, the back end
 * cannot be opened (see owbus_last_error) or a session is already open. */
OWBUS_API int32_t TMExtendedStartSession(int16_t port_number, int16_t port_type, void* options);
/* 1 when the adapter behind the session is ready, 0 otherwise. */
OWBUS_API int16_t TMSetup(int32_t handle);
/* 1 while the handle names the open session. */
OWBUS_API int16_t TMValidSession(int32_t handle);
/* Bus reset: 1 when a presence pulse answered, 0 when none did, 2 for an alarming
 * presence, 3 for a shorted bus, -1 on a bad handle or a failed adapter. */
OWBUS_API int16_t TMTouchReset(int32_t handle);
/* Sends one byte and returns the byte read back in the same slots, -1 on a bad handle or
 * a failed adapter. */
OWBUS_API int16_t TMTouchByte(int32_t handle, int16_t byte);
/* Sends count bytes; the buffer receives the bytes read back. Returns count, or -1. */
OWBUS_API int16_t TMBlockStream(int32_t handle, unsigned char* buffer, int16_t count);
/* Prepares state to search for devices of one family. 1 when set up. */
OWBUS_API int16_t TMFamilySearchSetup(int32_t handle, void* state, int16_t family);
/* Searches for the next device; 1 when one was found: it becomes the current device.
 * 0 when none was, -1 on a bad handle or a failed adapter. */
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

/* Chooses the back end for the next session (a bus name as above), or NULL to follow
 * TEDSKIT_BUS again. A bus file (sim:, usbsim:) is read at once to report errors early;
 * an adapter is opened only by the session. 0 on success, -1 for a malformed bus name,
 * -2 when the bus file cannot be read or is malformed; the reason is in
 * owbus_last_error(). */
OWBUS_API int32_t owbus_configure(const char* bus);
/* The reason of the last failure of owbus_configure, TMExtendedStartSession, a bus-file
 * write-back or an adapter during a call; "" when there was none. Valid until the next
 * owbus call. */
OWBUS_API const char* owbus_last_error(void);

/* Waits ms milliseconds; with a simulated back end only the virtual clock advances. */
OWBUS_API void owbus_sleep_ms(uint32_t ms);
/* Bus time in microseconds: the virtual clock of the simulated bus (waits, resets and
 * time slots at standard speed); over a real adapter, the time its traffic takes as the
 * adapter carries it (serial line and 1-Wire slots), plus the waits. */
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
  OWBUS_FAULT_VANISH = 6,        /* a device found by a search: it leaves the bus at once */
  OWBUS_FAULT_LOST_ANSWER = 7,   /* an answer byte of an emulated adapter: it never arrives */
  OWBUS_FAULT_GARBLED_ANSWER = 8 /* an answer of an emulated adapter: it arrives garbled */
};
/* 0 on success, -1 for an unknown kind or a negative skip. count 0 switches it off. */
OWBUS_API int32_t owbus_set_fault(int32_t kind, int32_t skip, int32_t count);
/* Switches every fault off and brings vanished devices back. */
OWBUS_API void owbus_clear_faults(void);

/* ---- One device of several ------------------------------------------------------------ */

/* Makes the bus behave, for every session until it is called again, as if the device with
 * the registration number rom[0..7] (family code first, CRC last) were its only memory
 * chip: searches skip every other device except DS2406 switches (family 12h), and a Skip
 * ROM sent right after a reset goes out as Match ROM of the chosen device, so that a
 * sequence written for a lone chip cannot reach another one. NULL: every device again.
 * 0, or -1 when the CRC of rom does not check. */
OWBUS_API int32_t owbus_choose_device(const uint8_t* rom);

/* ---- Programming waits --------------------------------------------------------------- */

/* How long the memory library waits after an EEPROM copy. */
#define OWBUS_WAITS_DATASHEET 0 /* the chip's programming time from its data sheet */
#define OWBUS_WAITS_LONG                                   \
  1 /* 100 ms per 8-byte row, 200 ms per DS2430A step: for \
       adapters that need the old long waits */
/* Chooses the waits; -1 follows the environment variable TEDSKIT_WAITS again ("long" for
 * the long waits, anything else the data sheets'). 0, or -1 for an unknown value. */
OWBUS_API int32_t owbus_set_programming_waits(int32_t waits);
/* The waits in force: OWBUS_WAITS_DATASHEET or OWBUS_WAITS_LONG. */
OWBUS_API int32_t owbus_programming_waits(void);

/* ---- Diagnostics ------------------------------------------------------------------------ */

/* The adapter of the open session. */
typedef struct owbus_adapter_info {
  char kind[16];    /* "sim", "DS2480B" or "DS2490" */
  char port[240];   /* bus file, device file or USB address */
  int32_t revision; /* the chip revision the adapter reports (DS2480B: from its reset
                       answers), -1 when it has none */
  int32_t baud;     /* the serial rate in use, 0 without a serial line */
} owbus_adapter_info;
/* Fills info for the open session: 0, or -1 without one. */
OWBUS_API int32_t owbus_get_adapter_info(owbus_adapter_info* info);
/* The same as one line ("DS2480B revision 3 on /dev/ttyUSB0 at 115200 baud"); "" without
 * a session. Valid until the next call. */
OWBUS_API const char* owbus_adapter_description(void);

/* One event of 1-Wire traffic. */
enum owbus_traffic_kind {
  OWBUS_TRAFFIC_RESET = 1,  /* a bus reset; result is a TMTouchReset result */
  OWBUS_TRAFFIC_BYTES = 2,  /* count bytes sent and the bytes read back in their slots */
  OWBUS_TRAFFIC_SEARCH = 3, /* a search pass: sent the 8 preferred ROM bytes, received the
                               8 ROM bytes found; result 1 found, 0 nobody answered */
  OWBUS_TRAFFIC_ADAPTER = 4 /* what the adapter's back end did: start-up, a failure, the
                               resynchronisation after one */
};
typedef struct owbus_traffic {
  int32_t kind;
  int32_t result;
  int32_t count;
  const uint8_t* sent;
  const uint8_t* received;
  const char* text; /* the event in words, one or two lines, always set */
} owbus_traffic;
/* The sink sees every event while set; the event and its bytes are valid during the
 * call only. */
typedef void (*owbus_traffic_sink)(void* context, const owbus_traffic* event);
/* Sets the sink (NULL: none). */
OWBUS_API void owbus_set_traffic_sink(owbus_traffic_sink sink, void* context);

#endif
