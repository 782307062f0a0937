/* The fixed records that cross the tedskit libraries. Their sizes and offsets are
 * part of the binary interface: every library and every caller uses exactly these. */
#ifndef TEDSKIT_RECORDS_H
#define TEDSKIT_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#include "tedskit/export.h"

/* validMarker of a record filled by the engine or by form parsing. */
#define TEDS_FIELD_ARRAY_VALID 0xABCDEF12u

#define TEDS_MAX_ITEMS 256
#define TEDS_LINE_ROWS 256
#define TEDS_LINE_SIZE 256
#define TEDS_LABEL_SIZE 128
#define TEDS_VALUE_SIZE 64
#define TEDS_UNITS_SIZE 16
#define TEDS_TEMPLATE_NAME_SIZE 256
#define TEDS_ABSTRACT_SIZE 196608

/* Field datatype codes of an item (shared with the form text's type words). */
enum TEDSFieldDatatype {
  TEDS_DT_MANUFACTURER = 1,
  TEDS_DT_UNINT = 2,
  TEDS_DT_CHR5 = 3,
  TEDS_DT_DATE = 4,
  TEDS_DT_CONRELRES = 5,
  TEDS_DT_CONRES = 6,
  TEDS_DT_DIRECTION = 7,
  TEDS_DT_ASCII = 8,
  TEDS_DT_ENUMERATION = 199
};

/* One item of a field array: 248 bytes. */
typedef struct TEDSTemplateFieldStruct {
  char label[TEDS_LABEL_SIZE];
  char value[TEDS_VALUE_SIZE];
  int32_t datatype;
  uint32_t padding;
  double start;
  double step;
  double param3;
  char units[TEDS_UNITS_SIZE];
  int32_t access;
  int32_t width;
} TEDSTemplateFieldStruct;

/* A decoded TEDS: 391440 bytes, pointer-free, allocated by the caller. */
typedef struct TEDSTemplateFieldArrayStruct {
  uint32_t validMarker;
  char templateName[TEDS_TEMPLATE_NAME_SIZE];
  int32_t templateID;
  int32_t numItems;
  uint32_t reserved;
  char formLines[TEDS_LINE_ROWS][TEDS_LINE_SIZE];
  char templateLines[TEDS_LINE_ROWS][TEDS_LINE_SIZE];
  char abstractText[TEDS_ABSTRACT_SIZE];
  TEDSTemplateFieldStruct items[TEDS_MAX_ITEMS];
} TEDSTemplateFieldArrayStruct;

/* One property value on its way between a field array item and a property. */
typedef union fielddataholder {
  float f;
  int32_t i;
  char text[128];
} fielddataholder;

/* The select-case values of one TEDS, in the order the select cases are met. */
typedef struct sccontrolstruct {
  int32_t count;
  int32_t current;
  int32_t values[16];
} sccontrolstruct;

/* The front end's field array: a template kind (0 standard, 1 manufacturer's,
 * 3 LMS) and the array itself. */
typedef struct TaggedFieldArray {
  int32_t kind;
  uint32_t padding;
  TEDSTemplateFieldArrayStruct array;
} TaggedFieldArray;

/* A node of the front end's (ID, name) lists. */
typedef struct IDNameNode {
  struct IDNameNode* prev;
  int32_t id;
  char name[260];
  struct IDNameNode* next;
} IDNameNode;

TEDSKIT_STATIC_ASSERT(sizeof(TEDSTemplateFieldStruct) == 248, "item size");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldStruct, value) == 128, "item value");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldStruct, datatype) == 192, "item datatype");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldStruct, start) == 200, "item start");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldStruct, step) == 208, "item step");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldStruct, param3) == 216, "item param3");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldStruct, units) == 224, "item units");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldStruct, access) == 240, "item access");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldStruct, width) == 244, "item width");

TEDSKIT_STATIC_ASSERT(sizeof(TEDSTemplateFieldArrayStruct) == 391440, "field array size");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldArrayStruct, templateName) == 0x4, "templateName");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldArrayStruct, templateID) == 0x104, "templateID");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldArrayStruct, numItems) == 0x108, "numItems");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldArrayStruct, reserved) == 0x10C, "reserved");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldArrayStruct, formLines) == 0x110, "formLines");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldArrayStruct, templateLines) == 0x10110, "templateLines");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldArrayStruct, abstractText) == 0x20110, "abstractText");
TEDSKIT_STATIC_ASSERT(offsetof(TEDSTemplateFieldArrayStruct, items) == 0x50110, "items");

TEDSKIT_STATIC_ASSERT(sizeof(fielddataholder) == 128, "fielddataholder size");

TEDSKIT_STATIC_ASSERT(sizeof(sccontrolstruct) == 72, "sccontrolstruct size");
TEDSKIT_STATIC_ASSERT(offsetof(sccontrolstruct, current) == 4, "sccontrolstruct current");
TEDSKIT_STATIC_ASSERT(offsetof(sccontrolstruct, values) == 8, "sccontrolstruct values");

TEDSKIT_STATIC_ASSERT(sizeof(TaggedFieldArray) == 8 + 391440, "TaggedFieldArray size");
TEDSKIT_STATIC_ASSERT(offsetof(TaggedFieldArray, array) == 8, "TaggedFieldArray array");

TEDSKIT_STATIC_ASSERT(sizeof(IDNameNode) == 280, "IDNameNode size");
TEDSKIT_STATIC_ASSERT(offsetof(IDNameNode, id) == 8, "IDNameNode id");
TEDSKIT_STATIC_ASSERT(offsetof(IDNameNode, name) == 12, "IDNameNode name");
TEDSKIT_STATIC_ASSERT(offsetof(IDNameNode, next) == 272, "IDNameNode next");

#endif
