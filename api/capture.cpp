#include "capture.h"

#include <unistd.h>

#include <iostream>

namespace teds {
namespace {

void flushAll() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
}

}  // namespace

CapturedOutput::CapturedOutput(int fd) : fd_(fd), file_(std::tmpfile()) {
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
