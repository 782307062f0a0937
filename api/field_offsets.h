// Where each field of a TEDS lies in its memory image (the checksum byte, the Basic TEDS,
// the template data; bit 0 is the lowest bit of the checksum byte). Fields do not lie end
// to end: a select case chosen by the data keeps its selector bits between fields, and a
// description file has selector, alignment and checksum bits that are no field.
#ifndef TEDSKIT_API_FIELD_OFFSETS_H
#define TEDSKIT_API_FIELD_OFFSETS_H

#include <vector>

#include "document.h"

namespace teds {

// The first bit of each field, in field order; -1 where the position is not known (the
// LMS layout, which has no checksum byte and lays its items out by its own rules). The
// TDL positions come from decoding the image again and walking the template as the
// decoder walks it, since the engine keeps no position.
std::vector<int> fieldBitOffsets(const Document& document);

}  // namespace teds

#endif
