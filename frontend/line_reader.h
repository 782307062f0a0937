// Reads the listing files line by line.
#ifndef TEDSKIT_FRONTEND_LINE_READER_H
#define TEDSKIT_FRONTEND_LINE_READER_H

#include <cstdio>
#include <memory>
#include <string>

namespace quillon {

// Lines longer than this are cut; the rest of such a line is passed over.
inline constexpr std::size_t kMaxLineLength = 290;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openForReading(const std::string& path);

// The next line without its line end ("\n", "\r\n" or the end of the file). False at
// the end of the file.
bool readLine(std::FILE* file, std::string& line);

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_LINE_READER_H
