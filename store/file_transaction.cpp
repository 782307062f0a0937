#include "file_transaction.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tedskit::store {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the process's umask
constexpr int kTemporaryNameAttempts = 100;

// The file a path names, through any symbolic links, so that a replaced link keeps
// pointing at the replaced file.
fs::path resolved(const fs::path& target) {
  std::error_code error;
  const fs::path real = fs::canonical(target, error);
  return error ? target : real;
}

// A new file beside the target, created with O_EXCL so that no existing file is touched.
int createTemporary(const fs::path& target, fs::path& temporary) {
  static std::atomic<unsigned> counter{0};
  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    // Appended piece by piece: GCC 12 warns falsely about a chain of + here.
    std::string name(".");
    name.append(target.filename().string()).append(".tmp").append(std::to_string(getpid()));
    name.append(".").append(std::to_string(counter++));
    temporary = directory / name;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::optional<FileTransaction> FileTransaction::open(const fs::path& path, Mode mode) {
  const fs::path target = resolved(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return std::nullopt;

  if (mode == Mode::Append) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, kNewFileMode);
    if (fd < 0) return std::nullopt;
    struct stat opened {};
    std::FILE* stream = ::fstat(fd, &opened) == 0 ? ::fdopen(fd, "a") : nullptr;
    if (stream == nullptr) {
      ::close(fd);
      if (!exists) ::unlink(target.c_str());
      return std::nullopt;
    }
    return FileTransaction(stream, mode, target, {}, opened.st_size, !exists);
  }

  // A file the caller could not overwrite is not replaced either.
  if (exists && ::access(target.c_str(), W_OK) != 0) return std::nullopt;
  fs::path temporary;
  const int fd = createTemporary(target, temporary);
  if (fd < 0) return std::nullopt;
  // The replacement keeps the permissions of the file it replaces.
  if (exists) ::fchmod(fd, existing.st_mode & 07777);
  std::FILE* stream = ::fdopen(fd, "w");
  if (stream == nullptr) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return std::nullopt;
  }
  return FileTransaction(stream, mode, target, temporary, 0, false);
}

FileTransaction::FileTransaction(std::FILE* stream, Mode mode, fs::path target, fs::path temporary,
                                 off_t oldLength, bool created)
    : stream_(stream),
      mode_(mode),
      target_(std::move(target)),
      temporary_(std::move(temporary)),
      oldLength_(oldLength),
      created_(created) {}

FileTransaction::FileTransaction(FileTransaction&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)),
      mode_(other.mode_),
      target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      oldLength_(other.oldLength_),
      created_(other.created_),
      failed_(other.failed_) {}

FileTransaction::~FileTransaction() {
  if (stream_ != nullptr) rollBack();
}

bool FileTransaction::write(std::string_view text) {
  if (failed_ || stream_ == nullptr) return false;
  if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) failed_ = true;
  return !failed_;
}

bool FileTransaction::commit() {
  if (stream_ == nullptr) return false;
  if (failed_ || std::fflush(stream_) != 0 || ::fsync(::fileno(stream_)) != 0) {
    rollBack();
    return false;
  }
  if (mode_ == Mode::Append) {
    const bool closed = std::fclose(std::exchange(stream_, nullptr)) == 0;
    if (closed) return true;
    // Closing can still report a lost write; the file is cut back as for any failure.
    if (created_) {
      ::unlink(target_.c_str());
    } else {
      [[maybe_unused]] const int cut = ::truncate(target_.c_str(), oldLength_);
    }
    return false;
  }
  const bool closed = std::fclose(std::exchange(stream_, nullptr)) == 0;
  if (!closed || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    ::unlink(temporary_.c_str());
    return false;
  }
  return true;
}

void FileTransaction::rollBack() {
  if (mode_ == Mode::Append) {
    // Whatever the stream still buffers is dropped with the appended part.
    std::fflush(stream_);
    if (created_) {
      ::unlink(target_.c_str());
    } else {
      [[maybe_unused]] const int cut = ::ftruncate(::fileno(stream_), oldLength_);
    }
    std::fclose(std::exchange(stream_, nullptr));
    return;
  }
  std::fclose(std::exchange(stream_, nullptr));
  ::unlink(temporary_.c_str());
}

}  // namespace tedskit::store
