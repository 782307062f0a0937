#include "description/description_tokens.h"

#include <cstdio>

namespace dorvia {

namespace {
// Carriage returns count as blanks, so text written with CR LF line ends reads the same.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
}  // namespace

void TokenCursor::reportEnd() { std::fputs("end of string", stdout); }

void TokenCursor::skipBlanks() {
  while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
}

Token TokenCursor::next() {
  skipBlanks();
  if (pos_ >= text_.size()) {
    reportEnd();
    return {TokenKind::End, {}};
  }
  const char c = text_[pos_];
  if (c == '\n') {
    ++pos_;
    return {TokenKind::LineEnd, text_.substr(pos_ - 1, 1)};
  }
  if (c == ',') {
    ++pos_;
    return {TokenKind::Comma, text_.substr(pos_ - 1, 1)};
  }
  if (c == '"') {
    const std::size_t from = pos_ + 1;
    std::size_t close = text_.find('"', from);
    if (close == std::string_view::npos) close = text_.size();
    pos_ = close < text_.size() ? close + 1 : close;
    return {TokenKind::Quoted, text_.substr(from, close - from)};
  }
  const std::size_t from = pos_;
  while (pos_ < text_.size() && !isBlank(text_[pos_]) && text_[pos_] != ',' && text_[pos_] != '\n') {
    ++pos_;
  }
  return {TokenKind::Word, text_.substr(from, pos_ - from)};
}

bool TokenCursor::restOfLine(std::string_view& rest) {
  skipBlanks();
  if (pos_ >= text_.size()) {
    reportEnd();
    return false;
  }
  const std::size_t newline = text_.find('\n', pos_);
  const std::size_t end = newline == std::string_view::npos ? text_.size() : newline + 1;
  rest = text_.substr(pos_, end - pos_);
  pos_ = end;
  return true;
}

bool TokenCursor::skipLine() {
  for (;;) {
    const Token token = next();
    if (token.kind == TokenKind::End) return false;
    if (token.kind == TokenKind::LineEnd) return true;
  }
}

}  // namespace dorvia
