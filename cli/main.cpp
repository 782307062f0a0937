// teds: the command-line tool of tedskit.
#include <link.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>
#include <span>
#include <string>

#include "app.h"
#include "commands.h"

namespace {

using teds::commands;

void printUsage(std::ostream& out) {
  out << "Usage: teds COMMAND [OPTIONS] [ARGUMENTS]\n"
         "       teds --version\n"
         "\n"
         "Reads, decodes, edits, encodes and writes IEEE 1451.4 TEDS.\n"
         "\n"
         "Commands:\n";
  for (const auto& command : commands()) {
    out << "  " << teds::padRight(command.help.name, 15) << command.help.summary << "\n";
  }
  out << "\nRun \"teds COMMAND --help\" for the options of a command.\n";
}

// The tedskit libraries this process loaded, with the versions their file names carry.
int listLibrary(dl_phdr_info* info, size_t, void* data) {
  auto& found = *static_cast<std::set<std::string>*>(data);
  const std::string path = info->dlpi_name != nullptr ? info->dlpi_name : "";
  static const char* const kLibraries[] = {"orlin",  "dorvia", "pellam", "quillon",
                                           "ferrun", "owbus",  "calden"};
  for (const char* library : kLibraries) {
    const std::string prefix = std::string("lib") + library + ".so";
    if (std::filesystem::path(path).filename().string().starts_with(prefix)) {
      std::error_code error;
      const auto real = std::filesystem::canonical(path, error).filename().string();
      const auto version = real.size() > prefix.size() + 1 ? real.substr(prefix.size() + 1) : "unknown";
      found.insert(std::string("lib") + library + " " + version);
    }
  }
  return 0;
}

void printVersion() {
  std::cout << "teds " << TEDSKIT_VERSION << "\n";
  std::set<std::string> libraries;
  dl_iterate_phdr(listLibrary, &libraries);
  for (const auto& library : libraries) std::cout << library << "\n";
}

const char* usageOf(const std::string& name) {
  for (const auto& command : commands()) {
    if (name == command.help.name) return command.help.usage;
  }
  return "teds COMMAND [OPTIONS] [ARGUMENTS]";
}

// Output that did not reach its file is a failure, a full disk included.
int finished(int status) {
  std::cout.flush();
  if (std::cout && std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
  std::cerr << "teds: cannot write the output: " << std::strerror(errno) << "\n";
  return 1;
}

int run(std::span<char* const> args) {
  if (args.empty()) {
    printUsage(std::cerr);
    return 2;
  }
  const std::string name = args[0];
  if (name == "-h" || name == "--help" || name == "help") {
    printUsage(std::cout);
    return finished(0);
  }
  if (name == "--version" || name == "version") {
    printVersion();
    return finished(0);
  }
  try {
    for (const auto& command : commands()) {
      if (name == command.help.name) return finished(command.run(args.subspan(1)));
    }
    std::cerr << "teds: unknown command '" << name << "'\n";
    printUsage(std::cerr);
    return 2;
  } catch (const teds::UsageError& error) {
    std::cerr << "teds: " << error.what() << "\nUsage: " << usageOf(name) << "\n";
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "teds: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  return run(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
}
