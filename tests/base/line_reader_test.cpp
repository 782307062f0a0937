#include "base/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tedskit::base {
namespace {

struct Stream {
  explicit Stream(std::string text)
      : text_(std::move(text)), file_(fmemopen(text_.data(), text_.size(), "r")) {}
  ~Stream() { std::fclose(file_); }
  std::FILE* get() const { return file_; }
  std::string text_;
  std::FILE* file_;
};

std::vector<std::string> allLines(const std::string& text, std::size_t max, LineReader::Overlong overlong,
                                  std::size_t* tooLong = nullptr) {
  Stream stream(text);
  LineReader reader(stream.get(), max, overlong);
  std::vector<std::string> lines;
  std::string line;
  for (;;) {
    const auto result = reader.next(line);
    if (result == LineReader::Result::End) break;
    if (result == LineReader::Result::TooLong) {
      if (tooLong != nullptr) *tooLong = lines.size();
      break;
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(LineReader, LineEndsAndTheLastLine) {
  using V = std::vector<std::string>;
  EXPECT_EQ(allLines("a\nbb\r\n\nccc", 10, LineReader::Overlong::Cut), (V{"a", "bb", "", "ccc"}));
  EXPECT_EQ(allLines("", 10, LineReader::Overlong::Cut), V{});
  EXPECT_EQ(allLines("x\n", 10, LineReader::Overlong::Cut), V{"x"});
}

TEST(LineReader, OverlongLinesAreCutOrReported) {
  using V = std::vector<std::string>;
  const std::string text = "abcd\r\nabcdefgh\nab\n";
  EXPECT_EQ(allLines(text, 4, LineReader::Overlong::Cut), (V{"abcd", "abcd", "ab"}))
      << "a carriage return past the limit is not part of the line";
  std::size_t at = 99;
  EXPECT_EQ(allLines(text, 4, LineReader::Overlong::Report, &at), V{"abcd"});
  EXPECT_EQ(at, 1u);
  EXPECT_EQ(allLines("abc\rdefg\n", 4, LineReader::Overlong::Cut), V{"abc"})
      << "no carriage return is left at the cut";
}

// Lines around and beyond a few hundred characters, the limit just at, below and above them.
TEST(LineReader, LongLinesKeepEveryCharacter) {
  using V = std::vector<std::string>;
  std::string longLine;
  for (int i = 0; i < 1200; ++i) longLine += static_cast<char>('a' + i % 26);
  const std::string text = longLine.substr(0, 255) + "\n" + longLine.substr(0, 256) + "\r\n" + longLine + "\n";
  EXPECT_EQ(allLines(text, 2000, LineReader::Overlong::Cut),
            (V{longLine.substr(0, 255), longLine.substr(0, 256), longLine}));
  EXPECT_EQ(allLines(text, 600, LineReader::Overlong::Cut),
            (V{longLine.substr(0, 255), longLine.substr(0, 256), longLine.substr(0, 600)}));
  std::size_t at = 99;
  EXPECT_EQ(allLines(text, 256, LineReader::Overlong::Report, &at),
            (V{longLine.substr(0, 255), longLine.substr(0, 256)}));
  EXPECT_EQ(at, 2u);
}

TEST(TextLines, LinesOfATextInMemory) {
  TextLines lines("one\r\ntwo\n\nthree");
  std::vector<std::string> seen;
  std::string_view line;
  while (lines.next(line)) seen.emplace_back(line);
  EXPECT_EQ(seen, (std::vector<std::string>{"one", "two", "", "three"}));
  TextLines none("");
  EXPECT_FALSE(none.next(line));

  TextLines form("one\rtwo\r\nthree\n\rfour", TextLines::Ends::NewlineOrReturn);
  seen.clear();
  while (form.next(line)) seen.emplace_back(line);
  EXPECT_EQ(seen, (std::vector<std::string>{"one", "two", "three", "", "four"}));
}

}  // namespace
}  // namespace tedskit::base
