// Lines of a file or a text, each without its line end ("\n", "\r\n", or the end).
#ifndef TEDSKIT_BASE_LINE_READER_H
#define TEDSKIT_BASE_LINE_READER_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace tedskit::base {

// Lines read one at a time from a stream, never longer than maxLength.
class LineReader {
 public:
  enum class Result { Line, End, TooLong };
  // What a longer line gives: its first maxLength characters (the rest of it is passed
  // over), or TooLong (the stream is then left inside that line).
  enum class Overlong { Cut, Report };

  LineReader(std::FILE* stream, std::size_t maxLength, Overlong overlong)
      : stream_(stream), maxLength_(maxLength), overlong_(overlong) {}

  Result next(std::string& line);

 private:
  std::FILE* stream_;
  std::size_t maxLength_;
  Overlong overlong_;
};

// The lines of a text in memory; a last line without a line end counts, an empty text
// has none.
class TextLines {
 public:
  // Where a line ends: at "\n" (a carriage return before it is dropped), or, as the
  // template form text has it, at "\r", "\n" or "\r\n" alike.
  enum class Ends { Newline, NewlineOrReturn };

  explicit TextLines(std::string_view text, Ends ends = Ends::Newline) : text_(text), ends_(ends) {}
  bool next(std::string_view& line);

 private:
  std::string_view text_;
  Ends ends_;
};

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_LINE_READER_H
