#include "accessors/manufacturers.h"

#include <array>
#include <cstdlib>

#include "base/description_paths.h"
#include "base/line_reader.h"
#include "common/file_cache.h"
#include "common/text_util.h"

namespace dorvia {

namespace {

constexpr const char* kUnknown = "Unknown Manufacture";

const std::array<std::string, 24>& builtInNames() {
  static const std::array<std::string, 24> names = [] {
    std::array<std::string, 24> table;
    table[0] = "IEEE 1451.4 full compliant with IEEE 1451.2";
    table[1] = "IEEE 1451.4 - Node List";
    table[2] = "IEEE 1451.4 - Non-Compact TEDS only";
    table[3] = "Virtual TEDS";
    for (int id = 4; id <= 16; ++id) table[id] = "Future Use (" + std::to_string(id) + ")";
    table[17] = "Bruel & Kjaer";
    table[18] = "Velmora - member of Quorvel group";
    table[19] = "Kistler";
    table[20] = "Reserved for beta compliance";
    table[21] = "Wilcoxon";
    table[22] = "Endevco";
    table[23] = "Quorvel";
    return table;
  }();
  return names;
}

// The ID part must be a decimal number (blanks around it allowed); anything else makes
// the line malformed rather than silently ID 0.
std::optional<int32_t> parseID(std::string_view text) {
  std::size_t from = 0;
  std::size_t to = text.size();
  while (from < to && (text[from] == ' ' || text[from] == '\t')) ++from;
  while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t')) --to;
  text = text.substr(from, to - from);
  std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  if (i == text.size() || text.size() > 10) return std::nullopt;
  for (std::size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return std::nullopt;
  }
  return static_cast<int32_t>(std::strtol(std::string(text).c_str(), nullptr, 10));
}

FileCache<ManufacturerList>& cache() {
  static FileCache<ManufacturerList> files(&parseManufacturerFile);
  return files;
}

std::shared_ptr<const ManufacturerList> fileFor(const char* templateDir) {
  return cache().get(tedskit::base::manufacturerListPath(templateDir));
}

}  // namespace

ManufacturerList parseManufacturerFile(std::string_view content) {
  ManufacturerList list;
  tedskit::base::TextLines lines(content);
  std::string_view line;
  while (lines.next(line)) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (containsNoCase(line, "EndTemplate")) break;
    if (line.empty() || line.front() == '*') continue;
    // "<id>, ... \"<name>\"": the ID before the first comma, the name between the next
    // pair of double quotes.
    const std::size_t comma = line.find(',');
    if (comma == 0 || comma == std::string_view::npos) continue;
    const std::size_t open = line.find('"', comma + 1);
    if (open == std::string_view::npos) continue;
    std::size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos) close = line.size();
    std::string_view name = line.substr(open + 1, close - open - 1);
    while (!name.empty() && (name.back() == '\r' || name.back() == '\n')) name.remove_suffix(1);
    const std::optional<int32_t> id = parseID(line.substr(0, comma));
    if (!id || name.empty()) continue;
    list.emplace_back(*id, std::string(name));
  }
  return list;
}

std::string manufacturerName(const char* templateDir, int32_t id) {
  if (const auto list = fileFor(templateDir)) {
    for (const auto& [lineID, name] : *list) {
      if (lineID == id) return name;
    }
    return kUnknown;
  }
  if (id >= 0 && id < static_cast<int32_t>(builtInNames().size())) return builtInNames()[id];
  return kUnknown;
}

int32_t manufacturerID(const char* templateDir, std::string_view name) {
  if (const auto list = fileFor(templateDir)) {
    for (const auto& [lineID, lineName] : *list) {
      if (equalsNoCase(lineName, name)) return lineID;
    }
    return -1;
  }
  int32_t found = -1;
  for (std::size_t id = 0; id < builtInNames().size(); ++id) {
    if (equalsNoCase(builtInNames()[id], name)) found = static_cast<int32_t>(id);
  }
  return found;
}

}  // namespace dorvia
