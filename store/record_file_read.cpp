// The blocks of a record file, read back into field arrays laid out by their templates.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/line_reader.h"
#include "record_file_format.h"
#include "record_file_scan.h"
#include "record_line_parse.h"
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

struct Broken {
  std::string reason;
};

bool sameTemplate(const BlockTemplate& a, const BlockTemplate& b) {
  return a.descriptor == b.descriptor && a.templateID == b.templateID && a.manufacturerID == b.manufacturerID &&
         std::memcmp(&a.selectCases, &b.selectCases, sizeof a.selectCases) == 0;
}

// The layout of the block read last, kept so that a run of blocks of one template is laid
// out once: laying out costs far more than reading a block's values. Only the last one is
// kept, so the engines are left by each block in the state its own layout leaves them,
// as when every block was laid out anew. Between two blocks only the array's head and
// items change (the values read, the ID of an MTS record); the rest stays as laid out.
class LastLayout {
 public:
  bool matches(const BlockTemplate& block) const { return held_ && sameTemplate(block_, block); }

  void keep(const BlockTemplate& block, const TaggedFieldArray& tagged) {
    block_ = block;
    kind_ = tagged.kind;
    std::memcpy(head_.data(), &tagged.array, kHeadSize);
    const auto count = static_cast<std::size_t>(tagged.array.numItems);
    items_.assign(tagged.array.items, tagged.array.items + count);
    held_ = true;
  }

  void restore(TaggedFieldArray& tagged) const {
    tagged.kind = kind_;
    std::memcpy(&tagged.array, head_.data(), kHeadSize);
    std::copy(items_.begin(), items_.end(), tagged.array.items);
  }

  void forget() { held_ = false; }

 private:
  static constexpr std::size_t kHeadSize = offsetof(TEDSTemplateFieldArrayStruct, formLines);
  bool held_ = false;
  BlockTemplate block_{};
  int32_t kind_ = 0;
  std::array<unsigned char, kHeadSize> head_{};
  std::vector<TEDSTemplateFieldStruct> items_;
};

class RecordFileReader {
 public:
  RecordFileReader(std::FILE* file, const char* templateDirectory, OnBroken onBroken, const BlockSink& sink,
                   std::vector<BrokenBlock>& broken)
      // One character more than a line may hold tells an overlong line, cut, from a full one.
      : lines_(file, kMaxLineLength + 1, LineReader::Overlong::Cut),
        templateDirectory_(templateDirectory),
        onBroken_(onBroken),
        sink_(sink),
        broken_(broken),
        tagged_(std::make_unique<TaggedFieldArray>()) {}

  int32_t readAll() {
    bool pending = false;  // line_ holds a line that may start a block
    while (pending || fetch()) {
      pending = false;
      if (overlong_) {
        if (!report("the line is longer than 511 characters")) return CALDEN_FILE_MALFORMED;
        pending = passOver();
        continue;
      }
      if (line_.size() < kShortestTypeLine) continue;
      const int64_t typeLine = lineNumber_;
      const auto failure = readBlock(typeLine);
      if (!failure) continue;
      if (!report(failure->reason)) return CALDEN_FILE_MALFORMED;
      // The line that broke a block after its type line may itself start the next block.
      pending = lineNumber_ != typeLine && !overlong_ && typeOfLine(line_) ? true : passOver();
    }
    return broken_.empty() ? CALDEN_SUCCESS : CALDEN_FILE_MALFORMED;
  }

 private:
  // The next line into line_; false at the end of the file.
  bool fetch() {
    if (lines_.next(line_) == LineReader::Result::End) return false;
    ++lineNumber_;
    overlong_ = line_.size() > kMaxLineLength;
    return true;
  }

  // false when reading stops here.
  bool report(std::string reason) {
    broken_.push_back({lineNumber_, std::move(reason)});
    return onBroken_ == OnBroken::PassOver;
  }

  // Lines up to the next type line, which is left in line_; false at the end of the file.
  bool passOver() {
    while (fetch()) {
      if (!overlong_ && line_.size() >= kShortestTypeLine && typeOfLine(line_)) return true;
    }
    return false;
  }

  std::optional<Broken> nextLine(const char* what) {
    if (!fetch()) return Broken{std::string("the file ends before ") + what};
    if (overlong_) return Broken{"the line is longer than 511 characters"};
    return std::nullopt;
  }

