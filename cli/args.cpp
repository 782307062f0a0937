#include "args.h"

#include <charconv>

namespace teds {
namespace {

const OptionSpec* findLong(const std::vector<OptionSpec>& options, std::string_view name) {
  for (const auto& option : options) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

const OptionSpec* findShort(const std::vector<OptionSpec>& options, char letter) {
  for (const auto& option : options) {
    if (option.letter != 0 && option.letter == letter) return &option;
  }
  return nullptr;
}

}  // namespace

Args::Args(std::span<char* const> argv, const std::vector<OptionSpec>& options) {
  bool optionsDone = false;
  for (std::size_t i = 0; i < argv.size(); ++i) {
    const std::string arg = argv[i];
    if (optionsDone || arg == "-" || arg.size() < 2 || arg[0] != '-') {
      positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsDone = true;
      continue;
    }
    const OptionSpec* option = nullptr;
    std::optional<std::string> inlineValue;
    if (arg.starts_with("--")) {
      std::string name = arg.substr(2);
      if (const auto eq = name.find('='); eq != std::string::npos) {
        inlineValue = name.substr(eq + 1);
        name.resize(eq);
      }
      option = findLong(options, name);
      if (option == nullptr) throw UsageError("unknown option '--" + name + "'");
    } else {
      if (arg.size() != 2) throw UsageError("unknown option '" + arg + "'");
      option = findShort(options, arg[1]);
      if (option == nullptr) throw UsageError("unknown option '" + arg + "'");
    }
    std::string value;
    if (option->takesValue) {
      if (inlineValue) {
        value = *inlineValue;
      } else if (i + 1 < argv.size()) {
        value = argv[++i];
      } else {
        throw UsageError("option '--" + option->name + "' needs a value");
      }
    } else if (inlineValue) {
      throw UsageError("option '--" + option->name + "' takes no value");
    }
    options_.emplace_back(option->name, value);
  }
}

bool Args::has(const std::string& name) const {
  for (const auto& [key, value] : options_) {
    if (key == name) return true;
  }
  return false;
}

std::optional<std::string> Args::value(const std::string& name) const {
  std::optional<std::string> found;
  for (const auto& [key, value] : options_) {
    if (key == name) found = value;
  }
  return found;
}

std::vector<std::string> Args::values(const std::string& name) const {
  std::vector<std::string> found;
  for (const auto& [key, value] : options_) {
    if (key == name) found.push_back(value);
  }
  return found;
}

int parseInt(const std::string& text, const std::string& what) {
  int value = 0;
  const auto* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc{} || ptr != end) {
    throw UsageError(what + " must be a whole number, not '" + text + "'");
  }
  return value;
}

}  // namespace teds
