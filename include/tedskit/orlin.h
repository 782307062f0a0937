/* liborlin: reads TDL (Template Description Language) files into a template object model.
 * This header holds the plain functions; the classes of the model are in orlin.hpp. */
#ifndef TEDSKIT_ORLIN_H
#define TEDSKIT_ORLIN_H

#include <stdint.h>

#include "tedskit/export.h"
#include "tedskit/records.h"

#define ORLIN_API TEDSKIT_EXPORT

/* Results of orlin(). */
#define ORLIN_OK 0
#define ORLIN_FILE_NOT_OPENED (-3)
/* The scanner met a fatal condition (token too long, read failure, NUL byte); the
 * collection holds what was built before it. */
#define ORLIN_SCANNER_FAILED (-4)

/* getCurrentSCValue() when no select-case value is left. */
#define ORLIN_SC_NO_VALUE (-5)

#ifdef __cplusplus
class CTDLTemplateCollection;
#else
typedef struct CTDLTemplateCollection CTDLTemplateCollection;
#endif

TEDSKIT_BEGIN_C

/* Parses the TDL file at path into a new collection, which getTDLCollection() returns
 * from then on. Returns 0 when the file was read (a syntax error, reported on stderr,
 * stops the parse but still gives 0), -3 when it cannot be opened, -4 on a fatal
 * scanner condition. Earlier collections are left alone; all collections made here
 * are released when the library unloads. */
ORLIN_API int32_t orlin(const char* path);

/* The collection made by the most recent orlin() call; null before the first. */
ORLIN_API CTDLTemplateCollection* getTDLCollection(void);

TEDSKIT_END_C

#endif
