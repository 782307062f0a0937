#include "lexer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "text_util.h"

namespace orlin_detail {
namespace {

struct Keyword {
  std::string_view word;
  Tok kind;
};

// Keyword order decides nothing among themselves (no two are equal), but it is the
// order in which they win ties over the rules that follow them.
constexpr std::array<Keyword, 35> kKeywords = {{
    {"TDL_VERSION_NUMBER", Tok::TdlVersionNumber},
    {"VALIDATION_KEYCODE", Tok::ValidationKeycode},
    {"UGID", Tok::Ugid},
    {"SPACING", Tok::Spacing},
    {"SELECTCASE", Tok::SelectCase},
    {"ENDSELECT", Tok::EndSelect},
    {"CASE", Tok::Case},
    {"ENDCASE", Tok::EndCase},
    {"STRUCTARRAY", Tok::StructArray},
    {"ENDSTRUCTARRAY", Tok::EndStructArray},
    {"ENUMERATE", Tok::Enumerate},
    {"PHYSICAL_UNIT", Tok::PhysicalUnit},
    {"ID", Tok::Id},
    {"CAL", Tok::Cal},
    {"USR", Tok::Usr},
    {"ALIGN", Tok::Align},
    {"UNINT", Tok::Unint},
    {"CHR5", Tok::Chr5},
    {"STRING5", Tok::String5},
    {"STRING7", Tok::String7},
    {"STRING16", Tok::String16},
    {"DATE", Tok::Date},
    {"ConRelRes", Tok::ConRelRes},
    {"ConRes", Tok::ConRes},
    {"ASCII", Tok::Ascii},
    {"Single", Tok::Single},
    {"Unicode", Tok::Unicode},
    {"BITBIN", Tok::BitBin},
    {"DEFAULT", Tok::Default},
    {"INITIALIZE", Tok::Initialize},
    {"READWRITE", Tok::ReadWrite},
    {"CTRLFUNCTIONMASK", Tok::CtrlFunctionMask},
    {"FUNCTIONTYPE", Tok::FunctionType},
    {"FUNCTION", Tok::Function},
    {"ENDTEMPLATE", Tok::EndTemplate},
}};

constexpr std::size_t kLongestKeyword = 18;

// The keywords grouped by length: a word is compared only with those as long as it.
struct KeywordsByLength {
  std::array<uint8_t, kKeywords.size()> order{};
  std::array<uint8_t, kLongestKeyword + 2> start{};  // order[start[n]] onwards have length n
};

constexpr KeywordsByLength kByLength = [] {
  KeywordsByLength t;
  std::size_t next = 0;
  for (std::size_t length = 0; length <= kLongestKeyword; ++length) {
    t.start[length] = static_cast<uint8_t>(next);
    for (std::size_t i = 0; i < kKeywords.size(); ++i) {
      if (kKeywords[i].word.size() == length) t.order[next++] = static_cast<uint8_t>(i);
    }
  }
  t.start[kLongestKeyword + 1] = static_cast<uint8_t>(next);
  return t;
}();
static_assert(kByLength.start[kLongestKeyword + 1] == kKeywords.size(), "a keyword is longer than kLongestKeyword");

// The keyword the word is, ignoring case, or Ident.
Tok keywordKind(std::string_view word) {
  if (word.size() > kLongestKeyword) return Tok::Ident;
  for (std::size_t i = kByLength.start[word.size()]; i < kByLength.start[word.size() + 1]; ++i) {
    const Keyword& k = kKeywords[kByLength.order[i]];
    if (equalsIgnoreCase(word, k.word)) return k.kind;
  }
  return Tok::Ident;
}

constexpr bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(unsigned char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isBinDigit(unsigned char c) { return c == '0' || c == '1'; }

// The characters that continue a word or label after its first letter.
constexpr auto kContinuesWord = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = isLetter(static_cast<unsigned char>(c)) || isDigit(static_cast<unsigned char>(c));
  for (unsigned char c : {'_', '!', '#', '$', '&', '@', '^'}) table[c] = true;
  return table;
}();

bool continuesWord(unsigned char c) { return kContinuesWord[c]; }

// A token and the few characters the matcher looks past its end.
constexpr std::size_t kMatchWindow = Lexer::kMaxTokenLength + 8;
// Consumed input is dropped from the buffer once this much has gathered.
constexpr std::size_t kCompactAfter = 65536;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

Lexer::Lexer(Reader reader) : reader_(std::move(reader)) {}

Lexer::Lexer(std::string text)
    : Lexer([text = std::move(text), at = std::size_t{0}](char* dst, std::size_t max) mutable {
        const std::size_t n = std::min(max, text.size() - at);
        text.copy(dst, n, at);
        at += n;
        return n;
      }) {}

void Lexer::fill(std::size_t count) {
  while (!fileDone_ && input_.size() - pos_ < count) {
    if (pos_ >= kCompactAfter) {
      input_.erase(0, pos_);
      pos_ = 0;
    }
    char chunk[kChunkSize];
    const std::size_t n = reader_(chunk, sizeof chunk);
    if (n == 0) {
      fileDone_ = true;
      if (heldCarriageReturn_) input_.push_back('\r');
      heldCarriageReturn_ = false;
      return;
    }
    append(chunk, n);
  }
}

void Lexer::append(const char* chunk, std::size_t n) {
  const char* at = chunk;
  const char* const end = chunk + n;
  if (heldCarriageReturn_ && at < end) {
    heldCarriageReturn_ = false;
    if (*at != '\n') input_.push_back('\r');
  }
  // Whole runs between carriage returns go in at once: a CR is dropped only before a LF.
  while (at < end) {
    const auto* cr = static_cast<const char*>(std::memchr(at, '\r', static_cast<std::size_t>(end - at)));
    if (cr == nullptr) {
      input_.append(at, end);
      return;
    }
    input_.append(at, cr);
    if (cr + 1 == end) {
      heldCarriageReturn_ = true;
      return;
    }
    if (cr[1] != '\n') input_.push_back('\r');
    at = cr + 1;
  }
}

Tok Lexer::next() {
  if (ended_) return Tok::End;
  for (;;) {
    if (pos_ == input_.size()) fill(1);
    if (pos_ == input_.size() || !isBlank(input_[pos_])) break;
    ++pos_;
  }
  if (pos_ == input_.size()) {
    ended_ = true;
    text_ = {};
    return Tok::End;
  }
  // Checked here first: fill itself is only worth a call once per chunk.
  if (!fileDone_ && input_.size() - pos_ < kMatchWindow) fill(kMatchWindow);
  if (input_[pos_] == '\0') throw ScanFailure("no match in flex scanner - possible NULL in input");

  Tok kind = Tok::End;
  const std::size_t length = matchLength(pos_, kind);
  if (length == 0) {
    // A character that starts no token ends the input; it is still quoted in errors.
    ended_ = true;
    text_ = std::string_view(input_).substr(pos_, 1);
    return Tok::End;
  }
  if (length > kMaxTokenLength) throw ScanFailure("flex input buffer overflowed");
  text_ = std::string_view(input_).substr(pos_, length);
  pos_ += length;
  return kind;
}

std::size_t Lexer::matchLength(std::size_t at, Tok& kind) const {
  const std::string_view rest = std::string_view(input_).substr(at);
  const auto c = static_cast<unsigned char>(rest[0]);
  const auto nextChar = [&](std::size_t i) {
    return i < rest.size() ? static_cast<unsigned char>(rest[i]) : 0;
  };
  const auto toLineEnd = [&] {
    const std::size_t end = rest.find('\n');
    return end == std::string_view::npos ? rest.size() : end;
  };

  if (isLetter(c)) {
    // ABSTRACT takes the rest of its line, even with letters right after the word.
    if (rest.size() >= 8 && equalsIgnoreCase(rest.substr(0, 8), "ABSTRACT")) {
      kind = Tok::AbstractLine;
      return toLineEnd();
    }
    std::size_t n = 1;
    while (continuesWord(nextChar(n))) ++n;
    const std::string_view word = rest.substr(0, n);
    kind = keywordKind(word);
    if (kind == Tok::Ident && equalsIgnoreCase(word, "TEMPLATE")) kind = Tok::Template;
    return n;
  }
  switch (c) {
    case '%': {
      if (!isLetter(nextChar(1))) return 0;
      std::size_t n = 2;
      while (continuesWord(nextChar(n))) ++n;
      kind = Tok::Label;
      return n;
    }
    case '/':
      if (nextChar(1) != '/') return 0;
      kind = Tok::CommentLine;
      return toLineEnd();
    case '\n':
      kind = Tok::Newline;
      return 1;
    case '"':
    case '\'': {
      kind = Tok::String;
      for (std::size_t i = 1; i < rest.size(); ++i) {
        if (rest[i] == '\n') return 0;
        if (static_cast<unsigned char>(rest[i]) == c) return i + 1;
      }
      // Unclosed at the end of the file; otherwise still open past the longest token.
      return fileDone_ ? 0 : rest.size();
    }
    case ',':
      kind = Tok::Comma;
      return 1;
    case '[':
      kind = Tok::LBracket;
      return 1;
    case ']':
      kind = Tok::RBracket;
      return 1;
    case '=':
      kind = Tok::Equals;
      return 1;
    case '(':
      kind = Tok::LParen;
      return 1;
    case ')':
      kind = Tok::RParen;
      return 1;
    default:
      return numberLength(at, kind);
  }
}

std::size_t Lexer::numberLength(std::size_t at, Tok& kind) const {
  const std::string_view rest = std::string_view(input_).substr(at);
  const auto ch = [&](std::size_t i) { return i < rest.size() ? static_cast<unsigned char>(rest[i]) : 0; };
  const auto runOf = [&](std::size_t from, bool (*accept)(unsigned char)) {
    std::size_t i = from;
    while (accept(ch(i))) ++i;
    return i - from;
  };
  // A complete exponent at i ("e", optional sign, digits), or 0.
  const auto exponentAt = [&](std::size_t i) -> std::size_t {
    if (ch(i) != 'e' && ch(i) != 'E') return 0;
    const std::size_t sign = (ch(i + 1) == '+' || ch(i + 1) == '-') ? 1 : 0;
    const std::size_t digits = runOf(i + 1 + sign, isDigit);
    return digits == 0 ? 0 : 1 + sign + digits;
  };

  const bool signed_ = ch(0) == '+' || ch(0) == '-';
  const std::size_t start = signed_ ? 1 : 0;
  const std::size_t digits = runOf(start, isDigit);

  std::size_t best = 0;
  // Candidates in rule order; a later rule only wins when strictly longer.
  const auto offer = [&](std::size_t length, Tok k) {
    if (length > best) {
      best = length;
      kind = k;
    }
  };
  if (digits > 0) offer(start + digits, Tok::Integer);
  if (!signed_ && ch(0) == '0' && (ch(1) == 'x' || ch(1) == 'X')) {
    const std::size_t n = runOf(2, isHexDigit);
    if (n > 0) offer(2 + n, Tok::HexNum);
  }
  if (!signed_ && ch(0) == '0' && (ch(1) == 'b' || ch(1) == 'B')) {
    const std::size_t n = runOf(2, isBinDigit);
    if (n > 0) offer(2 + n, Tok::BinNum);
  }
  if (digits > 0 && ch(start + digits) == '.') {
    const std::size_t mantissa = start + digits + 1 + runOf(start + digits + 1, isDigit);
    offer(mantissa + exponentAt(mantissa), Tok::Float);
  }
  if (!signed_ && ch(0) == '.') {
    const std::size_t fraction = runOf(1, isDigit);
    if (fraction > 0) offer(1 + fraction + exponentAt(1 + fraction), Tok::Float);
  }
  if (digits > 0) {
    const std::size_t e = exponentAt(start + digits);
    if (e > 0) offer(start + digits + e, Tok::Float);
  }
  return best;
}

}  // namespace orlin_detail
