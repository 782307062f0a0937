#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/hex.h"
#include "busfile.h"
#include "ds2406.h"
#include "ds2430a.h"

namespace owbus {

namespace {

constexpr size_t kMaxFileSize = 1 << 20;
constexpr size_t kBytesPerLine = 16;

using tedskit::base::appendHex;

void appendBytes(std::string& out, std::span<const uint8_t> bytes) {
  tedskit::base::appendHex(out, bytes, ' ');
}

std::string errnoText() { return std::strerror(errno); }

// Up to kMaxFileSize + 1 bytes of an open file, from its start.
bool readAll(int fd, std::string& text) {
  text.assign(kMaxFileSize + 1, '\0');
  size_t got = 0;
  while (got < text.size()) {
    const ssize_t n = ::pread(fd, text.data() + got, text.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  text.resize(got);
  return true;
}

// Closes a descriptor when it goes (and with it the lock taken on it).
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string formatBusFile(const ChipList& chips) {
  std::string out =
      "# Simulated 1-Wire bus. The bus rewrites this file when a chip's EEPROM or register\n"
      "# changes; comments are not kept.\n";
  for (const auto& chip : chips) {
    if (!chip->persistent()) continue;
    const Rom& rom = chip->rom();
    out += "\ndevice ";
    out += chip->typeName();
    out += "\n  serial ";
    for (size_t i = 6; i >= 1; --i) appendHex(out, rom[i]);
    out += "  # ROM";
    appendBytes(out, rom);
    out += '\n';
    if (rom[0] != chip->defaultFamily()) {
      out += "  family ";
      appendHex(out, rom[0]);
      out += '\n';
    }
    if (chip->channel != 0) out += "  channel " + std::to_string(chip->channel) + "\n";
    const std::span<uint8_t> memory = chip->memory();
    for (size_t a = 0; a < memory.size(); a += kBytesPerLine) {
      out += "  memory ";
      appendHex(out, static_cast<uint8_t>(a >> 8));
      appendHex(out, static_cast<uint8_t>(a & 0xFF));
      appendBytes(out, memory.subspan(a, std::min(kBytesPerLine, memory.size() - a)));
      out += '\n';
    }
    if (auto* a = dynamic_cast<Ds2430a*>(chip.get())) {
      out += "  register";
      appendBytes(out, a->applicationRegister());
      out += a->locked() ? "\n  locked yes\n" : "\n  locked no\n";
    }
    if (auto* sw = dynamic_cast<Ds2406*>(chip.get())) {
      out += "  status";
      appendBytes(out, sw->powerUpStatus());
      out += '\n';
    }
    out += "end\n";
  }
  return out;
}

bool BusFile::load(ChipList& chips, std::string& error) {
  const Descriptor file{::open(path_.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    error = path_ + ": cannot open the bus file: " + errnoText();
    return false;
  }
  std::string text;
  if (!readAll(file.fd, text)) {
    error = path_ + ": cannot read the bus file: " + errnoText();
    return false;
  }
  if (text.size() > kMaxFileSize) {
    error = path_ + ": bus file larger than " + std::to_string(kMaxFileSize) + " bytes";
    return false;
  }
  if (!parseBusFile(text, path_, chips, error)) return false;
  known_ = std::move(text);
  return true;
}

bool BusFile::save(const ChipList& chips, std::string& error) {
  const std::string text = formatBusFile(chips);
  const auto fail = [&](const std::string& why) {
    error = path_ + ": " + why + "; the bus file is unchanged";
    return false;
  };
  // A link is followed: the file it names is replaced, the link stays.
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::canonical(path_, ec);
  if (ec)
    return fail(ec == std::errc::no_such_file_or_directory ? "the bus file vanished since it was read"
                                                           : "cannot find the bus file: " + ec.message());
  const Descriptor file{::open(target.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) return fail("cannot open the bus file: " + errnoText());
  // Writers of one bus file take turns; each one checks that nobody wrote since it read.
  if (::flock(file.fd, LOCK_EX) != 0) return fail("cannot lock the bus file: " + errnoText());
  struct stat status {};
  if (::fstat(file.fd, &status) != 0) return fail("cannot examine the bus file: " + errnoText());
  if ((status.st_mode & 0222) == 0) return fail("the bus file is read-only");
  std::string now;
  if (!readAll(file.fd, now)) return fail("cannot read the bus file back: " + errnoText());
  if (now != known_) return fail("another process changed the bus file since it was read");

  const std::string temp = target.string() + ".tmp" + std::to_string(::getpid());
  const Descriptor out{::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
  bool ok = out.fd >= 0;
  std::string why = "cannot write the bus file back: ";
  if (ok) ok = writeAll(out.fd, text);
  // The new file keeps the old one's mode and owner.
  if (ok) ok = ::fchmod(out.fd, status.st_mode & 07777) == 0;
  if (ok && ::fchown(out.fd, status.st_uid, status.st_gid) != 0) {
    ok = false;
    why = "cannot keep the owner of the bus file: ";
  }
  if (ok) ok = ::fsync(out.fd) == 0;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    const std::string reason = errnoText();
    ::unlink(temp.c_str());
    return fail(why + reason);
  }
  known_ = text;
  return true;
}

}  // namespace owbus
