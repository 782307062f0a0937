// SaveTEDSReadToFile: every record of a handle into a record file, all or nothing.
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "base/guard.h"
#include "file_transaction.h"
#include "record_block_writer.h"
#include "record_store.h"
#include "tedskit/calden.h"
#include "tedskit/quillon.h"
#include "text_fields.h"

namespace tedskit::store {

namespace {

constexpr int32_t kManufacturerNameSize = 64;

// The name from the manufacturer list of the given directory, without line ends.
std::string lookUpManufacturer(const char* directory, int32_t manufacturerID) {
  char name[kManufacturerNameSize] = {};
  QUILLON_ConvertTEDSManufactureIndexToString(directory != nullptr ? directory : "", manufacturerID, name,
                                              kManufacturerNameSize);
  std::string text(fieldText(name));
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

int32_t save(int32_t handle, const char* path, bool append, const char* manufacturerDirectory,
             const sccontrolstruct* selectCases) {
  RecordStore& store = recordStore();
  if (!store.hasHandle(handle)) return CALDEN_INVALID_HANDLE;
  if (path == nullptr || *path == '\0') return CALDEN_FILE_NOT_FOUND;
  auto file =
      FileTransaction::open(path, append ? FileTransaction::Mode::Append : FileTransaction::Mode::Replace);
  if (!file) return CALDEN_FILE_NOT_FOUND;

  // A file of one sensor's records names one manufacturer: looked up once, not once per
  // record, since every lookup checks the manufacturer list's file anew.
  std::optional<std::pair<int32_t, std::string>> lastName;
  const ManufacturerName manufacturerName = [manufacturerDirectory, &lastName](int32_t id) {
    if (!lastName || lastName->first != id) lastName.emplace(id, lookUpManufacturer(manufacturerDirectory, id));
    return lastName->second;
  };
  const BlockOptions options{store.delimiter(), selectCases, manufacturerName};
  const auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  const StoredRecord* previous = nullptr;
  for (const StoredRecord& record : store.records(handle)) {
    if (previous == nullptr) {
      record.array.expandInto(*array);
    } else {
      record.array.expandOver(previous->array, *array);
    }
    previous = &record;
    const auto block = recordBlock(record, *array, options);
    // The transaction rolls the file back as it goes out of scope.
    if (!block || !file->write(*block)) return CALDEN_GENERAL_ERROR;
  }
  return file->commit() ? CALDEN_SUCCESS : CALDEN_GENERAL_ERROR;
}

}  // namespace

}  // namespace tedskit::store

int32_t SaveTEDSReadToFile(int32_t iHandle, const char* szPath, int32_t append, const char* szManufactPath,
                           int32_t v10, sccontrolstruct scc) {
  // Out of memory or an unusable path: nothing was written.
  return tedskit::base::guard(CALDEN_GENERAL_ERROR, [&] {
    return tedskit::store::save(iHandle, szPath, append != 0, szManufactPath, v10 == 1 ? &scc : nullptr);
  });
}
