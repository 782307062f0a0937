// The tool's own list and record commands, run as a child of teds serve in a scratch
// directory of its own: the server answers exactly as `teds templates --json`,
// `teds manufacturers --json` and `teds store` do, and the record library's file
// handling never touches a path a request names.
#ifndef TEDSKIT_CLI_SERVE_TOOL_RUN_H
#define TEDSKIT_CLI_SERVE_TOOL_RUN_H

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace teds::serve {

class ToolRunner {
 public:
  // common: the options every child gets (--templates DIR, --tdl FILE).
  explicit ToolRunner(std::vector<std::string> common) : common_(std::move(common)) {}

  nlohmann::json templates() const;
  nlohmann::json manufacturers() const;
  // The records of a record file's content: [{"record", "kind", "template", "name",
  // "channel", "unit", "text"}], and the broken blocks' messages in "warnings".
  nlohmann::json loadRecords(const std::string& recordFile) const;
  // The record file with the TEDS of text added as a record (to existing, when given).
  std::string saveRecord(const std::string& existing, const std::string& text, int channel, int unit) const;

 private:
  struct Ran {
    int status = -1;
    std::string out, err;
  };
  Ran run(const std::filesystem::path& dir, std::vector<std::string> args) const;
  nlohmann::json jsonOf(const std::vector<std::string>& args) const;

  std::vector<std::string> common_;
};

}  // namespace teds::serve

#endif
