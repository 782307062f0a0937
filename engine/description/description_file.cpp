#include "description/description_file.h"

#include <cstdio>
#include <vector>

#include "base/description_paths.h"
#include "base/line_reader.h"
#include "base/selector_line.h"
#include "common/file_cache.h"
#include "common/text_util.h"

namespace dorvia {

namespace {

std::vector<std::string_view> splitLines(std::string_view content) {
  std::vector<std::string_view> lines;
  tedskit::base::TextLines text(content);
  std::string_view line;
  while (text.next(line)) lines.push_back(line);
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
      const auto selector = tedskit::base::parseSelectorLine(lines[i].substr(word.size()));
      if (!selector || selector->width != 8 || !selector->value) continue;
      // A value beyond 32 bits names no template, but still ends the search.
      const auto id = tedskit::base::templateIdOf(selector);
      if (id && index.find(*id) == index.end()) index.emplace(*id, buildDescription(lines, pending));
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
  return tedskit::base::standardDescriptionPath(templateDir);
}

std::string manufacturerDescriptionPath(const char* templateDir, int32_t manufacturerID) {
  return tedskit::base::manufacturerDescriptionPath(templateDir, manufacturerID);
}

}  // namespace dorvia
