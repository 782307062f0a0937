#include "base/line_reader.h"

namespace tedskit::base {
namespace {

void dropCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

LineReader::Result LineReader::next(std::string& line) {
  line.clear();
  // The stream belongs to its reader alone: taking its lock for every character would
  // cost more than the reading.
  int c = getc_unlocked(stream_);
  if (c == EOF) return Result::End;
  // One character beyond the longest line, so that a carriage return before its newline
  // still fits.
  // Characters gather in a buffer and join the line a buffer at a time.
  char buffer[256];
  std::size_t held = 0;
  for (; c != EOF && c != '\n'; c = getc_unlocked(stream_)) {
    if (line.size() + held <= maxLength_) {
      buffer[held++] = static_cast<char>(c);
      if (held == sizeof buffer) {
        line.append(buffer, held);
        held = 0;
      }
    } else if (overlong_ == Overlong::Report) {
      line.append(buffer, held);
      return Result::TooLong;
    }
  }
  line.append(buffer, held);
  dropCarriageReturn(line);
  if (line.size() <= maxLength_) return Result::Line;
  if (overlong_ == Overlong::Report) return Result::TooLong;
  line.resize(maxLength_);
  dropCarriageReturn(line);
  return Result::Line;
}

bool TextLines::next(std::string_view& line) {
  if (text_.empty()) return false;
  const std::size_t end = ends_ == Ends::Newline ? text_.find('\n') : text_.find_first_of("\r\n");
  line = text_.substr(0, end);
  if (end == std::string_view::npos) {
    text_ = {};
  } else {
    const bool pair = text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n';
    text_.remove_prefix(end + (pair ? 2 : 1));
  }
  if (ends_ == Ends::Newline && !line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

}  // namespace tedskit::base
