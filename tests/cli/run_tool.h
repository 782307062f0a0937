// Runs the real teds binary, feeding standard input and collecting both output streams
// and the exit status; and a scratch directory per test with a copy of the sample bus.
#ifndef TEDSKIT_TESTS_CLI_RUN_TOOL_H
#define TEDSKIT_TESTS_CLI_RUN_TOOL_H

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"

namespace teds_test {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void spill(const fs::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
}

// Output goes through files, not pipes, so a large output cannot block the child.
// inChild runs in the child just before the tool starts (to limit it, or to point its
// output elsewhere).
inline Result runTeds(const std::vector<std::string>& args, const std::string& input = "",
                      const fs::path& workDir = TEDSKIT_SOURCE_DIR,
                      const std::function<void()>& inChild = {}) {
  const tedskittest::ScratchDir scratch("teds-run");
  const fs::path in = scratch.file("in"), out = scratch.file("out"), err = scratch.file("err");
  spill(in, input);
  const pid_t child = fork();
  if (child == 0) {
    const int inFd = open(in.c_str(), O_RDONLY);
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(inFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    if (chdir(workDir.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    std::string binary = TEDS_BINARY;
    argv.push_back(binary.data());
    std::vector<std::string> copies = args;
    for (auto& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    // No terminal: the tool must not colour or ask.
    setsid();
    if (inChild) inChild();
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  Result result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = slurp(out);
  result.err = slurp(err);
  return result;
}

// A fresh directory holding a copy of examples/sensor.bus; removed at the end.
class Scratch {
 public:
  Scratch() : dir_("teds-test") {
    fs::copy_file(fs::path(TEDSKIT_SOURCE_DIR) / "examples" / "sensor.bus", bus());
  }

  fs::path bus() const { return path("sensor.bus"); }
  fs::path path(const std::string& name) const { return dir_.file(name); }
  fs::path write(const std::string& name, const std::string& text) const {
    spill(path(name), text);
    return path(name);
  }

 private:
  tedskittest::ScratchDir dir_;
};

inline std::string example(const std::string& name) {
  return (fs::path(TEDSKIT_SOURCE_DIR) / "examples" / name).string();
}

}  // namespace teds_test

#endif  // TEDSKIT_TESTS_CLI_RUN_TOOL_H
