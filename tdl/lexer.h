// The TDL scanner: turns the text of a file into the tokens the parser pulls one at a
// time. Longest match wins; between matches of equal length the earlier rule wins, in
// this order: keywords, ABSTRACT line, TEMPLATE, label, comment line, identifier, line
// feed, blanks, quoted string, punctuation, integer, hex number, binary number, float.
// A character that starts no token ends the input.
#ifndef TEDSKIT_TDL_LEXER_H
#define TEDSKIT_TDL_LEXER_H

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orlin_detail {

enum class Tok {
  End,
  // Keywords, in the order in which they win ties.
  TdlVersionNumber,
  ValidationKeycode,
  Ugid,
  Spacing,
  SelectCase,
  EndSelect,
  Case,
  EndCase,
  StructArray,
  EndStructArray,
  Enumerate,
  PhysicalUnit,
  Id,
  Cal,
  Usr,
  Align,
  Unint,
  Chr5,
  String5,
  String7,
  String16,
  Date,
  ConRelRes,
  ConRes,
  Ascii,
  Single,
  Unicode,
  BitBin,
  Default,
  Initialize,
  ReadWrite,
  CtrlFunctionMask,
  FunctionType,
  Function,
  EndTemplate,
  // Tokens that carry their text.
  AbstractLine,
  Template,
  Label,
  CommentLine,
  Ident,
  Newline,
  String,
  Comma,
  LBracket,
  RBracket,
  Equals,
  LParen,
  RParen,
  Integer,
  HexNum,
  BinNum,
  Float
};

// One of the three conditions after which the scanner cannot go on; what() is the
// message written to standard error.
class ScanFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Supplies the bytes of the file: copies up to max bytes to dst and returns how many,
// 0 at the end of the file; throws ScanFailure when reading fails.
using Reader = std::function<std::size_t(char* dst, std::size_t max)>;

class Lexer {
 public:
  // The longest token the scanner holds; a longer one is a ScanFailure.
  static constexpr std::size_t kMaxTokenLength = 1535;
  // Bytes asked of the reader at a time.
  static constexpr std::size_t kChunkSize = 16384;

  // Reads the file as tokens need it, so memory stays bounded whatever its size.
  // Carriage return + line feed pairs read as one line feed.
  explicit Lexer(Reader reader);
  // The whole input at once.
  explicit Lexer(std::string text);

  // The next token; End at the end of input and on every request after it.
  Tok next();
  // Text of the token returned last (empty at the end of the file; the offending
  // character when one that starts no token ended the input).
  std::string_view text() const { return text_; }

 private:
  // Reads until count bytes from the current position are buffered, or the file ends.
  void fill(std::size_t count);
  void append(const char* chunk, std::size_t n);
  std::size_t matchLength(std::size_t at, Tok& kind) const;
  std::size_t numberLength(std::size_t at, Tok& kind) const;

  Reader reader_;
  std::string input_;  // the unread part of the file, from a little before pos_
  std::size_t pos_ = 0;
  std::string_view text_;
  bool ended_ = false;
  bool fileDone_ = false;
  bool heldCarriageReturn_ = false;  // a chunk ended in CR: its pair may start the next
};

}  // namespace orlin_detail

#endif
