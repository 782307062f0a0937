// ReadTEDSDataFromFile: the blocks of a record file back into stored records.
#include <cstdio>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "base/c_file.h"
#include "base/guard.h"
#include "base/line_reader.h"
#include "record_file_format.h"
#include "record_line_parse.h"
#include "record_store.h"
#include "tedskit/calden.h"
#include "template_layout.h"
#include "text_fields.h"

namespace tedskit::store {

namespace {

using base::LineReader;

// Type lines are at least this long; shorter lines between blocks are passed over.
constexpr std::size_t kShortestTypeLine = 4;
// The longest line a record file may hold, its line end not counted; every line a save
// writes is far shorter.
constexpr std::size_t kMaxLineLength = 511;

class RecordFileReader {
 public:
  RecordFileReader(std::FILE* file, int32_t handle, const char* templateDirectory)
      : lines_(file, kMaxLineLength, LineReader::Overlong::Report),
        handle_(handle),
        templateDirectory_(templateDirectory),
        tagged_(std::make_unique<TaggedFieldArray>()) {}

  int32_t readAll() {
    while (true) {
      const LineReader::Result result = lines_.next(line_);
      if (result == LineReader::Result::End) return CALDEN_SUCCESS;
      if (result == LineReader::Result::TooLong) return CALDEN_FILE_MALFORMED;
      if (line_.size() < kShortestTypeLine) continue;
      if (!readBlock()) return CALDEN_FILE_MALFORMED;
    }
  }

 private:
  bool nextLine() { return lines_.next(line_) == LineReader::Result::Line; }

  // A block from its type line (in line_) on; false when it is malformed or its
  // template cannot be laid out.
  bool readBlock() {
    const auto type = typeOfLine(line_);
    if (!type || line_.size() <= type->name.size()) return false;
    const char delimiter = line_[type->name.size()];

    if (!nextLine()) return false;
    const auto templateLine = parseTemplateLine(line_, delimiter);
    if (!templateLine) return false;
    BlockTemplate block{type->descriptor, templateLine->templateID, 0, templateLine->selectCases};
    if (!templateIDAccepted(*type, block.templateID)) return false;
    const int32_t savedTemplateID = block.templateID;
    if (type->mts && (savedTemplateID == kMtsChipTemplateID || savedTemplateID == kMtsRecordTemplateID)) {
      block.templateID = kMtsTemplateID;
    }

    if (!nextLine()) return false;
    const auto first = parseItemLine(line_, delimiter, {}, {});
    if (!first) return false;
    // A record saved without a manufacturer ID is laid out as for ID 0 and keeps the
    // value it was saved with.
    const auto manufacturerID = manufacturerIDOf(first->value);
    block.manufacturerID = manufacturerID.value_or(0);

    if (layOutTemplate(*tagged_, block, templateDirectory_) != 0) return false;
    TEDSTemplateFieldArrayStruct& array = tagged_->array;
    if (array.numItems < 1 || array.numItems > TEDS_MAX_ITEMS) return false;
    // An MTS record saved under its own ID keeps that ID.
    if (savedTemplateID == kMtsRecordTemplateID) array.templateID = savedTemplateID;
    if (manufacturerID) {
      setFieldText(array.items[0].value, std::to_string(*manufacturerID));
    } else {
      readValue(array.items[0], first->value);
    }

    for (int32_t i = 1; i < array.numItems; ++i) {
      TEDSTemplateFieldStruct& item = array.items[i];
      if (!nextLine()) return false;
      const auto parsed = parseItemLine(line_, delimiter, fieldText(item.label), fieldText(item.units));
      if (!parsed) return false;
      readValue(item, parsed->value);
    }
    Calden(handle_, block.descriptor, &array, first->channelNumber, first->unitNumber);
    return true;
  }

  // Template IDs are 8-bit; an MTS block may also carry the chip's MTS ID (older files,
  // read as the MTS template) or the MTS record ID our saves write.
  static bool templateIDAccepted(const RecordType& type, int32_t templateID) {
    if (type.mts && templateID == kMtsRecordTemplateID) return true;
    return templateID >= 0 && templateID <= kHighestTemplateID;
  }

  LineReader lines_;
  int32_t handle_;
  const char* templateDirectory_;
  std::unique_ptr<TaggedFieldArray> tagged_;
  std::string line_;
};

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
  const EngineStateGuard engineState;
  RecordFileReader reader(file.get(), handle, templateDirectory);
  return reader.readAll();
}

}  // namespace

}  // namespace tedskit::store

int32_t ReadTEDSDataFromFile(int32_t iHandle, const char* szFile, const char* TemplatePath, int32_t* /*v10*/,
                             sccontrolstruct* /*sccp*/) {
  // Out of memory: the blocks read before stay stored.
  return tedskit::base::guard(CALDEN_FILE_MALFORMED,
                              [&] { return tedskit::store::read(iHandle, szFile, TemplatePath); });
}
