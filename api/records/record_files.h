// Record files: decoded TEDS saved as blocks of text lines and read back, for the tool
// and libtedskit alike. A save never replaces a file it was not told to and never adds
// to a file that is not a record file; a load passes over broken blocks and says where
// each one is and why.
#ifndef TEDSKIT_API_RECORDS_RECORD_FILES_H
#define TEDSKIT_API_RECORDS_RECORD_FILES_H

#include <string>
#include <vector>

#include "engine.h"
#include "failure.h"
#include "store/record_file_scan.h"
#include "tedskit/calden.h"

namespace teds {

// Refuses (FileFailure) to replace an existing file without force, and to append to a
// file that is not a record file. existsHint tells the user what to give instead.
void refuseUnsafeSave(const std::string& file, bool append, bool force,
                      const std::string& existsHint = "give --append to add the record to it or --force to replace it");

// Saves a decoded TEDS as one record, replacing the file or added to its end; a failed
// save leaves the file as it was.
void saveRecord(Engine& engine, Teds& teds, const std::string& file, bool append, int channel = CALDEN_NO_NUMBER,
                int unit = CALDEN_NO_NUMBER);

struct Record {
  Teds teds;
  int channel = CALDEN_NO_NUMBER;
  int unit = CALDEN_NO_NUMBER;
};

struct RecordLoad {
  std::vector<Record> records;
  // Broken blocks and records holding a value their field cannot, in file order.
  std::vector<tedskit::store::BrokenBlock> skipped;
};

// The good records of a file. A file that cannot be opened is a FileFailure.
RecordLoad loadRecords(Engine& engine, const std::string& file);

}  // namespace teds

#endif
