// owbus-emulator: a DS2480B serial 1-Wire adapter on a pseudo-terminal, in front of the
// simulated chips of a bus file. Any DS2480B host can drive it: tedskit's own back end
// (ds2480b:/dev/pts/N) or another 1-Wire program.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "busfile.h"
#include "ds2480b_emulator.h"
#include "emulator_control.h"

namespace {

using namespace owbus;

constexpr const char* kUsage = "Usage: owbus-emulator [--link PATH] [--control] [--verbose] BUSFILE\n";

constexpr const char* kHelp =
    "\n"
    "Serves a DS2480B serial 1-Wire adapter on a pseudo-terminal, in front of the\n"
    "simulated chips of BUSFILE, and prints the terminal's path (/dev/pts/N) on the first\n"
    "line of standard output. Point a DS2480B host at it, for example\n"
    "  teds read --bus ds2480b:/dev/pts/N\n"
    "The bus file is written back whenever a chip's contents change. Closing the terminal\n"
    "powers the adapter down; the next open powers it up again. The chips' clock runs at\n"
    "least as fast as real time. Stop it with Ctrl-C or SIGTERM.\n"
    "\n"
    "Options:\n"
    "  --link PATH   also make PATH a symbolic link to the terminal\n"
    "  --control     take control lines on standard input, answer each with 'ok' or\n"
    "                'error: ...' on standard output, and stop at its end:\n"
    "                  fault KIND SKIP COUNT   let SKIP chances pass, then fire COUNT times\n"
    "                                          (-1: always); KIND is one of\n"
    "                                          no-presence echo-mismatch flip-bit ds2406-crc\n"
    "                                          copy-fail vanish (the simulated bus) or\n"
    "                                          lost garble mute (the adapter's answers)\n"
    "                  clear                   every fault off\n"
    "  --verbose     show each host byte and answer on standard error\n"
    "  -h, --help    show this help\n";

volatile sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

uint64_t monotonicUs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void writeAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      ::poll(&p, 1, 100);
    } else if (n < 0 && errno != EINTR) {
      return;  // the host went away; its next open powers us up again
    }
  }
}

void showBytes(const char* what, const uint8_t* bytes, size_t n) {
  std::fprintf(stderr, "%s", what);
  for (size_t i = 0; i < n; ++i) std::fprintf(stderr, " %02X", bytes[i]);
  std::fprintf(stderr, "\n");
}

struct Options {
  std::string busFile;
  std::string link;
  bool control = false;
  bool verbose = false;
};

int parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::cout << kUsage << kHelp;
      return 0;
    }
    if (arg == "--control") {
      options.control = true;
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--link" && i + 1 < argc) {
      options.link = argv[++i];
    } else if (!arg.starts_with("-") && options.busFile.empty()) {
      options.busFile = arg;
    } else {
      std::cerr << "owbus-emulator: unexpected argument '" << arg << "'\n" << kUsage;
      return 2;
    }
  }
  if (options.busFile.empty()) {
    std::cerr << "owbus-emulator: needs a bus file\n" << kUsage;
    return 2;
  }
  return -1;
}

int openTerminal(std::string& path) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  char name[128];
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
      ::ptsname_r(master, name, sizeof name) != 0) {
    std::cerr << "owbus-emulator: cannot open a pseudo-terminal: " << std::strerror(errno) << "\n";
    return -1;
  }
  path = name;
  // Raw from the start, so that nothing is echoed or translated before the host sets
  // its own modes.
  const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave >= 0) {
    termios t{};
    if (::tcgetattr(slave, &t) == 0) {
      ::cfmakeraw(&t);
      ::tcsetattr(slave, TCSANOW, &t);
    }
    ::close(slave);
  }
  return master;
}

// Runs one control line; the answer goes to standard output.
void control(const std::string& line) {
  std::string error;
  if (!applyControlLine(line, error)) {
    std::cout << "error: " << error << std::endl;
  } else {
    std::cout << "ok" << std::endl;
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const int status = parseOptions(argc, argv, options); status >= 0) return status;

  SimBus bus;
  BusFile file(options.busFile);
  std::string error;
  if (!file.load(bus.chips, error)) {
    std::cerr << "owbus-emulator: " << error << "\n";
    return 1;
  }
  std::string path;
  const int master = openTerminal(path);
  if (master < 0) return 1;
  if (!options.link.empty()) {
    ::unlink(options.link.c_str());
    if (::symlink(path.c_str(), options.link.c_str()) != 0) {
      std::cerr << "owbus-emulator: cannot link " << options.link << ": " << std::strerror(errno) << "\n";
      return 1;
    }
  }
  struct sigaction stop {};
  stop.sa_handler = requestStop;
  ::sigaction(SIGTERM, &stop, nullptr);
  ::sigaction(SIGINT, &stop, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
  std::cout << path << std::endl;

  Ds2480bEmulator adapter(bus);
  bool connected = false;
  uint64_t lastUs = monotonicUs();
  std::string controlLine;
  std::vector<uint8_t> in(4096);
  std::vector<uint8_t> answers;
  int status = 0;
  while (!stopRequested) {
    pollfd fds[2] = {{master, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    if (::poll(fds, options.control ? 2 : 1, 100) < 0) continue;
    if (options.control && (fds[1].revents & (POLLIN | POLLHUP))) {
      char c = 0;
      const ssize_t n = ::read(STDIN_FILENO, &c, 1);
      if (n <= 0) break;  // the controller is gone
      if (c == '\n') {
        control(controlLine);
        controlLine.clear();
      } else {
        controlLine += c;
      }
    }
    if (fds[0].revents & POLLIN) {
      const ssize_t n = ::read(master, in.data(), in.size());
      if (n <= 0) continue;
      connected = true;
      // The chips' clock: the traffic's own time, and at least the real time between.
      const uint64_t now = monotonicUs();
      bus.clock().nowUs += now - lastUs;
      lastUs = now;
      answers.clear();
      for (ssize_t i = 0; i < n; ++i) adapter.feed(in[static_cast<size_t>(i)], answers);
      applyAnswerFaults(answers);
      if (bus.dirty()) {
        bus.clearDirty();
        if (!file.save(bus.chips, error)) {
          std::cerr << "owbus-emulator: " << error << "\n";
          status = 1;
          break;
        }
      }
      if (options.verbose) {
        showBytes("host:", in.data(), static_cast<size_t>(n));
        showBytes("  answer:", answers.data(), answers.size());
      }
      writeAll(master, answers);
    } else if (fds[0].revents & POLLHUP) {
      // No host has the terminal open: the adapter loses power until the next open.
      if (connected) adapter.powerUp();
      connected = false;
      ::usleep(2000);
    }
  }
  if (!options.link.empty()) ::unlink(options.link.c_str());
  ::close(master);
  return status;
}
