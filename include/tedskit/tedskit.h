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
  TEDSKIT_ERR_INTERNAL = -7, /* out of memory or another failure inside */
  TEDSKIT_ERR_BUS = -8,      /* the bus cannot be opened, or its adapter fails */
  TEDSKIT_ERR_NO_CHIP = -9,  /* no TEDS chip answers where asked, or it is blank */
  TEDSKIT_ERR_SEVERAL_CHIPS = -10, /* several TEDS chips answer and none was named */
  TEDSKIT_ERR_REFUSED = -11, /* the write cannot succeed on the chip as it is: nothing written */
  TEDSKIT_ERR_WRITE = -12,   /* the write started and failed (not verified, adapter lost) */
  TEDSKIT_ERR_FILE = -13     /* a file cannot be read, written or replaced */
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
/* The field's first bit in the memory image (checksum byte first, bit 0 its lowest bit;
 * a field's lowest bit comes first). Fields need not lie end to end: selector bits of a
 * select case the data choose sit between them. -1 for an LMS TEDS, whose layout has no
 * checksum byte. */
TEDSKIT_API int32_t tedskit_field_bit_offset(const tedskit_teds* teds, int32_t index, int32_t* offset);
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
/* The TEDS as the whole memory of a chip after a write of it: 32-byte pages, each behind its
 * checksum byte, in the layout the write chooses, zero past the TEDS; *size bytes, released
 * with tedskit_string_free. model is "DS2430A", "DS2431", "DS2433" or "DS28EC20" (NULL: the
 * smallest of the last three that holds it); a TEDS the chip cannot hold is
 * TEDSKIT_ERR_ENCODE, another model TEDSKIT_ERR_ARGUMENT. */
TEDSKIT_API int32_t tedskit_teds_chip_image(const tedskit_teds* teds, const char* model, char** bytes,
                                            size_t* size);

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

/* The select cases of a TDL template that shaped the layout, in the order the template
 * meets them: each one's description and the case in force (its index and text). Each
 * is set with tedskit_teds_set by its description, with the case's text or number. A
 * select case the user chooses is also a field (*field receives its field index); one
 * the template lays out from its stored selector has none (*field is -1): setting it
 * lays out the fields of the new case, and the fields that stay keep their values. A
 * TEDS of the description engine or LMS has none. */
TEDSKIT_API int32_t tedskit_teds_select_case_count(const tedskit_teds* teds, int32_t* count);
TEDSKIT_API int32_t tedskit_teds_select_case(const tedskit_teds* teds, int32_t index, const char** description,
                                             int32_t* value, const char** case_text, int32_t* field);

/* The templates of the TEDS in their order: the first one, then those chained after it
 * (a calibration table 40, curve 41 or frequency response 42 after a transducer template:
 * a selector of 0 and another template ID follow its last field). count is 1 when nothing
 * is chained. Each template holds a run of the fields: first_field and field_count; its
 * name lives until the next call of tedskit_teds_template_at. provisional is 1 where the layout is
 * partly provisional. Position 0 is the template tedskit_teds_template gives. */
TEDSKIT_API int32_t tedskit_teds_template_count(const tedskit_teds* teds, int32_t* count);
TEDSKIT_API int32_t tedskit_teds_template_at(const tedskit_teds* teds, int32_t position, int32_t* template_id,
                                             const char** name, int32_t* provisional, int32_t* first_field,
                                             int32_t* field_count);
/* Chains a template after the last one (TDL templates only): every number 0 (its lowest
 * value where its scale does not reach 0) and one element in each of its tables; set its
 * fields by label then. The count of a table is a field labelled with the table's name:
 * setting it adds or drops elements at the end. */
TEDSKIT_API int32_t tedskit_teds_add_template(tedskit_teds* teds, int32_t template_id);
/* Takes the chained template at position (1 to count - 1) out of the TEDS. */
TEDSKIT_API int32_t tedskit_teds_remove_template(tedskit_teds* teds, int32_t position);

/* A 1-Wire bus, named as owbus takes it: "sim:FILE" (a simulated bus file), a bare path
 * of one, "ds2480b:/dev/ttyUSB0", "usb", ... Opening checks the name; every operation
 * opens an adapter session of its own and closes it before it returns. */
typedef struct tedskit_bus tedskit_bus;

TEDSKIT_API int32_t tedskit_bus_open(const char* name, tedskit_bus** bus);
TEDSKIT_API void tedskit_bus_free(tedskit_bus* bus);

/* Searches the bus (and each channel of a DS2406 switch on it) and keeps what answers in
 * the handle, for tedskit_bus_chip, until the next scan. */
TEDSKIT_API int32_t tedskit_bus_scan(tedskit_bus* bus, int32_t* count);
/* One chip of the last scan: ROM ID as 16 hex digits family first, family code, model
 * ("DS2431", "DS2406 switch", "unknown chip"), channel (0 on the bus itself, 1-3 behind
 * that channel of the switch), and whether it is a memory chip that can hold a TEDS.
 * The texts belong to the bus handle until its next scan. */
