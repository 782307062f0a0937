// teds serve started as a child process on a free port with a copy of the sample bus,
// and stopped by its PID when the test ends.
#ifndef TEDSKIT_TESTS_WEB_SERVE_CHILD_H
#define TEDSKIT_TESTS_WEB_SERVE_CHILD_H

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <httplib.h>

#include <gtest/gtest.h>

#include "../support/scratch_dir.h"

namespace teds_test {

namespace fs = std::filesystem;

// The bundled accelerometer example, as teds read prints it.
inline const std::string kImage =
    "memory: 2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000\n"
    "register: 12C0664408190010\n";

inline std::string slurp(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class ServeChild {
 public:
  explicit ServeChild(std::vector<std::string> extra = {}) : dir_("teds-serve-test") {
    fs::copy_file(fs::path(TEDSKIT_SOURCE_DIR) / "examples" / "sensor.bus", bus());
    int out[2];
    if (pipe(out) != 0) return;
    const fs::path err = dir_.file("err");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(errFd, 2);
      close(out[0]);
      std::vector<std::string> args = {TEDS_BINARY, "serve", "--port", "0", "--bus", bus().string()};
      args.insert(args.end(), extra.begin(), extra.end());
      std::vector<char*> argv;
      for (auto& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(TEDS_BINARY, argv.data());
      _exit(127);
    }
    close(out[1]);
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') url_ += c;
    close(out[0]);
    const auto colon = url_.rfind(':');
    const auto slash = url_.find('/', colon);
    if (colon != std::string::npos && slash != std::string::npos) {
      port_ = std::stoi(url_.substr(colon + 1, slash - colon - 1));
    }
    const auto equals = url_.find("token=");
    if (equals != std::string::npos) token_ = url_.substr(equals + 6);
  }

  ~ServeChild() { stop(); }

  // SIGTERM, then the exit status (128 + signal when it did not exit by itself).
  int stop() {
    if (pid_ <= 0) return status_;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
  }

  const std::string& url() const { return url_; }
  int port() const { return port_; }
  const std::string& token() const { return token_; }
  fs::path bus() const { return dir_.file("sensor.bus"); }
  std::string errors() const { return slurp(dir_.file("err")); }
  fs::path file(const std::string& name) const { return dir_.file(name); }

  httplib::Client client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(5);
    client.set_read_timeout(20);
    return client;
  }
  // The headers of the page's own requests.
  httplib::Headers headers() const { return {{"X-Tedskit-Token", token_}}; }

  httplib::Result post(const std::string& path, const std::string& body) const {
    return client().Post(path.c_str(), headers(), body, "application/json");
  }

 private:
  tedskittest::ScratchDir dir_;
  pid_t pid_ = -1;
  int status_ = -1;
  std::string url_, token_;
  int port_ = 0;
};

}  // namespace teds_test

#endif
