// Field array -> template form text: each item's value goes into its field line.
#include <array>
#include <string>

#include "form/form_conversion.h"
#include "form/form_parts.h"
#include "common/text_util.h"

namespace dorvia {

namespace {

constexpr std::size_t kNoData = std::string_view::npos;

// Offset of the first unquoted part "DATA" of a line, or kNoData.
std::size_t dataPart(std::string_view line) {
  PartReader parts(line);
  while (!parts.atEnd()) {
    const Part part = parts.next();
    if (!part.quoted && part.text == "DATA") return part.start;
  }
  return kNoData;
}

std::string rewrittenLine(std::string_view line, std::size_t dataAt, const TEDSTemplateFieldStruct& item) {
  const std::size_t comma = line.rfind(',', dataAt);
  std::string result(line.substr(0, comma == std::string_view::npos ? dataAt : comma));
  result += ", DATA, ";
  const std::string_view value = fieldText(item.value);
  if (item.datatype == TEDS_DT_ASCII) {
    result += '"';
    result += value;
    result += '"';
  } else {
    result += value;
  }
  return result;
}

}  // namespace

int32_t writeFormText(TEDSTemplateFieldArrayStruct& array, char* text, int32_t size) {
  // Rows still waiting for their value, with where their "DATA" stands.
  std::array<std::size_t, TEDS_LINE_ROWS> pending{};
  for (int32_t r = 0; r < TEDS_LINE_ROWS; ++r) pending[r] = dataPart(fieldText(array.formLines[r]));

  const int32_t count = array.numItems < 0                ? 0
                        : array.numItems > TEDS_MAX_ITEMS ? TEDS_MAX_ITEMS
                                                          : array.numItems;
  for (int32_t i = 0; i < count; ++i) {
    const TEDSTemplateFieldStruct& item = array.items[i];
    const std::string_view itemLabel = fieldText(item.label);
    for (int32_t r = 0; r < TEDS_LINE_ROWS; ++r) {
      if (pending[r] == kNoData) continue;
      const std::string_view line = fieldText(array.formLines[r]);
      if (!equalsNoCase(PartReader(line).next().text, itemLabel)) continue;
      setFieldText(array.formLines[r], rewrittenLine(line, pending[r], item));
      pending[r] = kNoData;
      break;
    }
  }

  std::size_t used = 0;
  const auto room = static_cast<std::size_t>(size);
  for (int32_t r = 0; r < TEDS_LINE_ROWS; ++r) {
    const std::string_view line = fieldText(array.formLines[r]);
    if (used + line.size() + 2 > room) {
      text[used] = '\0';
      return -21;
    }
    line.copy(text + used, line.size());
    used += line.size();
    text[used++] = '\n';
    if (containsNoCase(line, "EndTemplate")) break;
  }
  text[used] = '\0';
  return 0;
}

}  // namespace dorvia
