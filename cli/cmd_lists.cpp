#include <algorithm>
#include <charconv>
#include <iostream>

#include <unistd.h>

#include "capture.h"
#include "base/description_paths.h"
#include "commands.h"
#include "engine.h"
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"

namespace teds {
namespace {

namespace fs = std::filesystem;

struct Listed {
  std::string kind;
  int manufacturer = -1;
  int id = 0;
  std::string name;  // UTF-8
};

void appendList(std::vector<Listed>& out, const std::string& kind, int manufacturer, const IDNameNode* node,
                int count) {
  for (int i = 0; i < count && node != nullptr; ++i, node = node->next) {
    out.push_back({kind, manufacturer, node->id, latin1ToUtf8(node->name)});
  }
}

// Manufacturer IDs with a template file of their own ("17_TemplateDescription.txt").
std::vector<int> manufacturerFiles(const fs::path& dir) {
  std::vector<int> ids;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    const std::string name = entry.path().filename().string();
    const auto underscore = name.find('_');
    if (underscore == std::string::npos || name.substr(underscore + 1) != tedskit::base::kDescriptionFileName)
      continue;
    int id = 0;
    const auto [ptr, ec] = std::from_chars(name.data(), name.data() + underscore, id);
    if (ec == std::errc{} && ptr == name.data() + underscore) ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

void listDescription(std::vector<Listed>& out, const Context& context, int kind, int manufacturer) {
  IDNameNode* first = nullptr;
  CapturedOutput quiet(STDOUT_FILENO);
  const int32_t count =
      QUILLON_GetTemplateIDNames(context.templatesDir.c_str(), kind, std::max(manufacturer, 0), &first);
  if (count < 0) {
    throw Failure("cannot list the templates of " + context.templatesDir.string() + ": " +
                  describeCode(count));
  }
  quiet.finish();
  appendList(out, kind == 0 ? "standard" : kind == 1 ? "manufacturer" : "lms", manufacturer, first, count);
}

void listV10(std::vector<Listed>& out, const Context& context) {
  Engine engine(context.templatesDir);
  engine.enterV10();
  const int32_t count = getCurrentTemplates();
  for (int32_t i = 0; i < count; ++i) {
    char name[256] = "";
    int32_t id = -1;
    if (getTemplateItem(i, name, &id) == 0) out.push_back({"v1.0", -1, id, latin1ToUtf8(name)});
  }
}

}  // namespace

int runTemplates(std::span<char* const> argv) {
  const Args args(argv, withCommonOptions({{"kind", 'k', true}}));
  if (args.has("help")) {
    printHelp(helpOf("templates"));
    return 0;
  }
  const Context context = makeContext(args);
  const std::string kind = args.value("kind").value_or("all");
  if (kind != "all" && kind != "standard" && kind != "manufacturer" && kind != "lms" && kind != "v1.0") {
    throw UsageError("--kind takes standard, manufacturer, lms or v1.0, not '" + kind + "'");
  }
  std::vector<Listed> listed;
  if (kind == "all" || kind == "standard") listDescription(listed, context, 0, -1);
  if (kind == "all" || kind == "manufacturer") {
    for (const int id : manufacturerFiles(context.templatesDir)) listDescription(listed, context, 1, id);
  }
  if (kind == "all" || kind == "lms") listDescription(listed, context, 3, -1);
  if (kind == "all" || kind == "v1.0") listV10(listed, context);

  if (context.json) {
    std::cout << "[";
    for (std::size_t i = 0; i < listed.size(); ++i) {
      const auto& item = listed[i];
      std::cout << (i == 0 ? "\n" : ",\n") << "  {\"kind\": " << jsonString(item.kind)
                << ", \"id\": " << item.id;
      if (item.manufacturer >= 0) std::cout << ", \"manufacturer\": " << item.manufacturer;
      std::cout << ", \"name\": " << jsonString(item.name) << "}";
    }
    std::cout << "\n]\n";
    return 0;
  }
  std::cout << context.style.bold("Kind              ID  Name") << "\n";
  for (const auto& item : listed) {
    std::string kindText = item.kind;
    if (item.manufacturer >= 0) kindText.append(" ").append(std::to_string(item.manufacturer));
    std::string id = std::to_string(item.id);
    std::cout << padRight(kindText, 16) << std::string(4 - std::min<std::size_t>(4, id.size()), ' ') << id
              << "  " << item.name << "\n";
  }
  return 0;
}

int runManufacturers(std::span<char* const> argv) {
  const Args args(argv, withCommonOptions({}));
  if (args.has("help")) {
    printHelp(helpOf("manufacturers"));
    return 0;
  }
  if (!args.positional().empty()) throw UsageError("teds manufacturers takes no arguments");
  const Context context = makeContext(args);
  IDNameNode* first = nullptr;
  CapturedOutput quiet(STDOUT_FILENO);
  const int32_t count = QUILLON_GetManufacturerNameLookupTable(context.templatesDir.c_str(), &first);
  quiet.finish();
  if (count < 0) {
    throw Failure("cannot read \"" + std::string(tedskit::base::kManufacturerListName) + "\" in " +
                  context.templatesDir.string());
  }
  std::vector<Listed> listed;
  appendList(listed, "manufacturer", -1, first, count);
  if (context.json) {
    std::cout << "[";
    for (std::size_t i = 0; i < listed.size(); ++i) {
      std::cout << (i == 0 ? "\n" : ",\n") << "  {\"id\": " << listed[i].id
                << ", \"name\": " << jsonString(listed[i].name) << "}";
    }
    std::cout << "\n]\n";
    return 0;
  }
  std::cout << context.style.bold("   ID  Name") << "\n";
  for (const auto& item : listed) {
    const std::string id = std::to_string(item.id);
    std::cout << std::string(5 - std::min<std::size_t>(5, id.size()), ' ') << id << "  " << item.name << "\n";
  }
  return 0;
}

}  // namespace teds
