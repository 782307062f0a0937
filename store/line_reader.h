// Lines of a record file, read whole and bounded in length.
#ifndef TEDSKIT_STORE_LINE_READER_H
#define TEDSKIT_STORE_LINE_READER_H

#include <cstdio>
#include <string>

namespace tedskit::store {

// The longest line a record file may hold, its line end not counted; every line a save
// writes is far shorter.
inline constexpr std::size_t kMaxLineLength = 511;

class LineReader {
 public:
  enum class Result { Line, End, TooLong };

  explicit LineReader(std::FILE* stream) : stream_(stream) {}

  // The next line without its line end (a carriage return before the newline goes too).
  Result next(std::string& line);

 private:
  std::FILE* stream_;
};

}  // namespace tedskit::store

#endif
