// The subcommands of teds. Each takes the arguments after its name and returns the exit
// status; failures are thrown (Failure, UsageError, ImageError) and printed by main.
#ifndef TEDSKIT_CLI_COMMANDS_H
#define TEDSKIT_CLI_COMMANDS_H

#include <span>
#include <string>
#include <vector>

#include "app.h"
#include "image.h"

namespace teds {

struct Command {
  CommandHelp help;
  int (*run)(std::span<char* const> args);
};

const std::vector<Command>& commands();
const CommandHelp& helpOf(const std::string& name);

int runDecode(std::span<char* const> args);
int runNew(std::span<char* const> args);
int runEdit(std::span<char* const> args);
int runEncode(std::span<char* const> args);
int runRead(std::span<char* const> args);
int runWrite(std::span<char* const> args);
int runBus(std::span<char* const> args);
int runTemplates(std::span<char* const> args);
int runManufacturers(std::span<char* const> args);
int runStore(std::span<char* const> args);
int runTdl(std::span<char* const> args);
int runCheck(std::span<char* const> args);
int runServe(std::span<char* const> args);

// Reads an image named on the command line: hex digits, a file, or "-" for standard
// input; several hex arguments are lines of one image (memory, then register). A JSON
// file has its edited values set and checked with the templates of templatesDir.
TedsImage imageFromArguments(const std::vector<std::string>& sources,
                             const std::filesystem::path& templatesDir = defaultTemplatesDir());

}  // namespace teds

#endif
