// ReadTEDSDataFromFile: the blocks of a record file into stored records, up to the first
// broken block.
#include <sys/stat.h>

#include "base/c_file.h"
#include "base/guard.h"
#include "record_file_scan.h"
#include "record_store.h"
#include "tedskit/calden.h"

namespace tedskit::store {

namespace {

// A directory opens for reading but has no lines.
bool isDirectory(std::FILE* file) {
  struct stat status {};
  return ::fstat(::fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
}

int32_t read(int32_t handle, const char* path, const char* templateDirectory) {
  if (!recordStore().hasHandle(handle)) return CALDEN_INVALID_HANDLE;
  if (path == nullptr) return CALDEN_FILE_NOT_FOUND;
  const auto file = base::openFile(path, "r");
  if (!file || isDirectory(file.get())) return CALDEN_FILE_NOT_FOUND;
  std::vector<BrokenBlock> broken;
  return readRecordBlocks(
      file.get(), templateDirectory, OnBroken::Stop,
      [handle](const ReadBlock& block) {
        if (block.changedWords.empty()) {
          Calden(handle, block.descriptor, &block.array, block.channelNumber, block.unitNumber);
          return;
        }
        // Stored as Calden stores, reading only the words the block may have changed; a
        // record that cannot be stored is passed over as Calden's failure is.
        base::guard([&] {
          recordStore().appendChangedFromLast(handle, block.descriptor, block.array, block.channelNumber,
                                              block.unitNumber, block.changedWords);
        });
      },
      broken);
}

}  // namespace

}  // namespace tedskit::store

int32_t ReadTEDSDataFromFile(int32_t iHandle, const char* szFile, const char* TemplatePath, int32_t* /*v10*/,
                             sccontrolstruct* /*sccp*/) {
  // Out of memory: the blocks read before stay stored.
  return tedskit::base::guard(CALDEN_FILE_MALFORMED,
                              [&] { return tedskit::store::read(iHandle, szFile, TemplatePath); });
}