TEDSKIT_API int32_t tedskit_bus_chip(const tedskit_bus* bus, int32_t index, const char** rom, int32_t* family,
                                     const char** model, int32_t* channel, int32_t* holds_teds);

/* Reads the chip with ROM ID device (NULL: any), behind channel (0: on the bus itself,
 * 1-3), or the only TEDS chip there, and decodes it as tedskit_teds_open does. Several
 * TEDS chips are TEDSKIT_ERR_SEVERAL_CHIPS, none or a blank chip TEDSKIT_ERR_NO_CHIP;
 * the message names the chips on the bus. The bus is scanned anew. */
TEDSKIT_API int32_t tedskit_bus_read(tedskit_bus* bus, const char* templates_dir, const char* device,
                                     int32_t channel, int32_t force_tdl, tedskit_teds** teds);

/* Flags of tedskit_bus_write. */
#define TEDSKIT_WRITE_DRY_RUN 1 /* check and compare, write nothing */
#define TEDSKIT_WRITE_FORCE 2   /* write a TEDS whose input checksum did not match */

/* What a write did, or with TEDSKIT_WRITE_DRY_RUN would do; released with
 * tedskit_bus_written_free. */
typedef struct tedskit_bus_written tedskit_bus_written;

/* Writes a TEDS to the chip chosen as tedskit_bus_read chooses it. Before the first byte
 * the write is refused with TEDSKIT_ERR_REFUSED, leaving the chip as it was, when it
 * cannot succeed: the TEDS came from an input whose checksum did not match (unless
 * TEDSKIT_WRITE_FORCE), it does not fit the chip, a page it needs is write-protected or
 * in EPROM mode, or a locked DS2430A register holds another Basic TEDS. Writing locks a
 * blank DS2430A's register when the TEDS needs the V1.0 layout. *written receives the
 * chip's state and the field-by-field difference. */
TEDSKIT_API int32_t tedskit_bus_write(tedskit_bus* bus, const char* templates_dir, const tedskit_teds* teds,
                                      const char* device, int32_t channel, int32_t flags,
                                      tedskit_bus_written** written);
TEDSKIT_API void tedskit_bus_written_free(tedskit_bus_written* written);
/* *done is 1 when the chip was written (0 for a dry run); *summary is "template 25 to the
 * DS2431 2DE1A5E10D0000FE on BUS in layout A"; *locks is 1 when the write locks (or
 * locked) a DS2430A's application register; *chip_state 0 when the chip held a TEDS, 1
 * blank, 2 a TEDS that does not decode; *text the difference as the tool prints it. */
TEDSKIT_API int32_t tedskit_bus_written_info(const tedskit_bus_written* written, int32_t* done,
                                             const char** summary, int32_t* locks, int32_t* chip_state,
                                             const char** text);
/* The fields that differ: label, value shown before and after (NULL where that side has
 * no such field; with a chip that held no TEDS every field is new). */
TEDSKIT_API int32_t tedskit_bus_written_change_count(const tedskit_bus_written* written, int32_t* count);
TEDSKIT_API int32_t tedskit_bus_written_change(const tedskit_bus_written* written, int32_t index,
                                               const char** label, const char** before, const char** after);

/* Record files. Saves count TEDS as records to path, replacing nothing: an existing file
 * is refused with TEDSKIT_ERR_FILE unless append is 1, and only a record file is
 * appended to. A failed save leaves the file as it was. */
TEDSKIT_API int32_t tedskit_records_save(const char* path, const char* templates_dir,
                                         const tedskit_teds* const* teds, size_t count, int32_t append);
/* As tedskit_records_save, each record with its channel and unit numbers: channels and units
 * hold count numbers each, 0 or more, -1 for none; NULL gives every record none. */
TEDSKIT_API int32_t tedskit_records_save_numbered(const char* path, const char* templates_dir,
                                                  const tedskit_teds* const* teds, const int32_t* channels,
                                                  const int32_t* units, size_t count, int32_t append);

/* The records of a file, released with tedskit_records_free. A broken block, or a record
 * holding a value its field cannot, is skipped and listed (tedskit_records_skipped);
 * reading goes on to the next block. */
typedef struct tedskit_records tedskit_records;

TEDSKIT_API int32_t tedskit_records_load(const char* path, const char* templates_dir, tedskit_records** records);
TEDSKIT_API void tedskit_records_free(tedskit_records* records);
TEDSKIT_API int32_t tedskit_records_count(const tedskit_records* records, int32_t* count);
/* A new handle of record index (freed with tedskit_teds_free) and its channel and unit
 * numbers (-1 for none). */
TEDSKIT_API int32_t tedskit_records_get(const tedskit_records* records, int32_t index, tedskit_teds** teds,
                                        int32_t* channel, int32_t* unit);
TEDSKIT_API int32_t tedskit_records_skipped_count(const tedskit_records* records, int32_t* count);
/* One skipped block: the line it starts at (from 1) and why it was skipped. */
TEDSKIT_API int32_t tedskit_records_skipped(const tedskit_records* records, int32_t index, int64_t* line,
                                            const char** reason);

TEDSKIT_END_C

#endif
