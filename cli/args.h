// Command-line arguments of one subcommand: long and short options, with or without a
// value ("--name VALUE", "--name=VALUE", "-n VALUE"), repeatable, and positionals.
#ifndef TEDSKIT_CLI_ARGS_H
#define TEDSKIT_CLI_ARGS_H

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace teds {

// A mistake in the command line: the tool prints it with the usage line, status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct OptionSpec {
  std::string name;  // long name without dashes
  char letter = 0;   // short name, 0 for none
  bool takesValue = false;
};

class Args {
 public:
  Args(std::span<char* const> argv, const std::vector<OptionSpec>& specs);

  bool has(const std::string& name) const;
  std::optional<std::string> value(const std::string& name) const;  // the last one given
  std::vector<std::string> values(const std::string& name) const;   // all, in order
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  std::vector<std::pair<std::string, std::string>> options_;
  std::vector<std::string> positional_;
};

// An integer argument; throws UsageError naming the option.
int parseInt(const std::string& text, const std::string& what);

}  // namespace teds

#endif
