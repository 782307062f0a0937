// The token reader shared by description lines and form text lines.
#ifndef TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_TOKENS_H
#define TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_TOKENS_H

#include <cstddef>
#include <string_view>

namespace dorvia {

enum class TokenKind { Word = 0, LineEnd = 1, Quoted = 2, End = 3, Comma = 5 };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view text;  // the word, or the content of a quoted token
};

class TokenCursor {
 public:
  explicit TokenCursor(std::string_view text) : text_(text) {}

  // The next token; at the end of the text prints "end of string" and gives End.
  Token next();
  // Everything up to and including the next newline (or to the end of the text), after
  // blanks. Returns false (and prints "end of string") when the text has ended.
  bool restOfLine(std::string_view& rest);
  // Consumes tokens up to and including the line end; false when the text ends first.
  bool skipLine();

  std::size_t position() const { return pos_; }
  std::string_view text() const { return text_; }

 private:
  void skipBlanks();
  static void reportEnd();

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_DESCRIPTION_DESCRIPTION_TOKENS_H
