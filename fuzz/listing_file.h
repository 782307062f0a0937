// A throw-away template directory for the listing fuzzers: each input is written to
// the file a listing reads.
#ifndef TEDSKIT_FUZZ_LISTING_FILE_H
#define TEDSKIT_FUZZ_LISTING_FILE_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "tedskit/records.h"

namespace fuzzlisting {

class ListingDir {
 public:
  ListingDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillon-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~ListingDir() { std::filesystem::remove_all(path_); }
  ListingDir(const ListingDir&) = delete;
  ListingDir& operator=(const ListingDir&) = delete;

  void write(const char* name, const uint8_t* data, size_t size) const {
    std::FILE* file = std::fopen((path_ + "/" + name).c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  const char* path() const { return path_.c_str(); }

 private:
  std::string path_;
};

inline const ListingDir& listingDir() {
  static const ListingDir dir;
  return dir;
}

// Walks a returned list both ways, as a caller would.
inline void walk(const IDNameNode* first, int32_t count) {
  const IDNameNode* last = first;
  int32_t nodes = 1;
  for (; last->next != nullptr; last = last->next) {
    if (last->next->prev != last) std::abort();
    ++nodes;
  }
  if (count >= 0 && nodes != (count == 0 ? 1 : count)) std::abort();
  for (const IDNameNode* node = last; node != nullptr; node = node->prev) {
    if (strnlen(node->name, sizeof node->name) == sizeof node->name) std::abort();
  }
}

}  // namespace fuzzlisting

#endif
