// The store's exports over the one process-wide store.
#include <cstring>

#include "base/guard.h"
#include "record_store.h"
#include "tedskit/calden.h"

namespace {

using tedskit::base::guard;
using tedskit::store::StoredRecord;

tedskit::store::RecordStore& gStore = tedskit::store::recordStore();

int32_t store(int32_t handle, int32_t descriptor, const TEDSTemplateFieldArrayStruct* data, int32_t channel,
              int32_t unit) {
  if (!gStore.hasHandle(handle)) return CALDEN_INVALID_HANDLE;
  if (data == nullptr) return CALDEN_INVALID_PARAMETER;
  gStore.append(handle, descriptor, *data, channel, unit);
  return CALDEN_SUCCESS;
}

int32_t retrieve(int32_t handle, int32_t itemNumber, TEDSTemplateFieldArrayStruct* data, int32_t* descriptor,
                 int32_t* channel, int32_t* unit) {
  if (!gStore.hasHandle(handle)) return CALDEN_INVALID_HANDLE;
  if (data == nullptr || descriptor == nullptr || channel == nullptr || unit == nullptr) {
    return CALDEN_INVALID_PARAMETER;
  }
  const auto& records = gStore.records(handle);
  if (itemNumber < 0 || static_cast<std::size_t>(itemNumber) >= records.size()) return CALDEN_ITEM_NOT_FOUND;
  const StoredRecord& record = records[static_cast<std::size_t>(itemNumber)];
  *unit = record.unitNumber;
  *channel = record.channelNumber;
  *descriptor = record.descriptor;
  record.array.expandInto(*data);
  return CALDEN_SUCCESS;
}

int32_t countRecords(int32_t handle) {
  if (!gStore.hasHandle(handle)) return CALDEN_INVALID_HANDLE;
  return static_cast<int32_t>(gStore.records(handle).size());
}

int32_t clearRecords(int32_t handle) {
  if (!gStore.hasHandle(handle)) return CALDEN_INVALID_HANDLE;
  auto& records = gStore.records(handle);
  records.clear();
  records.shrink_to_fit();
  return CALDEN_SUCCESS;
}

int32_t setDelimiter(char delim) {
  // Besides the character 0, a character that ends lines, quotes labels or belongs to
  // numbers would make every file written with it unreadable.
  if (delim == '\0' || std::strchr("\r\n\"-0123456789", delim) != nullptr) return CALDEN_INVALID_PARAMETER;
  gStore.setDelimiter(delim);
  return CALDEN_SUCCESS;
}

}  // namespace

int32_t CreateNewStoredDataStruct(void) {
  return guard(CALDEN_NO_NUMBER, [] { return gStore.createHandle(); });
}

int32_t Calden(int32_t iHandle, int32_t iDescriptor, const TEDSTemplateFieldArrayStruct* ptrData,
               int32_t iChannelNumber, int32_t iUnitNumber) {
  return guard(CALDEN_GENERAL_ERROR,
               [&] { return store(iHandle, iDescriptor, ptrData, iChannelNumber, iUnitNumber); });
}

int32_t RetrieveTedsData(int32_t iHandle, int32_t iItemNumber, TEDSTemplateFieldArrayStruct* ptrData,
                         int32_t* idescriptor, int32_t* iChannelNumber, int32_t* iUnitNumber) {
  return guard(CALDEN_GENERAL_ERROR, [&] {
    return retrieve(iHandle, iItemNumber, ptrData, idescriptor, iChannelNumber, iUnitNumber);
  });
}

int32_t GetNumberOfSavedItems(int32_t iHandle) {
  return guard(CALDEN_GENERAL_ERROR, [&] { return countRecords(iHandle); });
}

int32_t ClearStoredTedsDataStruct(int32_t iHandle) {
  return guard(CALDEN_GENERAL_ERROR, [&] { return clearRecords(iHandle); });
}

int32_t ChangeDelimiter(char delim) {
  return guard(CALDEN_GENERAL_ERROR, [&] { return setDelimiter(delim); });
}
