#include "base/scratch_dir.h"

#include <stdlib.h>

#include <string>
#include <system_error>

namespace tedskit::base {

std::optional<ScratchDir> ScratchDir::make(std::string_view prefix) {
  std::error_code error;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error) return std::nullopt;
  std::string pattern = (temporary / (std::string(prefix) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
  return ScratchDir(std::filesystem::path(pattern));
}

ScratchDir::ScratchDir(ScratchDir&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }

ScratchDir::~ScratchDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace tedskit::base
