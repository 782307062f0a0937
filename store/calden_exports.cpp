// The store's exports over the one process-wide store.
#include <cstring>
#include <new>

#include "record_store.h"
#include "tedskit/calden.h"

namespace {

using tedskit::store::StoredRecord;

tedskit::store::RecordStore& gStore = tedskit::store::recordStore();

}  // namespace

int32_t CreateNewStoredDataStruct(void) {
  try {
    return gStore.createHandle();
  } catch (const std::bad_alloc&) {
    return CALDEN_NO_NUMBER;
  }
}

int32_t Calden(int32_t iHandle, int32_t iDescriptor, const TEDSTemplateFieldArrayStruct* ptrData,
               int32_t iChannelNumber, int32_t iUnitNumber) {
  if (!gStore.hasHandle(iHandle)) {
    return CALDEN_INVALID_HANDLE;
  }
  if (ptrData == nullptr) {
    return CALDEN_INVALID_PARAMETER;
  }
  try {
    gStore.append(iHandle, iDescriptor, *ptrData, iChannelNumber, iUnitNumber);
    return CALDEN_SUCCESS;
  } catch (const std::bad_alloc&) {
    return CALDEN_GENERAL_ERROR;
  }
}

int32_t RetrieveTedsData(int32_t iHandle, int32_t iItemNumber, TEDSTemplateFieldArrayStruct* ptrData,
                         int32_t* idescriptor, int32_t* iChannelNumber, int32_t* iUnitNumber) {
  if (!gStore.hasHandle(iHandle)) {
    return CALDEN_INVALID_HANDLE;
  }
  if (ptrData == nullptr || idescriptor == nullptr || iChannelNumber == nullptr || iUnitNumber == nullptr) {
    return CALDEN_INVALID_PARAMETER;
  }
  const auto& records = gStore.records(iHandle);
  if (iItemNumber < 0 || static_cast<std::size_t>(iItemNumber) >= records.size()) {
    return CALDEN_ITEM_NOT_FOUND;
  }
  const StoredRecord& record = records[static_cast<std::size_t>(iItemNumber)];
  *iUnitNumber = record.unitNumber;
  *iChannelNumber = record.channelNumber;
  *idescriptor = record.descriptor;
  record.array.expandInto(*ptrData);
  return CALDEN_SUCCESS;
}

int32_t GetNumberOfSavedItems(int32_t iHandle) {
  if (!gStore.hasHandle(iHandle)) {
    return CALDEN_INVALID_HANDLE;
  }
  return static_cast<int32_t>(gStore.records(iHandle).size());
}

int32_t ClearStoredTedsDataStruct(int32_t iHandle) {
  if (!gStore.hasHandle(iHandle)) {
    return CALDEN_INVALID_HANDLE;
  }
  auto& records = gStore.records(iHandle);
  records.clear();
  records.shrink_to_fit();
  return CALDEN_SUCCESS;
}

int32_t ChangeDelimiter(char delim) {
  // Besides the character 0, a character that ends lines, quotes labels or belongs to
  // numbers would make every file written with it unreadable.
  if (delim == '\0' || std::strchr("\r\n\"-0123456789", delim) != nullptr) {
    return CALDEN_INVALID_PARAMETER;
  }
  gStore.setDelimiter(delim);
  return CALDEN_SUCCESS;
}
