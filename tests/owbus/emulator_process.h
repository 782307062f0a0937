// owbus-emulator run for a test: started on a bus file with its control lines on a pipe,
// and stopped by its PID when the test is done.
#ifndef TEDSKIT_TESTS_OWBUS_EMULATOR_PROCESS_H
#define TEDSKIT_TESTS_OWBUS_EMULATOR_PROCESS_H

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

class EmulatorProcess {
 public:
  // Starts the emulator; path() is "" when it did not come up.
  explicit EmulatorProcess(const std::string& busFile, std::vector<std::string> extra = {}) {
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(toChild[0], 0);
      ::dup2(fromChild[1], 1);
      std::vector<std::string> args{OWBUS_EMULATOR, "--control"};
      args.insert(args.end(), extra.begin(), extra.end());
      args.push_back(busFile);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    control_ = toChild[1];
    answers_ = fromChild[0];
    path_ = line();
  }
  ~EmulatorProcess() { stop(); }
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;

  const std::string& path() const { return path_; }
  pid_t pid() const { return pid_; }

  // Sends one control line; true when the emulator answered "ok".
  bool control(const std::string& command) {
    const std::string text = command + "\n";
    if (control_ < 0 || ::write(control_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
      return false;
    return line() == "ok";
  }

  void stop() {
    if (control_ >= 0) ::close(control_);
    if (answers_ >= 0) ::close(answers_);
    control_ = answers_ = -1;
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

 private:
  // One line of the emulator's standard output, "" after 5 s without one.
  std::string line() {
    std::string out;
    char c = 0;
    while (true) {
      pollfd p{answers_, POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0 || ::read(answers_, &c, 1) != 1) return "";
      if (c == '\n') return out;
      out += c;
    }
  }

  pid_t pid_ = -1;
  int control_ = -1;
  int answers_ = -1;
  std::string path_;
};

#endif  // TEDSKIT_TESTS_OWBUS_EMULATOR_PROCESS_H
