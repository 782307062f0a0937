// The records of every handle, and the delimiter of the record files.
#ifndef TEDSKIT_STORE_RECORD_STORE_H
#define TEDSKIT_STORE_RECORD_STORE_H

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "compact_array.h"
#include "tedskit/records.h"

namespace tedskit::store {

struct StoredRecord {
  int32_t unitNumber;
  int32_t channelNumber;
  int32_t descriptor;
  CompactArray array;
};

// Handles are positions in a table and records positions in their handle's list, so
// finding a handle, appending and retrieving cost the same however many there are.
class RecordStore {
 public:
  // The new handle's number; throws std::bad_alloc when there is no memory for it.
  int32_t createHandle();

  bool hasHandle(int32_t handle) const;

  // The handle's records, in storing order; the handle must exist.
  std::vector<StoredRecord>& records(int32_t handle);

  // Appends a copy of the array to the handle's records; throws std::bad_alloc.
  void append(int32_t handle, int32_t descriptor, const TEDSTemplateFieldArrayStruct& array,
              int32_t channelNumber, int32_t unitNumber);

  // The same for an array that differs from the handle's last record at most in the
  // changed words (see CompactArray); with no record yet, a plain append.
  void appendChangedFromLast(int32_t handle, int32_t descriptor, const TEDSTemplateFieldArrayStruct& array,
                             int32_t channelNumber, int32_t unitNumber, std::span<const WordRange> changed);

  // The delimiter record files are written with.
  char delimiter() const { return delimiter_; }
  void setDelimiter(char delimiter) { delimiter_ = delimiter; }

 private:
  std::vector<std::vector<StoredRecord>> handles_;
  char delimiter_ = ',';
  std::vector<uint64_t> scratch_;
};

// The library's one store: created empty at load, its records freed at unload.
RecordStore& recordStore();

}  // namespace tedskit::store

#endif
