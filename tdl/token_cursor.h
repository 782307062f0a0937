// The parser's view of the token stream: one token of lookahead, and the statement
// counter that every line feed it consumes advances.
#ifndef TEDSKIT_TDL_TOKEN_CURSOR_H
#define TEDSKIT_TDL_TOKEN_CURSOR_H

#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "lexer.h"

namespace orlin_detail {

// Stops the parse; message goes into the error line.
struct ParseStop {
  const char* message;
};

class TokenCursor {
 public:
  int statement() const { return statement_; }
  // Text of the lookahead token: what an error message quotes.
  std::string_view text() const { return lexer_.text(); }

 protected:
  explicit TokenCursor(Reader reader) : lexer_(std::move(reader)) {}

  [[noreturn]] void fail(const char* message = "parse error") { throw ParseStop{message}; }

  void advance() { la_ = lexer_.next(); }

  std::string take(Tok kind) {
    if (la_ != kind) fail();
    std::string value(lexer_.text());
    advance();
    return value;
  }

  void expect(Tok kind) {
    if (la_ != kind) fail();
    if (kind == Tok::Newline && statement_ < std::numeric_limits<int>::max()) ++statement_;
    if (kind != Tok::End) advance();
  }

  bool accept(Tok kind) {
    if (la_ != kind) return false;
    expect(kind);
    return true;
  }

  void newlines() {
    while (accept(Tok::Newline)) {
    }
  }

  void commentLines() {
    while (la_ == Tok::Newline || la_ == Tok::CommentLine) expect(la_);
  }

  void sep() {
    expect(Tok::Comma);
    newlines();
  }

  std::string number() {
    if (la_ != Tok::Float && la_ != Tok::Integer) fail();
    return take(la_);
  }

  Tok la_ = Tok::End;  // the lookahead

 private:
  Lexer lexer_;
  int statement_ = 1;
};

}  // namespace orlin_detail

#endif
