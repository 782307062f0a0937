// Scratch directories and a scoped change of the current directory, shared by every test suite.
#ifndef TEDSKIT_TESTS_SUPPORT_SCRATCH_DIR_H
#define TEDSKIT_TESTS_SUPPORT_SCRATCH_DIR_H

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

#include <gtest/gtest.h>

namespace tedskittest {

// A new private directory under the system's temporary directory, removed with all it holds.
// A directory that cannot be made throws, so the test fails there instead of writing elsewhere.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix = "tedskit-test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::system_error(errno, std::generic_category(), "cannot make the scratch directory " + pattern);
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& content) const {
    std::ofstream(file(name), std::ios::binary) << content;
  }

 private:
  std::string path_;
};

// Runs a scope from another current directory and returns to the previous one on every exit,
// an assertion that leaves early included, so later tests start where they expect.
class InDirectory {
 public:
  explicit InDirectory(const std::filesystem::path& dir) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }
  InDirectory(const InDirectory&) = delete;
  InDirectory& operator=(const InDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

// For test binaries whose every case runs from one directory (the V1.0 engine opens its
// template files relative to the current one): enters it before the first case, leaves it
// after the last.
class InDirectoryEnvironment : public ::testing::Environment {
 public:
  explicit InDirectoryEnvironment(std::filesystem::path dir) : dir_(std::move(dir)) {}
  void SetUp() override { entered_ = std::make_unique<InDirectory>(dir_); }
  void TearDown() override { entered_.reset(); }

 private:
  std::filesystem::path dir_;
  std::unique_ptr<InDirectory> entered_;
};

}  // namespace tedskittest

#endif
