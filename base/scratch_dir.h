// A directory of the system's temporary folder for one piece of work, removed with all it
// holds when the work is done.
#ifndef TEDSKIT_BASE_SCRATCH_DIR_H
#define TEDSKIT_BASE_SCRATCH_DIR_H

#include <filesystem>
#include <optional>
#include <string_view>

namespace tedskit::base {

class ScratchDir {
 public:
  // A new directory named prefix and six random characters; nothing when none can be made.
  static std::optional<ScratchDir> make(std::string_view prefix);

  ScratchDir(ScratchDir&& other) noexcept;
  ScratchDir& operator=(ScratchDir&&) = delete;
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir();

  const std::filesystem::path& path() const { return path_; }

 private:
  explicit ScratchDir(std::filesystem::path path) : path_(std::move(path)) {}
  std::filesystem::path path_;
};

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_SCRATCH_DIR_H
