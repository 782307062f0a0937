// What every subcommand shares: its failure type, the common options, the template
// directory and the places of the installed data.
#ifndef TEDSKIT_CLI_APP_H
#define TEDSKIT_CLI_APP_H

#include <cstddef>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "args.h"
#include "failure.h"
#include "text.h"

namespace teds {

// Failure (from failure.h): printed as "teds: message", exit status 1.

// The help of one subcommand; its first line of usage is printed with usage errors.
struct CommandHelp {
  const char* name;
  const char* summary;
  const char* usage;    // "teds decode [OPTIONS] IMAGE..." (several lines allowed)
  const char* details;  // description and options
};

struct Context {
  std::filesystem::path templatesDir;
  bool json = false;
  Style style{false};
};

// -h/--help, --templates DIR, --json, --color WHEN, --no-color.
std::vector<OptionSpec> withCommonOptions(std::vector<OptionSpec> specs);
Context makeContext(const Args& args);
void printHelp(const CommandHelp& help);

// Where the tool's data lives: beside an installed binary (../share/tedskit), else the
// source tree it was built from.
std::filesystem::path dataRoot();
std::filesystem::path defaultTemplatesDir();
std::filesystem::path defaultBusFile();

// The most an image input may hold: a chip dump of the largest chip as text, with room
// for comments and spacing.
inline constexpr std::size_t kMaxImageInput = 64 * 1024;

// The whole content of an image file, or of standard input for "-"; more than
// kMaxImageInput bytes is refused.
std::string readSource(const std::string& source);


}  // namespace teds

#endif
