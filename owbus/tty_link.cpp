// The serial line on a terminal device. Output is never flushed: on a pseudo-terminal
// tcdrain() returns before the far end has read anything, and a flush would throw those
// bytes away. Stale input is read off instead.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "backend.h"
#include "serial_link.h"

namespace owbus {

namespace {

speed_t speedFor(int baud) {
  switch (baud) {
    case 19200:
      return B19200;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B9600;
  }
}

int64_t nowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class TtyLink final : public SerialLink {
 public:
  TtyLink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  ~TtyLink() override { ::close(fd_); }  // closing drops the lock
  TtyLink(const TtyLink&) = delete;
  TtyLink& operator=(const TtyLink&) = delete;

  void write(std::span<const uint8_t> bytes) override {
    constexpr int kWriteTimeoutMs = 2000;
    const int64_t deadline = nowMs() + kWriteTimeoutMs;
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR)
        throw AdapterError("cannot write to the serial port " + name_ + ": " + std::strerror(errno));
      const int64_t left = deadline - nowMs();
      if (left <= 0) throw AdapterError("the serial port " + name_ + " takes no more bytes");
      pollfd p{fd_, POLLOUT, 0};
      ::poll(&p, 1, static_cast<int>(left));
    }
  }

  size_t read(std::span<uint8_t> into, int timeoutMs) override {
    const int64_t deadline = nowMs() + timeoutMs;
    size_t done = 0;
    while (done < into.size()) {
      const ssize_t n = ::read(fd_, into.data() + done, into.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR)
        throw AdapterError("cannot read from the serial port " + name_ + ": " + std::strerror(errno));
      const int64_t left = deadline - nowMs();
      if (left <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      ::poll(&p, 1, static_cast<int>(left));
    }
    return done;
  }

  void drain() override { ::tcdrain(fd_); }

  void sendBreak() override {
    // A short BREAK is enough for the adapter; tcsendbreak() would hold the line 0.25 s.
    ::ioctl(fd_, TIOCSBRK);
    pause(2);
    ::ioctl(fd_, TIOCCBRK);
  }

  void setBaud(int baud) override {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return;
    ::cfsetispeed(&t, speedFor(baud));
    ::cfsetospeed(&t, speedFor(baud));
    ::tcsetattr(fd_, TCSANOW, &t);
  }

  void pause(int ms) override {
    timespec wait{ms / 1000, static_cast<long>(ms % 1000) * 1'000'000L};
    while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
  }

  const std::string& name() const override { return name_; }

 private:
  int fd_;
  std::string name_;
};

}  // namespace

std::unique_ptr<SerialLink> openTty(const std::string& path, std::string& error) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot open the serial port " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  auto fail = [&](std::string reason) -> std::unique_ptr<SerialLink> {
    ::close(fd);
    error = std::move(reason);
    return nullptr;
  };
  if (!::isatty(fd)) return fail(path + " is not a serial port");
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return fail("the serial port " + path + " is in use by another program");
    return fail("cannot lock the serial port " + path + ": " + std::strerror(errno));
  }
  termios t{};
  if (::tcgetattr(fd, &t) != 0)
    return fail("cannot set up the serial port " + path + ": " + std::strerror(errno));
  ::cfmakeraw(&t);
  t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, B9600);
  ::cfsetospeed(&t, B9600);
  if (::tcsetattr(fd, TCSANOW, &t) != 0)
    return fail("cannot set up the serial port " + path + ": " + std::strerror(errno));
  // Nothing has been sent yet, so only input that was waiting is dropped here.
  ::tcflush(fd, TCIFLUSH);
  return std::make_unique<TtyLink>(fd, path);
}

}  // namespace owbus
