// The pieces of a record file that both the writer and the reader know: the type line
// of a record block and the value texts by datatype.
//
// A block is: a type line (type name, delimiter, number); a template line (template
// name, delimiter, template ID, and with select-case values: delimiter, count, then a
// delimiter before each value); one line per item ([unit + 1 delimiter] [channel + 1
// delimiter] "label" delimiter value delimiter units); two empty lines.
#ifndef TEDSKIT_STORE_RECORD_FILE_FORMAT_H
#define TEDSKIT_STORE_RECORD_FILE_FORMAT_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_meanings.h"
#include "tedskit/records.h"

namespace tedskit::store {

struct RecordType {
  std::string_view name;
  int32_t number;      // written after the name; never read back
  int32_t descriptor;  // the template kind a record of this type is stored with
  bool mts;
};

inline constexpr int32_t kMtsTemplateID = base::kMtsTemplate;
// The MTS template's ID on the chip, which older files carry on the template line.
inline constexpr int32_t kMtsChipTemplateID = base::kMtsStoredTemplate;
// The template ID by which a caller marks an MTS record; saved as it is, and read back
// as a record laid out by the MTS template that keeps this ID.
inline constexpr int32_t kMtsRecordTemplateID = 999;

// Description-engine templates carry the old template numbers up to this one; higher
// standard templates are laid out by the V1.0 engine.
inline constexpr int32_t kLastOldTemplateID = base::kLastOldTemplate;
inline constexpr int32_t kHighestTemplateID = 255;

// Datatypes of the LMS geometry items that are written as words.
using base::kDatatypeGeometrySelector;
using base::kDatatypeSign;

// The type a record is saved as; none for a descriptor that has no type.
std::optional<RecordType> typeOfRecord(int32_t descriptor, int32_t templateID);

// The type whose name starts a line; none when the line is not a type line.
std::optional<RecordType> typeOfLine(std::string_view line);

// The manufacturer name written before a manufacturer ID.
using ManufacturerName = std::function<std::string(int32_t manufacturerID)>;

// An item's value as written to a file; none when the value cannot be written.
std::optional<std::string> writtenValue(const TEDSTemplateFieldStruct& item,
                                        const ManufacturerName& manufacturerName);

// Sets an item's value from the text a file gives for it; some datatypes leave the
// template's value for a text they do not know.
void readValue(TEDSTemplateFieldStruct& item, std::string_view text);

// The manufacturer ID in a written manufacturer value: the number in its last
// parentheses, or the whole text when it is a number.
std::optional<int32_t> manufacturerIDOf(std::string_view text);

}  // namespace tedskit::store

#endif
