#include "capture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <iostream>

namespace teds {
namespace {

// A file in memory: the engine seldom prints, and a file on disk made and dropped for
// every decode cost more than the decode itself.
std::FILE* scratchFile() {
  const int fd = memfd_create("tedskit-capture", MFD_CLOEXEC);
  if (fd < 0) return std::tmpfile();
  std::FILE* file = fdopen(fd, "w+");
  if (file == nullptr) close(fd);
  return file;
}

void flushAll() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
}

}  // namespace

CapturedOutput::CapturedOutput(int fd) : fd_(fd), file_(scratchFile()) {
  flushAll();
  if (file_ == nullptr) return;
  saved_ = dup(fd_);
  if (saved_ >= 0 && dup2(fileno(file_), fd_) < 0) {
    close(saved_);
    saved_ = -1;
  }
}

CapturedOutput::~CapturedOutput() {
  restore();
  if (file_ != nullptr) std::fclose(file_);
}

void CapturedOutput::restore() {
  if (saved_ < 0) return;
  flushAll();
  dup2(saved_, fd_);
  close(saved_);
  saved_ = -1;
}

std::string CapturedOutput::finish() {
  restore();
  std::string text;
  if (file_ == nullptr) return text;
  std::rewind(file_);
  char buffer[512];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file_)) > 0) text.append(buffer, got);
  return text;
}

}  // namespace teds
