// Template form text -> field array.
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/line_reader.h"
#include "base/selector_line.h"
#include "accessors/accessors.h"
#include "form/form_conversion.h"
#include "form/form_parts.h"
#include "common/text_util.h"

namespace dorvia {

namespace {

constexpr std::size_t kMaxFormText = 65535;
constexpr std::size_t kMaxAbstractLine = 127;
// The row after the last item holds "EndTemplate", so one row stays free.
constexpr int32_t kMaxFieldItems = TEDS_MAX_ITEMS - 1;

std::string_view firstWord(std::string_view line, std::size_t& at) {
  at = 0;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  std::size_t end = at;
  while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
  return line.substr(at, end - at);
}

double number(const Part& part) { return std::strtod(std::string(part.text).c_str(), nullptr); }

// The next part when it is a free item; a "DATA" part stays for the value.
Part freeItem(PartReader& parts) {
  if (equalsNoCase(parts.peek().text, "DATA")) return Part{};
  return parts.next();
}

class AbstractWriter {
 public:
  explicit AbstractWriter(char (&text)[TEDS_ABSTRACT_SIZE]) : text_(text) { text_[0] = '\0'; }

  void appendLine(std::string_view line) {
    line = line.substr(0, kMaxAbstractLine);
    // Room for the line, its newline and the terminator, or nothing at all.
    if (length_ + line.size() + 2 > TEDS_ABSTRACT_SIZE) return;
    line.copy(text_ + length_, line.size());
    length_ += line.size();
    text_[length_++] = '\n';
    text_[length_] = '\0';
  }

 private:
  char (&text_)[TEDS_ABSTRACT_SIZE];
  std::size_t length_ = 0;
};

// One field line into its item; false when the line does not describe a field.
bool fillItem(std::string_view line, TEDSTemplateFieldStruct& item, bool withValues) {
  PartReader parts(line);
  const Part labelPart = parts.next();
  const Part access = parts.next();
  const Part width = parts.next();
  const Part type = parts.next();
  for (const Part* part : {&labelPart, &access, &width, &type}) {
    if (part->text.empty() || equalsNoCase(part->text, "EndTemplate")) return false;
  }
  int32_t datatype = datatypeOf(type.text);
  if (datatype == 0) return false;
  if (equalsNoCase(labelPart.text, label::kUserData)) datatype = TEDS_DT_ASCII;

  setFieldText(item.label, labelPart.text);
  item.access = equalsNoCase(access.text, "RO") ? 0 : 1;
  item.datatype = datatype;
  item.start = 0.0;
  item.step = 0.0;
  item.param3 = 0.0;
  item.width = 0;
  item.units[0] = '\0';
  switch (datatype) {
    case TEDS_DT_UNINT: {
      const Part sample = freeItem(parts);
      item.width = sample.text.empty() ? 1 : static_cast<int32_t>(sample.text.size());
      break;
    }
    case TEDS_DT_CONRELRES:
    case TEDS_DT_CONRES: {
      // A relative-resolution number has three numbers, a resolution number two; the
      // format sample's length, less the numbers' count, is the display width.
      const int numbers = datatype == TEDS_DT_CONRELRES ? 3 : 2;
      item.start = number(parts.next());
      item.step = number(parts.next());
      if (numbers == 3) item.param3 = number(parts.next());
      const Part sample = freeItem(parts);
      const auto shown = static_cast<int32_t>(sample.text.size()) - numbers;
      item.width = shown < 0 ? 0 : shown;
      setFieldText(item.units, freeItem(parts).text);
      break;
    }
    default:
      break;
  }
  if (withValues) {
    while (!parts.atEnd()) {
      if (equalsNoCase(parts.next().text, "DATA")) {
        setFieldText(item.value, parts.next().text);
        break;
      }
    }
  }
  return true;
}

}  // namespace

int32_t parseFormText(std::string_view text, TEDSTemplateFieldArrayStruct& array, bool withValues) {
  array.reserved = 0;
  text = text.substr(0, kMaxFormText);
  AbstractWriter abstract(array.abstractText);
  int32_t fieldLines = 0;
  int32_t rows = 0;
  bool ended = false;
  tedskit::base::TextLines lines(text, tedskit::base::TextLines::Ends::NewlineOrReturn);
  std::string_view line;
  while (rows < TEDS_LINE_ROWS && !ended && lines.next(line)) {
    setFieldText(array.formLines[rows++], line);
    setFieldText(array.templateLines[fieldLines], line);
    std::size_t at = 0;
    const std::string_view word = firstWord(line, at);
    if (equalsNoCase(word, "Template")) {
      const std::size_t nameAt = at + 9;
      setFieldText(array.templateName, nameAt < line.size() ? line.substr(nameAt) : "");
    } else if (equalsNoCase(word, "Abstract")) {
      std::string_view rest = line.substr(at + word.size());
      while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
      abstract.appendLine(rest);
    } else if (equalsNoCase(word, "selector")) {
      const auto selector = tedskit::base::parseSelectorLine(line.substr(at + word.size()));
      if (selector && selector->width == 8 && selector->value) {
        array.templateID = static_cast<int32_t>(*selector->value);
      }
    } else if (equalsNoCase(word, "EndTemplate")) {
      ended = true;
    } else if (!equalsNoCase(word, "crc8") && !equalsNoCase(word, "spacing") &&
               !equalsNoCase(word, "align")) {
      // A field line keeps its row; past the last item there is no room for more.
      if (fieldLines < kMaxFieldItems) ++fieldLines;
    }
  }
  // Rows not written by this text must not show an earlier text's lines.
  for (int32_t r = rows; r < TEDS_LINE_ROWS; ++r) array.formLines[r][0] = '\0';
  if (!ended) array.templateLines[fieldLines][0] = '\0';

  // Items stop at the first line that does not describe a field; only items that were
  // filled count, so no item of an earlier use of the array can be found by label.
  int32_t items = 0;
  while (items < fieldLines &&
         fillItem(fieldText(array.templateLines[items]), array.items[items], withValues)) {
    ++items;
  }
  array.numItems = items;
  array.validMarker = TEDS_FIELD_ARRAY_VALID;
  return 0;
}

}  // namespace dorvia
