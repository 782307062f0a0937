// Parsed text files kept between calls, keyed by path and checked against the file's
// size and modification time, so an unchanged file is neither re-read nor re-scanned.
#ifndef TEDSKIT_ENGINE_COMMON_FILE_CACHE_H
#define TEDSKIT_ENGINE_COMMON_FILE_CACHE_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace dorvia {

struct FileStamp {
  int64_t size = -1;
  int64_t modifiedNs = -1;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file, or nothing when it cannot be examined.
std::optional<FileStamp> stampOf(const std::string& path);
// The whole file as bytes, or nothing when it cannot be opened.
std::optional<std::string> readWholeFile(const std::string& path);

template <typename Parsed>
class FileCache {
 public:
  using Parser = std::function<Parsed(std::string_view content)>;

  explicit FileCache(Parser parse) : parse_(std::move(parse)) {}

  // The parsed content of the file at path, or null when it cannot be opened.
  std::shared_ptr<const Parsed> get(const std::string& path) {
    const std::optional<FileStamp> stamp = stampOf(path);
    if (stamp) {
      const auto found = entries_.find(path);
      if (found != entries_.end() && found->second.stamp == *stamp) return found->second.parsed;
    }
    const std::optional<std::string> content = readWholeFile(path);
    if (!content) {
      entries_.erase(path);
      return nullptr;
    }
    auto parsed = std::make_shared<const Parsed>(parse_(*content));
    if (stamp) {
      // A caller cycling through many paths must not grow the cache without bound.
      if (entries_.size() >= kMaxEntries) entries_.clear();
      entries_[path] = Entry{*stamp, parsed};
    }
    return parsed;
  }

 private:
  static constexpr std::size_t kMaxEntries = 32;
  struct Entry {
    FileStamp stamp;
    std::shared_ptr<const Parsed> parsed;
  };
  Parser parse_;
  std::map<std::string, Entry, std::less<>> entries_;
};

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_COMMON_FILE_CACHE_H
