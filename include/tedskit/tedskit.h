/* libtedskit: one C interface to decode, check, edit and encode TEDS, for tools and
 * language bindings. It sits on the other tedskit libraries and hides their
 * process-wide state behind one lock: every function may be called from several
 * threads at once (calls run one at a time inside the library).
 *
 * A TEDS is an opaque handle, made by tedskit_teds_open and released by
 * tedskit_teds_free. Texts are UTF-8. Texts a function returns as const char* belong to
 * the handle and stay valid until the next call that changes it (tedskit_teds_set) or
 * frees it; texts returned as char* belong to the caller and are released with
 * tedskit_string_free. Every function returns TEDSKIT_OK or a negative result code;
 * tedskit_last_error() then tells, for the calling thread, which field or input failed
 * and why. */
#ifndef TEDSKIT_TEDSKIT_H
#define TEDSKIT_TEDSKIT_H

#include <stddef.h>
#include <stdint.h>

#include "tedskit/export.h"

#define TEDSKIT_API TEDSKIT_EXPORT

TEDSKIT_BEGIN_C

typedef struct tedskit_teds tedskit_teds;

typedef enum tedskit_result {
  TEDSKIT_OK = 0,
  TEDSKIT_ERR_ARGUMENT = -1, /* a pointer missing or an argument out of its range */
  TEDSKIT_ERR_INPUT = -2,    /* the input is not the kind of TEDS input given */
  TEDSKIT_ERR_DECODE = -3,   /* no template decodes the image, or the templates are missing */
  TEDSKIT_ERR_LABEL = -4,    /* no field has that label */
  TEDSKIT_ERR_VALUE = -5,    /* the field cannot hold the value */
  TEDSKIT_ERR_ENCODE = -6,   /* the fields could not be encoded */
  TEDSKIT_ERR_INTERNAL = -7  /* out of memory or another failure inside */
} tedskit_result;

/* What an input holds. TEDSKIT_INPUT_AUTO recognises every other kind. */
typedef enum tedskit_input {
  TEDSKIT_INPUT_AUTO = 0,
  TEDSKIT_INPUT_TEXT = 1,  /* "memory:"/"register:" lines, hex lines, a hex chip dump */
  TEDSKIT_INPUT_HEX = 2,   /* hex digits of a memory image (checksum byte first) */
  TEDSKIT_INPUT_BYTES = 3, /* the bytes of a memory image (checksum byte first) */
  TEDSKIT_INPUT_CHIP = 4,  /* the bytes of a whole chip, 32-byte pages with checksums */
  TEDSKIT_INPUT_JSON = 5,  /* the JSON of tedskit_teds_json (docs/json.md), values maybe edited */
  TEDSKIT_INPUT_TED = 6    /* a virtual TEDS file (.ted): header [v03], then one byte per bit */
} tedskit_input;

typedef enum tedskit_engine {
  TEDSKIT_ENGINE_DESCRIPTION = 0,
  TEDSKIT_ENGINE_TDL = 1,
  TEDSKIT_ENGINE_LMS = 2
} tedskit_engine;

typedef enum tedskit_value_kind {
  TEDSKIT_VALUE_INTEGER = 0,
  TEDSKIT_VALUE_REAL = 1,
  TEDSKIT_VALUE_TEXT = 2,
  TEDSKIT_VALUE_DATE = 3,
  TEDSKIT_VALUE_ENUMERATION = 4
} tedskit_value_kind;

/* The calling thread's message of its last failure ("" when there was none). */
TEDSKIT_API const char* tedskit_last_error(void);
TEDSKIT_API void tedskit_string_free(char* text);

/* Decodes size bytes of input with the templates of templates_dir. force_tdl decodes with
 * the TDL engine whatever the template ID says. JSON is recognised by its opening brace:
 * its raw images are decoded, then every field whose "value" (or enumeration "index")
 * differs from what they hold is set, in order, checked as tedskit_teds_set checks; a
 * refused value fails the open with TEDSKIT_ERR_VALUE. tedskit_teds_note then gives the
 * notes of those settings. */
TEDSKIT_API int32_t tedskit_teds_open(const char* templates_dir, const void* input, size_t size,
                                      tedskit_input kind, int32_t force_tdl, tedskit_teds** teds);
TEDSKIT_API void tedskit_teds_free(tedskit_teds* teds);
/* A new TEDS laid out for a template, every field at its default: kind 0 standard, 1 a
 * manufacturer's (of manufacturer_id), 3 LMS (templates 117 and 118). Standard templates
 * from 25 on, and any with force_tdl, are laid out by the TDL engine. */
TEDSKIT_API int32_t tedskit_teds_new(const char* templates_dir, int32_t kind, int32_t template_id,
                                     int32_t manufacturer_id, int32_t force_tdl, tedskit_teds** teds);

/* The template: kind 0 standard, 1 manufacturer's, 3 LMS. */
TEDSKIT_API int32_t tedskit_teds_template(const tedskit_teds* teds, int32_t* kind, int32_t* template_id,
                                          const char** name, tedskit_engine* engine);
/* Whether the checksums that came with the image matched (1) or not (0). */
TEDSKIT_API int32_t tedskit_teds_checksum_ok(const tedskit_teds* teds, int32_t* ok);

TEDSKIT_API int32_t tedskit_teds_field_count(const tedskit_teds* teds, int32_t* count);
/* Index of the field with a label, or TEDSKIT_ERR_LABEL. */
TEDSKIT_API int32_t tedskit_teds_field_index(const tedskit_teds* teds, const char* label, int32_t* index);

