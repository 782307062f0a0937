// Other programs a test runs: one to completion with its output, or one kept running
// and stopped by its PID when the test is done.
#ifndef TEDSKIT_TESTS_OWBUS_CHILD_PROCESS_H
#define TEDSKIT_TESTS_OWBUS_CHILD_PROCESS_H

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

struct RunResult {
  int status = -1;  // exit status, 128 + signal, or -1 when it did not start
  std::string out;
};

// Starts a program with standard output to outFd and standard error to errFd (-1: nowhere).
inline pid_t spawn(const std::vector<std::string>& args, int outFd, int errFd,
                   const std::vector<std::string>& env = {}) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(outFd >= 0 ? outFd : null, 1);
    ::dup2(errFd >= 0 ? errFd : null, 2);
    for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

// Runs a program to its end (killed by its PID after timeoutMs) and collects its output.
inline RunResult runProgram(const std::vector<std::string>& args, int timeoutMs = 20000) {
  RunResult result;
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return result;
  const pid_t pid = spawn(args, out[1], -1);
  ::close(out[1]);
  if (pid < 0) {
    ::close(out[0]);
    return result;
  }
  timespec start{};
  ::clock_gettime(CLOCK_MONOTONIC, &start);
  char buf[4096];
  while (true) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const long elapsed = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1'000'000;
    if (elapsed > timeoutMs) {
      ::kill(pid, SIGKILL);
      break;
    }
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = ::read(out[0], buf, sizeof buf);
    if (n <= 0) break;
    result.out.append(buf, static_cast<size_t>(n));
  }
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

// A program kept running for a test; its output goes to a file.
class BackgroundProgram {
 public:
  BackgroundProgram(const std::vector<std::string>& args, const std::string& logFile,
                    const std::vector<std::string>& env = {}) {
    const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    pid_ = spawn(args, log, log, env);
    if (log >= 0) ::close(log);
  }
  ~BackgroundProgram() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

#endif  // TEDSKIT_TESTS_OWBUS_CHILD_PROCESS_H
