// The manufacturer list, read from "Manufacture.txt".
#include <algorithm>
#include <string>
#include <string_view>

#include "base/c_file.h"
#include "base/description_paths.h"
#include "base/guard.h"
#include "base/line_reader.h"
#include "state.h"
#include "tedskit/quillon.h"
#include "text_scan.h"

namespace quillon {

namespace {

using tedskit::base::LineReader;

// IDs 0 to 16 are reserved by IEEE 1451.4 and 2047 marks no manufacturer.
bool isReservedID(int32_t id) { return id <= 16 || id == 2047; }

// Lines read `<id>,"<name>"`; the name may also follow a blank after the comma. Blank
// lines, "*" comments and lines without an ID and a comma are passed over, and an
// "EndTemplate" line ends the list.
int32_t listManufacturers(std::FILE* file, NameList& list) {
  int32_t count = 0;
  LineReader lines(file, kMaxLineLength, LineReader::Overlong::Cut);
  std::string line;
  while (lines.next(line) == LineReader::Result::Line) {
    if (line.empty() || line.front() == '*') continue;
    if (line == "EndTemplate") break;
    std::replace(line.begin(), line.end(), '"', ' ');
    const auto id = leadingDecimal(line);
    if (!id || isReservedID(*id)) continue;
    const std::size_t comma = line.find(',');
    if (comma == std::string::npos) continue;
    list.add(*id, trimmed(std::string_view(line).substr(comma + 1)));
    ++count;
  }
  return count;
}

int32_t manufacturerTable(const char* templateDir, IDNameNode** first) {
  if (first == nullptr) return QUILLON_ERR_MISSING_ARGUMENT;
  const auto file = tedskit::base::openFile(tedskit::base::manufacturerListPath(templateDir).c_str(), "r");
  if (!file) return QUILLON_ERR_FILE_NOT_OPENED;
  NameList& list = state().manufacturers;
  list.clear();
  *first = list.first();
  return listManufacturers(file.get(), list);
}

}  // namespace

}  // namespace quillon

extern "C" {

QUILLON_API int32_t QUILLON_GetManufacturerNameLookupTable(const char* templateDir, IDNameNode** first) {
  return tedskit::base::guard(QUILLON_ERR_MISSING_ARGUMENT,
                              [&] { return quillon::manufacturerTable(templateDir, first); });
}

}  // extern "C"
