// Writing a file so that a write that fails leaves the previous file exactly as it was:
// a replacing write goes to a new file beside the target that takes the target's name
// only when complete; an appending write is cut back to the old length on failure.
#ifndef TEDSKIT_STORE_FILE_TRANSACTION_H
#define TEDSKIT_STORE_FILE_TRANSACTION_H

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <sys/types.h>

namespace tedskit::store {

class FileTransaction {
 public:
  enum class Mode { Replace, Append };

  // None when the target cannot be written (the caller's "file not opened").
  static std::optional<FileTransaction> open(const std::filesystem::path& target, Mode mode);

  FileTransaction(FileTransaction&& other) noexcept;
  FileTransaction& operator=(FileTransaction&&) = delete;
  FileTransaction(const FileTransaction&) = delete;
  FileTransaction& operator=(const FileTransaction&) = delete;
  // Rolls back unless committed.
  ~FileTransaction();

  bool write(std::string_view text);

  // Makes the written text the file's; false (rolled back) when that fails.
  bool commit();

 private:
  FileTransaction(std::FILE* stream, Mode mode, std::filesystem::path target, std::filesystem::path temporary,
                  off_t oldLength, bool created);
  void rollBack();

  std::FILE* stream_;
  Mode mode_;
  std::filesystem::path target_;
  std::filesystem::path temporary_;  // Replace only
  off_t oldLength_;                  // Append only
  bool created_;                     // Append only: the target did not exist before
  bool failed_ = false;
};

}  // namespace tedskit::store

#endif
