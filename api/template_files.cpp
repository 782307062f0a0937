#include "template_files.h"

#include <cctype>
#include <fstream>
#include <optional>
#include <regex>

#include "base/description_paths.h"
#include "failure.h"
#include "latin1.h"

namespace teds {
namespace {

namespace fs = std::filesystem;

struct V10Choice {
  fs::path file;
  fs::path fallbackDir;
};

std::optional<V10Choice>& v10Choice() {
  static std::optional<V10Choice> choice;
  return choice;
}

constexpr std::size_t kLongestListLine = 4096;

}  // namespace

void chooseV10TemplateFile(fs::path file, fs::path fallbackDir) {
  v10Choice() = V10Choice{std::move(file), std::move(fallbackDir)};
}

fs::path v10TemplateFile(const fs::path& templatesDir) {
  const fs::path own = templatesDir / kV10TemplateFileName;
  const auto& choice = v10Choice();
  if (!choice) return own;
  if (!choice->file.empty()) return choice->file;
  std::error_code error;
  if (fs::exists(own, error) || choice->fallbackDir.empty()) return own;
  return choice->fallbackDir / kV10TemplateFileName;
}

fs::path mtsTemplateFile(const fs::path& templatesDir) {
  std::error_code error;
  if (fs::exists(templatesDir / kMtsTemplateFileName, error)) return templatesDir / kMtsTemplateFileName;
  const auto& choice = v10Choice();
  if (choice && !choice->fallbackDir.empty() &&
      fs::exists(choice->fallbackDir / kMtsTemplateFileName, error)) {
    return choice->fallbackDir / kMtsTemplateFileName;
  }
  return {};
}

std::string tdlFault(const fs::path& file, const std::string& printed) {
  static const std::regex syntax(R"(^ERROR: (.*) in statement (\d+)\.$)");
  const std::string text = trim(latin1ToUtf8(printed));
  const std::string firstLine = text.substr(0, text.find('\n'));
  std::smatch match;
  if (std::regex_match(firstLine, match, syntax)) {
    return file.string() + ":" + match[2].str() + ": " + match[1].str();
  }
  return file.string() + ": " + firstLine;
}

int firstBadManufacturerLine(std::istream& list) {
  // ID, then a comma and the name in double quotes, blanks allowed around each.
  static const std::regex entry(R"(^[ \t]*[0-9]+[ \t]*,[ \t]*"[^"]*"[ \t]*$)");
  std::string line;
  for (int number = 1; std::getline(list, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string text = trim(line);
    if (text.empty() || text.front() == '*') continue;
    if (text == "EndTemplate") return 0;
    if (line.size() > kLongestListLine || !std::regex_match(line, entry)) return number;
  }
  return 0;
}

void checkManufacturerList(const fs::path& templatesDir) {
  const std::string path = tedskit::base::manufacturerListPath(templatesDir.string().c_str());
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  const int bad = firstBadManufacturerLine(in);
  if (bad == 0) return;
  in.clear();
  in.seekg(0);
  std::string line;
  for (int number = 1; number <= bad; ++number) std::getline(in, line);
  throw Failure(path + ":" + std::to_string(bad) +
                ": not a manufacturer line (ID, \"NAME\"): " + latin1ToUtf8(trim(line).substr(0, 60)));
}

}  // namespace teds
