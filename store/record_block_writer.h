// The text block of one stored record in a record file.
#ifndef TEDSKIT_STORE_RECORD_BLOCK_WRITER_H
#define TEDSKIT_STORE_RECORD_BLOCK_WRITER_H

#include <optional>
#include <string>

#include "record_file_format.h"
#include "record_store.h"

namespace tedskit::store {

struct BlockOptions {
  char delimiter;
  const sccontrolstruct* selectCases;  // written on every template line when given
  const ManufacturerName& manufacturerName;
};

// The block of a record whose field array is given expanded. None when the record
// cannot be written: a descriptor without a type, a value without a written form, or a
// text that would break the line structure.
std::optional<std::string> recordBlock(const StoredRecord& record, const TEDSTemplateFieldArrayStruct& array,
                                       const BlockOptions& options);

}  // namespace tedskit::store

#endif
