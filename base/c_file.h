// A C stream that closes itself.
#ifndef TEDSKIT_BASE_C_FILE_H
#define TEDSKIT_BASE_C_FILE_H

#include <cstdio>
#include <memory>

namespace tedskit::base {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using CFile = std::unique_ptr<std::FILE, FileCloser>;

// The file opened as std::fopen opens it; empty when it cannot be opened (or the path is null).
inline CFile openFile(const char* path, const char* mode) {
  return CFile(path != nullptr ? std::fopen(path, mode) : nullptr);
}

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_C_FILE_H
