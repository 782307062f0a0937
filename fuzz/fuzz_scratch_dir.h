// A private scratch directory for fuzz targets that must hand the engine a file. Each
// input gets a fresh sub-directory, so the engine's file cache (keyed by path, size and
// modification time) can never serve an earlier input's content.
#ifndef TEDSKIT_FUZZ_FUZZ_SCRATCH_DIR_H
#define TEDSKIT_FUZZ_FUZZ_SCRATCH_DIR_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class FuzzScratch {
 public:
  FuzzScratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-dorvia-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
  }
  ~FuzzScratch() { std::filesystem::remove_all(root_); }

  // A new, empty directory holding one file with the given content.
  std::string dirWith(const std::string& name, const uint8_t* data, std::size_t size) {
    std::filesystem::remove_all(current_);
    current_ = root_ + "/" + std::to_string(++count_);
    std::filesystem::create_directory(current_);
    if (std::FILE* file = std::fopen((current_ + "/" + name).c_str(), "wb")) {
      if (size > 0) std::fwrite(data, 1, size, file);
      std::fclose(file);
    }
    return current_;
  }

 private:
  std::string root_;
  std::string current_;
  uint64_t count_ = 0;
};

#endif  // TEDSKIT_FUZZ_FUZZ_SCRATCH_DIR_H
