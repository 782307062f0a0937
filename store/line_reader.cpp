#include "line_reader.h"

namespace tedskit::store {

LineReader::Result LineReader::next(std::string& line) {
  line.clear();
  int c = std::getc(stream_);
  if (c == EOF) return Result::End;
  // One character beyond the longest line, so that a carriage return before its newline
  // still fits.
  while (c != EOF && c != '\n') {
    if (line.size() > kMaxLineLength) return Result::TooLong;
    line.push_back(static_cast<char>(c));
    c = std::getc(stream_);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line.size() > kMaxLineLength ? Result::TooLong : Result::Line;
}

}  // namespace tedskit::store
