#include "tool_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "api_error.h"
#include "base/scratch_dir.h"

namespace teds::serve {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void spill(const fs::path& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary);
  file << content;
  if (!file.flush()) throw ApiError(500, "cannot write the scratch file " + path.string());
}

// A directory of its own for one run of the tool, removed with everything in it.
tedskit::base::ScratchDir scratchDir() {
  auto made = tedskit::base::ScratchDir::make("teds-serve");
  if (!made) throw ApiError(500, "cannot make a scratch directory");
  return std::move(*made);
}

// The first line of what the tool said on standard error, without its "teds: ".
std::string firstError(const std::string& err) {
  std::string line = err.substr(0, err.find('\n'));
  if (line.starts_with("teds: ")) line = line.substr(6);
  return line.empty() ? "the tool failed" : line;
}

}  // namespace

ToolRunner::Ran ToolRunner::run(const fs::path& dir, std::vector<std::string> args) const {
  args.insert(args.end(), common_.begin(), common_.end());
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  std::vector<char*> argv{const_cast<char*>(self.c_str())};
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const fs::path out = dir / ".out", err = dir / ".err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  // The server blocks its stop signals for its signal thread; the child gets them back.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, self.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw ApiError(500, "cannot run the tool");
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  Ran ran;
  ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  ran.out = slurp(out);
  ran.err = slurp(err);
  return ran;
}

json ToolRunner::jsonOf(const std::vector<std::string>& args) const {
  const auto scratch = scratchDir();
  const Ran ran = run(scratch.path(), args);
  if (ran.status != 0) throw ApiError(500, firstError(ran.err));
  return json::parse(ran.out);
}

json ToolRunner::templates() const { return jsonOf({"templates", "--json"}); }

json ToolRunner::manufacturers() const { return jsonOf({"manufacturers", "--json"}); }

json ToolRunner::loadRecords(const std::string& recordFile) const {
  const auto scratch = scratchDir();
  const std::string file = (scratch.path() / "records.txt").string();
  spill(file, recordFile);
  const Ran listed = run(scratch.path(), {"store", "list", "--json", file});
  // Status 1 with a list: some blocks were broken and passed over.
  if (listed.status > 1 || !listed.out.starts_with("[")) throw ApiError(422, firstError(listed.err));
  json records = json::parse(listed.out);
  json warnings = json::array();
  for (std::size_t at = 0; at < listed.err.size();) {
    const std::size_t end = std::min(listed.err.find('\n', at), listed.err.size());
    if (end > at) warnings.push_back(firstError(listed.err.substr(at, end - at)));
    at = end + 1;
  }
  for (auto& record : records) {
    const Ran image = run(scratch.path(), {"store", "load", file, "--record",
                                           std::to_string(record.value("record", 0)), "--output", "-"});
    record["text"] = image.out;
  }
  return {{"records", records}, {"warnings", warnings}};
}

std::string ToolRunner::saveRecord(const std::string& existing, const std::string& text, int channel,
                                   int unit) const {
  const auto scratch = scratchDir();
  const fs::path file = scratch.path() / "records.txt";
  const fs::path image = scratch.path() / "image.txt";
  spill(image, text);
  std::vector<std::string> args = {"store", "save"};
  if (!existing.empty()) {
    spill(file, existing);
    args.push_back("--append");
  }
  if (channel >= 0) args.insert(args.end(), {"--channel", std::to_string(channel)});
  if (unit >= 0) args.insert(args.end(), {"--unit", std::to_string(unit)});
  args.insert(args.end(), {file.string(), image.string()});
  const Ran ran = run(scratch.path(), args);
  if (ran.status != 0) throw ApiError(422, firstError(ran.err));
  return slurp(file);
}

}  // namespace teds::serve