  // A block from its type line (in line_) on; what is wrong with it, or nothing.
  std::optional<Broken> readBlock(int64_t typeLine) {
    const auto type = typeOfLine(line_);
    if (!type) return Broken{"not the type line of a record block"};
    if (line_.size() <= type->name.size()) return Broken{"no delimiter after the type name"};
    const char delimiter = line_[type->name.size()];

    if (auto failure = nextLine("the template line")) return failure;
    const auto templateLine = parseTemplateLine(line_, delimiter);
    if (!templateLine) return Broken{"no template ID on the template line"};
    BlockTemplate block{type->descriptor, templateLine->templateID, 0, templateLine->selectCases};
    if (!templateIDAccepted(*type, block.templateID)) {
      return Broken{"template ID " + std::to_string(block.templateID) + " is outside 0 to 255"};
    }
    const int32_t savedTemplateID = block.templateID;
    if (type->mts && (savedTemplateID == kMtsChipTemplateID || savedTemplateID == kMtsRecordTemplateID)) {
      block.templateID = kMtsTemplateID;
    }

    if (auto failure = nextLine("the item lines")) return failure;
    const auto first = parseItemLine(line_, delimiter, {}, {});
    if (!first) return Broken{"not an item line (\"LABEL\", value, units)"};
    // A record saved without a manufacturer ID is laid out as for ID 0 and keeps the
    // value it was saved with.
    const auto manufacturerID = manufacturerIDOf(first->value);
    block.manufacturerID = manufacturerID.value_or(0);

    TEDSTemplateFieldArrayStruct& array = tagged_->array;
    if (lastLayout_.matches(block)) {
      lastLayout_.restore(*tagged_);
    } else {
      lastLayout_.forget();
      laidOutSinceHanded_ = true;
      if (layOutTemplate(*tagged_, block, templateDirectory_) != 0 || array.numItems < 1 ||
          array.numItems > TEDS_MAX_ITEMS) {
        return Broken{std::string(type->name) + " " + std::to_string(block.templateID) +
                      " is not in the template files"};
      }
      lastLayout_.keep(block, *tagged_);
    }
    // An MTS record saved under its own ID keeps that ID.
    if (savedTemplateID == kMtsRecordTemplateID) array.templateID = savedTemplateID;
    if (manufacturerID) {
      setFieldText(array.items[0].value, std::to_string(*manufacturerID));
    } else {
      readValue(array.items[0], first->value);
    }

    for (int32_t i = 1; i < array.numItems; ++i) {
      TEDSTemplateFieldStruct& item = array.items[i];
      if (!fetch()) {
        return Broken{"the file ends before the " + std::to_string(array.numItems) + " item lines of template " +
                      std::to_string(array.templateID) + " are complete"};
      }
      if (overlong_) return Broken{"the line is longer than 511 characters"};
      const auto parsed = parseItemLine(line_, delimiter, fieldText(item.label), fieldText(item.units));
      if (!parsed) {
        return Broken{"item " + std::to_string(i + 1) + " of " + std::to_string(array.numItems) +
                      " of template " + std::to_string(array.templateID) + " is not an item line"};
      }
      readValue(item, parsed->value);
    }
    // Blocks of one layout differ only in its head and its items; the layout's other rows
    // stay as laid out.
    std::span<const WordRange> changed;
    if (handedOne_ && !laidOutSinceHanded_) {
      changedWords_[1].end = changedWords_[1].first + static_cast<std::size_t>(array.numItems) * kItemWords;
      changed = changedWords_;
    }
    sink_(ReadBlock{typeLine, block.descriptor, first->channelNumber, first->unitNumber, array, changed});
    handedOne_ = true;
    laidOutSinceHanded_ = false;
    return std::nullopt;
  }

  // Template IDs are 8-bit; an MTS block may also carry the chip's MTS ID (older files,
  // read as the MTS template) or the MTS record ID our saves write.
  static bool templateIDAccepted(const RecordType& type, int32_t templateID) {
    if (type.mts && templateID == kMtsRecordTemplateID) return true;
    return templateID >= 0 && templateID <= kHighestTemplateID;
  }

  LineReader lines_;
  const char* templateDirectory_;
  OnBroken onBroken_;
  const BlockSink& sink_;
  std::vector<BrokenBlock>& broken_;
  std::unique_ptr<TaggedFieldArray> tagged_;
  static constexpr std::size_t kItemWords = sizeof(TEDSTemplateFieldStruct) / sizeof(uint64_t);
  static_assert(offsetof(TEDSTemplateFieldArrayStruct, formLines) % sizeof(uint64_t) == 0 &&
                    offsetof(TEDSTemplateFieldArrayStruct, items) % sizeof(uint64_t) == 0 &&
                    sizeof(TEDSTemplateFieldStruct) % sizeof(uint64_t) == 0,
                "the head and the items are whole words");

  LastLayout lastLayout_;
  // Whether a block was handed to the sink, and whether a layout was made since.
  bool handedOne_ = false;
  bool laidOutSinceHanded_ = false;
  // The head, and the items (their end set for each block).
  std::array<WordRange, 2> changedWords_{
      WordRange{0, offsetof(TEDSTemplateFieldArrayStruct, formLines) / sizeof(uint64_t)},
      WordRange{offsetof(TEDSTemplateFieldArrayStruct, items) / sizeof(uint64_t), 0}};
  std::string line_;
  int64_t lineNumber_ = 0;
  bool overlong_ = false;
};

}  // namespace

int32_t readRecordBlocks(std::FILE* file, const char* templateDirectory, OnBroken onBroken,
                         const BlockSink& sink, std::vector<BrokenBlock>& broken) {
  const EngineStateGuard engineState;
  RecordFileReader reader(file, templateDirectory, onBroken, sink, broken);
  return reader.readAll();
}

bool holdsRecordsOnly(std::FILE* file) {
  LineReader lines(file, kMaxLineLength + 1, LineReader::Overlong::Cut);
  std::string line;
  while (lines.next(line) == LineReader::Result::Line) {
    if (line.size() >= kShortestTypeLine)
      return line.size() <= kMaxLineLength && typeOfLine(line).has_value();
  }
  return !std::ferror(file);
}

}  // namespace tedskit::store
