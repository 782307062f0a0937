#include "description/description_file.h"

#include <cstdio>
#include <vector>

#include "common/file_cache.h"
#include "common/text_util.h"

namespace dorvia {

namespace {

constexpr const char* kDescriptionFile = "TemplateDescription.txt";

std::vector<std::string_view> splitLines(std::string_view content) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    std::size_t end = content.find('\n', pos);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

bool isSearchComment(std::string_view line) {
  return line.empty() || line[0] == ' ' || line[0] == '(' || line[0] == '*';
}

std::string_view firstWord(std::string_view line) {
  std::size_t n = 0;
  while (n < line.size() && line[n] != ' ' && line[n] != '\t' && line[n] != ',') ++n;
  return line.substr(0, n);
}

// "selector <width>, <value>" -> width and value, when both are there.
bool parseSelector(std::string_view line, long long& width, long long& value) {
  std::string_view rest = line.substr(firstWord(line).size());
  std::size_t used = 0;
  if (!parseCInteger(rest, width, &used)) return false;
  rest.remove_prefix(used);
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
  if (rest.empty() || rest.front() != ',') return false;
  rest.remove_prefix(1);
  return parseCInteger(rest, value);
}

std::string buildDescription(const std::vector<std::string_view>& lines, std::size_t start) {
  std::string text(lines[start]);
  text += '\n';
  for (std::size_t i = start + 1; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.empty() || line[0] == '*') continue;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty()) continue;
    if (firstWord(line) == "EndTemplate") {
      text += "EndTemplate\n";
      break;
    }
    text += line;
    text += '\n';
  }
  return text;
}

FileCache<DescriptionIndex>& cache() {
  static FileCache<DescriptionIndex> files(&indexDescriptionFile);
  return files;
}

}  // namespace

DescriptionIndex indexDescriptionFile(std::string_view content) {
  DescriptionIndex index;
  const std::vector<std::string_view> lines = splitLines(content);
  // The template whose width-8 selector line is still to come. The search for it ends
  // at the template's own "EndTemplate" or the next "Template", so a template without
  // such a line never takes the ID of the one after it.
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t pending = kNone;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (isSearchComment(lines[i])) continue;
    const std::string_view word = firstWord(lines[i]);
    if (word == "Template") {
      pending = i;
    } else if (word == "EndTemplate") {
      pending = kNone;
    } else if (pending != kNone && word == "selector") {
      long long width = 0;
      long long value = 0;
      if (!parseSelector(lines[i], width, value) || width != 8) continue;
      const auto id = static_cast<int32_t>(value);
      if (value == id && index.find(id) == index.end()) {
        index.emplace(id, buildDescription(lines, pending));
      }
      pending = kNone;
    }
  }
  return index;
}

int32_t findTemplate(const std::string& path, int32_t templateID, std::string& description) {
  const auto index = cache().get(path);
  if (!index) {
    std::printf("The file %s was not opened\n", path.c_str());
    return kFileNotOpened;
  }
  const auto found = index->find(templateID);
  if (found == index->end()) return kTemplateNotFound;
  description = found->second;
  return 0;
}

std::string standardDescriptionPath(const char* templateDir) {
  return joinPath(trimmedDirectory(templateDir), kDescriptionFile);
}

std::string manufacturerDescriptionPath(const char* templateDir, int32_t manufacturerID) {
  return joinPath(trimmedDirectory(templateDir), std::to_string(manufacturerID) + "_" + kDescriptionFile);
}

}  // namespace dorvia
