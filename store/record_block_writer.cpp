#include "record_block_writer.h"

#include <algorithm>
#include <string_view>

#include "tedskit/calden.h"
#include "text_fields.h"

namespace tedskit::store {

namespace {

constexpr int32_t kMaxSelectCases = 16;

// Lines end at a newline, so no written text may hold a line end.
bool fitsOnALine(std::string_view text) { return text.find_first_of("\r\n") == std::string_view::npos; }

class Block {
 public:
  explicit Block(char delimiter) : delimiter_(delimiter) {}

  Block& text(std::string_view text) {
    if (!fitsOnALine(text)) broken_ = true;
    text_.append(text);
    return *this;
  }
  Block& number(int64_t number) { return text(std::to_string(number)); }
  Block& delimiter() {
    text_.push_back(delimiter_);
    return *this;
  }
  Block& endLine() {
    text_.push_back('\n');
    return *this;
  }

  std::optional<std::string> finished() && {
    if (broken_) return std::nullopt;
    return std::move(text_);
  }

 private:
  char delimiter_;
  std::string text_;
  bool broken_ = false;
};

// The unit and channel numbers before every item line, each one above its value. A unit
// number always comes with a channel number (0 for none), so that a lone number is
// always the channel's.
std::string numberPrefix(const StoredRecord& record, char delimiter) {
  std::string prefix;
  const auto add = [&](int64_t number) {
    prefix.append(std::to_string(number + 1));
    prefix.push_back(delimiter);
  };
  if (record.unitNumber != CALDEN_NO_NUMBER) {
    add(record.unitNumber);
    add(record.channelNumber);
  } else if (record.channelNumber != CALDEN_NO_NUMBER) {
    add(record.channelNumber);
  }
  return prefix;
}

}  // namespace

std::optional<std::string> recordBlock(const StoredRecord& record, const TEDSTemplateFieldArrayStruct& array,
                                       const BlockOptions& options) {
  const auto type = typeOfRecord(record.descriptor, array.templateID);
  if (!type) return std::nullopt;

  Block block(options.delimiter);
  block.text(type->name).delimiter().number(type->number).endLine();

  block.text(fieldText(array.templateName)).delimiter().number(array.templateID);
  if (options.selectCases != nullptr) {
    // A count outside 0 to 16 holds no values.
    const int32_t count = options.selectCases->count;
    const int32_t written = count >= 0 && count <= kMaxSelectCases ? count : 0;
    block.delimiter().number(written);
    for (int32_t i = 0; i < written; ++i) block.delimiter().number(options.selectCases->values[i]);
  }
  block.endLine();

  const std::string prefix = numberPrefix(record, options.delimiter);
  const int32_t items = std::clamp(array.numItems, 0, TEDS_MAX_ITEMS);
  for (int32_t i = 0; i < items; ++i) {
    const TEDSTemplateFieldStruct& item = array.items[i];
    const auto value = writtenValue(item, options.manufacturerName);
    if (!value) return std::nullopt;
    block.text(prefix).text("\"").text(fieldText(item.label)).text("\"").delimiter();
    block.text(*value).delimiter().text(fieldText(item.units)).endLine();
  }
  block.endLine().endLine();
  return std::move(block).finished();
}

}  // namespace tedskit::store
