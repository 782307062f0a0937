#include "record_files.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "base/c_file.h"
#include "base/fixed_meanings.h"
#include "capture.h"
#include "field_model.h"
#include "latin1.h"
#include "template_files.h"
#include "tedskit/dorvia.h"
#include "value_check.h"

namespace teds {
namespace {

namespace fs = std::filesystem;

std::string storeError(int code) {
  char text[128] = "";
  GetErrorCodeString(code, text, sizeof text - 1);
  return text[0] != '\0' ? std::string(text) : describeCode(code);
}

// calden never frees a handle, so one is made for the process and emptied after use.
int32_t recordHandle() {
  static const int32_t handle = CreateNewStoredDataStruct();
  if (handle < 0) throw Failure("cannot create a record store");
  return handle;
}

EngineKind engineOf(const TaggedFieldArray& fields) {
  if (fields.kind == CALDEN_DESCRIPTOR_LMS) return EngineKind::Lms;
  return fields.array.templateID >= tedskit::base::kFirstV10Template ? EngineKind::V10 : EngineKind::Description;
}

// A value read back is held to what an edit of that field may set; the first one it
// could not hold, or nothing. The LMS layouts keep their values in texts of their own
// ("0.000" for a whole number of millimetres), which edits do not take as they stand.
std::optional<std::string> refusedValue(const Teds& teds) {
  if (teds.engine == EngineKind::Lms) return std::nullopt;
  for (const FieldModel& field : fieldModels(teds)) {
    try {
      checkValue(field, trim(latin1ToUtf8(rawValueText(teds, field.index))));
    } catch (const ValueRefused& refused) {
      return refused.what();
    }
  }
  return std::nullopt;
}

}  // namespace

void refuseUnsafeSave(const std::string& file, bool append, bool force, const std::string& existsHint) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(file, error)) || fs::is_directory(file, error)) return;
  if (!append) {
    if (force) return;
    throw FileFailure(file + ": the file exists; " + existsHint);
  }
  const auto stream = tedskit::base::openFile(file.c_str(), "r");
  if (stream && !tedskit::store::holdsRecordsOnly(stream.get())) {
    throw FileFailure(file + ": not a record file; the record was not appended");
  }
}

void saveRecord(Engine& engine, Teds& teds, const std::string& file, bool append, int channel, int unit) {
  const int32_t handle = recordHandle();
  struct Emptied {
    int32_t handle;
    ~Emptied() { ClearStoredTedsDataStruct(handle); }
  } emptied{handle};
  const int32_t stored = Calden(handle, teds.fields->kind, &teds.fields->array, channel, unit);
  if (stored != 0) throw Failure("cannot keep the record: " + storeError(stored));
  sccontrolstruct scc{};
  const bool v10 = teds.engine == EngineKind::V10;
  if (v10) getTemplateSCC(&scc);
  CapturedOutput quiet(STDOUT_FILENO);
  const int32_t result =
      SaveTEDSReadToFile(handle, file.c_str(), append ? 1 : 0, engine.templatesDir().c_str(), v10 ? 1 : 0, scc);
  quiet.finish();
  if (result != 0) throw FileFailure(file + ": cannot save the record: " + storeError(result));
}

RecordLoad loadRecords(Engine& engine, const std::string& file) {
  // Records of V1.0 templates need the TDL engine; load its templates from the template
  // directory before the reader switches to it.
  engine.enterV10();
  engine.leaveV10();
  std::error_code error;
  const auto stream =
      fs::is_directory(file, error) ? tedskit::base::CFile{} : tedskit::base::openFile(file.c_str(), "r");
  if (!stream) throw FileFailure(file + ": cannot read the records: " + storeError(CALDEN_FILE_NOT_FOUND));
  RecordLoad load;
  // The MTS template file of MTS records is opened relative to the working directory:
  // the template directory's, else the shipped one.
  const struct BackTo {
    fs::path dir;
    ~BackTo() {
      std::error_code ignored;
      fs::current_path(dir, ignored);
    }
  } back{fs::current_path(error)};
  const fs::path mts = mtsTemplateFile(engine.templatesDir());
  fs::current_path(mts.empty() ? engine.templatesDir() : mts.parent_path(), error);
  CapturedOutput quiet(STDOUT_FILENO);
  tedskit::store::readRecordBlocks(
      stream.get(), engine.templatesDir().c_str(), tedskit::store::OnBroken::PassOver,
      [&](const tedskit::store::ReadBlock& block) {
        Record record;
        record.teds.fields->kind = block.descriptor;
        record.teds.fields->array = block.array;
        record.teds.engine = engineOf(*record.teds.fields);
        record.channel = block.channelNumber;
        record.unit = block.unitNumber;
        if (const auto refused = refusedValue(record.teds)) {
          load.skipped.push_back({block.firstLine, "the record of template " + std::to_string(block.array.templateID) +
                                                       " holds a value it cannot: " + *refused});
          return;
        }
        load.records.push_back(std::move(record));
      },
      load.skipped);
  quiet.finish();
  std::sort(load.skipped.begin(), load.skipped.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
  return load;
}

}  // namespace teds