/* One field: label, units from the template, access as the template gives it ("RO" or
 * "RW" from a description file; "ID", "CAL" or "USR" from a TDL file, the Basic TEDS
 * being "ID"), the value's kind, its bits, and its text by the one display rule (numbers
 * rounded to the field's resolution, enumerations by their text). */
TEDSKIT_API int32_t tedskit_field_label(const tedskit_teds* teds, int32_t index, const char** label);
TEDSKIT_API int32_t tedskit_field_units(const tedskit_teds* teds, int32_t index, const char** units);
TEDSKIT_API int32_t tedskit_field_access(const tedskit_teds* teds, int32_t index, const char** access);
TEDSKIT_API int32_t tedskit_field_kind(const tedskit_teds* teds, int32_t index, tedskit_value_kind* kind);
TEDSKIT_API int32_t tedskit_field_bit_width(const tedskit_teds* teds, int32_t index, int32_t* bits);
TEDSKIT_API int32_t tedskit_field_display(const tedskit_teds* teds, int32_t index, const char** text);

/* Typed values. An integer field and an enumeration (its index) give an integer, a date
 * its days since 1 January 1998; text gives the text, the ISO date "yyyy-mm-dd" or the
 * enumeration's text. Asking a field for a kind it has not is TEDSKIT_ERR_ARGUMENT. */
TEDSKIT_API int32_t tedskit_field_integer(const tedskit_teds* teds, int32_t index, int64_t* value);
TEDSKIT_API int32_t tedskit_field_real(const tedskit_teds* teds, int32_t index, double* value);
TEDSKIT_API int32_t tedskit_field_text(const tedskit_teds* teds, int32_t index, const char** text);

/* The values a field takes: for numbers the range and the resolution at the lower end
 * (zero for text); the choices of an enumeration. */
TEDSKIT_API int32_t tedskit_field_range(const tedskit_teds* teds, int32_t index, double* minimum,
                                        double* maximum, double* resolution);
TEDSKIT_API int32_t tedskit_field_choice_count(const tedskit_teds* teds, int32_t index, int32_t* count);
TEDSKIT_API int32_t tedskit_field_choice(const tedskit_teds* teds, int32_t index, int32_t choice,
                                         const char** text);

/* Sets a field by label from text: a number, a date as "m/d/y" or "yyyy-mm-dd", text,
 * or an enumeration's text or index. A value the field cannot hold is refused with
 * TEDSKIT_ERR_VALUE and leaves the TEDS as it was. On success *note (which may be null)
 * receives "" or a note for the user: the value is stored as a nearby one, or an
 * identification field (the Basic TEDS, an "ID" field) was changed. Several notes are
 * separated by line ends. */
TEDSKIT_API int32_t tedskit_teds_set(tedskit_teds* teds, const char* label, const char* value,
                                     const char** note);

/* The notes of the last change: the settings of a JSON input, or the last tedskit_teds_set. */
TEDSKIT_API int32_t tedskit_teds_note(const tedskit_teds* teds, const char** note);

/* The encoded TEDS as the tool's text ("memory: ..." and "register: ..." lines), or the
 * hex of the memory image (checksum byte first); released with tedskit_string_free. */
TEDSKIT_API int32_t tedskit_teds_text(const tedskit_teds* teds, char** text);
TEDSKIT_API int32_t tedskit_teds_memory_hex(const tedskit_teds* teds, char** hex);
/* The TEDS as JSON (docs/json.md), released with tedskit_string_free. */
TEDSKIT_API int32_t tedskit_teds_json(const tedskit_teds* teds, char** json);
/* The TEDS as a virtual TEDS file: *size bytes, released with tedskit_string_free. The
 * stream ends at its last one bit, or is as long as the file it was read from. */
TEDSKIT_API int32_t tedskit_teds_ted(const tedskit_teds* teds, char** bytes, size_t* size);

/* Whether a TEDS is sound: checked against its template and the rules every TEDS
 * follows (checksums, ranges, reserved codes, enumerations, 7-bit text, calibration
 * dates and period), and when its sensor is due for calibration. on_date, "yyyy-mm-dd"
 * or "m/d/y", is the day to judge the calibration on; NULL is today. The result is
 * released with tedskit_check_free. */
typedef struct tedskit_check tedskit_check;

typedef enum tedskit_severity {
  TEDSKIT_SEVERITY_NOTE = 0,
  TEDSKIT_SEVERITY_WARNING = 1,
  TEDSKIT_SEVERITY_ERROR = 2
} tedskit_severity;

TEDSKIT_API int32_t tedskit_teds_check(const tedskit_teds* teds, const char* on_date, tedskit_check** check);
TEDSKIT_API void tedskit_check_free(tedskit_check* check);
TEDSKIT_API int32_t tedskit_check_count(const tedskit_check* check, int32_t* count);
/* One finding: its severity, a short stable code ("checksum", "range", ...), the label of
 * the field it concerns ("" for the whole TEDS) and the message. The texts belong to the
 * check. */
TEDSKIT_API int32_t tedskit_check_finding(const tedskit_check* check, int32_t index, tedskit_severity* severity,
                                          const char** code, const char** field, const char** message);
/* The calibration state: *known is 0 when the template holds no calibration date (the
 * rest is then left alone); dates as "yyyy-mm-dd"; *period_days is 0 and *due_date ""
 * when there is no period; *days_left is negative when the calibration is overdue. */
TEDSKIT_API int32_t tedskit_check_calibration(const tedskit_check* check, int32_t* known, const char** last_date,
                                              int32_t* period_days, const char** due_date, int32_t* days_left);

TEDSKIT_END_C

#endif
