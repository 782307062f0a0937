#include "record_store.h"

#include <limits>
#include <new>

namespace tedskit::store {

int32_t RecordStore::createHandle() {
  if (handles_.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max())) {
    throw std::bad_alloc();
  }
  handles_.emplace_back();
  return static_cast<int32_t>(handles_.size() - 1);
}

RecordStore& recordStore() {
  static RecordStore store;
  return store;
}

bool RecordStore::hasHandle(int32_t handle) const {
  return handle >= 0 && static_cast<std::size_t>(handle) < handles_.size();
}

void RecordStore::append(int32_t handle, int32_t descriptor, const TEDSTemplateFieldArrayStruct& array,
                         int32_t channelNumber, int32_t unitNumber) {
  // Built before it joins the list, so a failed allocation leaves the list as it was;
  // push_back grows the list geometrically. A record mostly shares the words of the one
  // stored before it: a run of one sensor's records differs only in a few values.
  std::vector<StoredRecord>& list = records(handle);
  const CompactArray* previous = list.empty() ? nullptr : &list.back().array;
  list.push_back(StoredRecord{unitNumber, channelNumber, descriptor, CompactArray(array, scratch_, previous)});
}

void RecordStore::appendChangedFromLast(int32_t handle, int32_t descriptor, const TEDSTemplateFieldArrayStruct& array,
                                        int32_t channelNumber, int32_t unitNumber,
                                        std::span<const WordRange> changed) {
  std::vector<StoredRecord>& list = records(handle);
  if (list.empty()) {
    append(handle, descriptor, array, channelNumber, unitNumber);
    return;
  }
  list.push_back(StoredRecord{unitNumber, channelNumber, descriptor,
                              CompactArray(array, list.back().array, changed, scratch_)});
}

std::vector<StoredRecord>& RecordStore::records(int32_t handle) {
  return handles_[static_cast<std::size_t>(handle)];
}

}  // namespace tedskit::store
