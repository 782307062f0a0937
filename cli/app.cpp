#include "app.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "base/fixed_meanings.h"
#include "template_files.h"
#include <system_error>

namespace teds {
namespace {

namespace fs = std::filesystem;

bool colourWanted(const Args& args) {
  std::string when = args.value("color").value_or("auto");
  if (args.has("no-color")) when = "never";
  if (when == "always") return true;
  if (when == "never") return false;
  if (when != "auto") throw UsageError("--color takes auto, always or never, not '" + when + "'");
  const char* noColour = std::getenv("NO_COLOR");
  const char* term = std::getenv("TERM");
  return isatty(STDOUT_FILENO) != 0 && (noColour == nullptr || *noColour == '\0') &&
         (term == nullptr || std::string_view(term) != "dumb");
}

fs::path executableDir() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path{} : self.parent_path();
}

}  // namespace

std::vector<OptionSpec> withCommonOptions(std::vector<OptionSpec> specs) {
  specs.push_back({"help", 'h', false});
  specs.push_back({"templates", 0, true});
  specs.push_back({"tdl", 0, true});
  specs.push_back({"json", 0, false});
  specs.push_back({"color", 0, true});
  specs.push_back({"no-color", 0, false});
  return specs;
}

Context makeContext(const Args& args) {
  Context context;
  context.json = args.has("json");
  context.style = Style(colourWanted(args));
  const fs::path dir = args.value("templates").value_or(defaultTemplatesDir().string());
  std::error_code error;
  if (!fs::is_directory(dir, error)) {
    throw Failure("template directory '" + dir.string() + "' does not exist");
  }
  context.templatesDir = fs::absolute(dir, error);
  // A directory of description templates need not hold the V1.0 template file: the
  // shipped one stands in, and --tdl names another.
  fs::path tdl;
  if (const auto given = args.value("tdl")) {
    tdl = fs::absolute(*given, error);
    if (!fs::is_regular_file(tdl, error)) throw Failure("V1.0 template file '" + *given + "' does not exist");
  }
  chooseV10TemplateFile(tdl, defaultTemplatesDir());
  checkManufacturerList(context.templatesDir);
  return context;
}

void printHelp(const CommandHelp& help) {
  std::cout << "Usage: " << help.usage << "\n\n" << help.summary << "\n";
  if (help.details != nullptr && *help.details != '\0') std::cout << "\n" << help.details;
  std::cout << "\nCommon options:\n"
               "  -h, --help         show this help\n"
               "  --templates DIR    template directory (default: "
            << defaultTemplatesDir().string()
            << ")\n"
               "  --tdl FILE         V1.0 template file (default: ieee_temp_v10.tdl of the\n"
               "                     template directory, else of the default directory)\n"
               "  --json             machine-readable output\n"
               "  --color WHEN       auto (default: only on a terminal), always or never\n"
               "  --no-color         the same as --color never\n";
}

fs::path dataRoot() {
  std::error_code error;
  const fs::path installed = executableDir() / ".." / "share" / "tedskit";
  if (fs::is_directory(installed / "data", error)) return installed.lexically_normal();
  return TEDSKIT_SOURCE_ROOT;
}

fs::path defaultTemplatesDir() { return dataRoot() / "data"; }

fs::path defaultBusFile() { return dataRoot() / "examples" / "sensor.bus"; }

std::string readSource(const std::string& source) {
  const std::string name = source == "-" ? "standard input" : source;
  std::error_code error;
  if (source != "-" && fs::is_directory(source, error)) throw Failure(source + ": is a directory");
  std::ifstream file;
  if (source != "-") {
    file.open(source, std::ios::binary);
    if (!file) throw Failure(source + ": cannot open: " + std::generic_category().message(errno));
  }
  std::istream& in = source == "-" ? std::cin : file;
  // Read one byte past the limit, so that /dev/zero or a huge file is refused at once.
  std::string content(kMaxImageInput + 1, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<std::size_t>(in.gcount()));
  if (content.size() > kMaxImageInput) {
    throw Failure(name + ": more than " + std::to_string(kMaxImageInput) +
                  " bytes; no TEDS image is that large (the largest chip holds " +
                  std::to_string(tedskit::base::kMaxChipImage) + ")");
  }
  if (in.bad()) throw Failure(name + ": cannot read: " + std::generic_category().message(errno));
  return content;
}

}  // namespace teds
