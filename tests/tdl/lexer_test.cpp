#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "lexer.h"

using orlin_detail::Lexer;
using orlin_detail::ScanFailure;
using orlin_detail::Tok;

namespace {

using Tokens = std::vector<std::pair<Tok, std::string>>;

// Every token up to and including the first End.
Tokens scan(const std::string& input) {
  Lexer lexer(input);
  Tokens out;
  for (;;) {
    const Tok t = lexer.next();
    out.emplace_back(t, std::string(lexer.text()));
    if (t == Tok::End) return out;
  }
}

struct ScanCase {
  const char* name;
  std::string input;
  Tokens expected;
};

class LexerTokens : public ::testing::TestWithParam<ScanCase> {};

TEST_P(LexerTokens, SplitsInputIntoTokens) { EXPECT_EQ(scan(GetParam().input), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Rules, LexerTokens,
    ::testing::Values(
        ScanCase{"KeywordCarriesText",
                 "Template 1",
                 {{Tok::Template, "Template"}, {Tok::Integer, "1"}, {Tok::End, ""}}},
        ScanCase{"KeywordThenComma",
                 "TEMPLATE,",
                 {{Tok::Template, "TEMPLATE"}, {Tok::Comma, ","}, {Tok::End, ""}}},
        ScanCase{"KeywordsOnlyAsWholeWords",
                 "DATEX date TEMPLATES conrelres ConRes",
                 {{Tok::Ident, "DATEX"},
                  {Tok::Date, "date"},
                  {Tok::Ident, "TEMPLATES"},
                  {Tok::ConRelRes, "conrelres"},
                  {Tok::ConRes, "ConRes"},
                  {Tok::End, ""}}},
        ScanCase{"LabelWithSpecialCharacters", "%Sens@Ref", {{Tok::Label, "%Sens@Ref"}, {Tok::End, ""}}},
        ScanCase{"FullStopEndsInput", "%ab.c", {{Tok::Label, "%ab"}, {Tok::End, "."}}},
        ScanCase{"PercentWithoutLetterEndsInput", "% x", {{Tok::End, "%"}}},
        ScanCase{"AbstractTakesTheLine",
                 "abstract: caf\xe9\nx",
                 {{Tok::AbstractLine, "abstract: caf\xe9"},
                  {Tok::Newline, "\n"},
                  {Tok::Ident, "x"},
                  {Tok::End, ""}}},
        ScanCase{"AbstractEvenWithLettersAfter",
                 "ABSTRACTION x",
                 {{Tok::AbstractLine, "ABSTRACTION x"}, {Tok::End, ""}}},
        ScanCase{"AbstractInsideWordIsIdent", "XABSTRACT", {{Tok::Ident, "XABSTRACT"}, {Tok::End, ""}}},
        ScanCase{"CommentTakesTheLine",
                 "a // b, \"c\n",
                 {{Tok::Ident, "a"}, {Tok::CommentLine, "// b, \"c"}, {Tok::Newline, "\n"}, {Tok::End, ""}}},
        ScanCase{"LoneSlashEndsInput", "a / b", {{Tok::Ident, "a"}, {Tok::End, "/"}}},
        ScanCase{"QuotesDoNotNest",
                 "'it''s' \"a\"\"b\"",
                 {{Tok::String, "'it'"},
                  {Tok::String, "'s'"},
                  {Tok::String, "\"a\""},
                  {Tok::String, "\"b\""},
                  {Tok::End, ""}}},
        ScanCase{"HighBytesInsideString", "\"0\xb0\"", {{Tok::String, "\"0\xb0\""}, {Tok::End, ""}}},
        ScanCase{"UnclosedQuoteEndsInput", "\"ab\ncd\"", {{Tok::End, "\""}}},
        ScanCase{"LoneCarriageReturnEndsInput", "x\ry", {{Tok::Ident, "x"}, {Tok::End, "\r"}}},
        ScanCase{"CarriageReturnLineFeedIsOneLineFeed",
                 "x\r\ny",
                 {{Tok::Ident, "x"}, {Tok::Newline, "\n"}, {Tok::Ident, "y"}, {Tok::End, ""}}},
        ScanCase{"HighByteOutsideTextEndsInput", "x \xb0", {{Tok::Ident, "x"}, {Tok::End, "\xb0"}}},
        ScanCase{"Punctuation",
                 ",[]=()\t ",
                 {{Tok::Comma, ","},
                  {Tok::LBracket, "["},
                  {Tok::RBracket, "]"},
                  {Tok::Equals, "="},
                  {Tok::LParen, "("},
                  {Tok::RParen, ")"},
                  {Tok::End, ""}}},
        ScanCase{"NumberThenIdent", "12abc", {{Tok::Integer, "12"}, {Tok::Ident, "abc"}, {Tok::End, ""}}},
        ScanCase{"HexPrefixWithoutDigit", "0x", {{Tok::Integer, "0"}, {Tok::Ident, "x"}, {Tok::End, ""}}},
        ScanCase{
            "BinaryStopsAtOtherDigit", "0B12", {{Tok::BinNum, "0B1"}, {Tok::Integer, "2"}, {Tok::End, ""}}},
        ScanCase{
            "FloatStopsAtSecondPoint", "1.5.3", {{Tok::Float, "1.5"}, {Tok::Float, ".3"}, {Tok::End, ""}}},
        ScanCase{"SignOnlyBeforeDigits",
                 "-12 +1.5 -.5",
                 {{Tok::Integer, "-12"}, {Tok::Float, "+1.5"}, {Tok::End, "-"}}},
        ScanCase{"Exponents",
                 "1e5 2E-3 1.e+2 7e",
                 {{Tok::Float, "1e5"},
                  {Tok::Float, "2E-3"},
                  {Tok::Float, "1.e+2"},
                  {Tok::Integer, "7"},
                  {Tok::Ident, "e"},
                  {Tok::End, ""}}},
        ScanCase{"HexTakesExponentLetters",
                 "0x1e5 0Xff",
                 {{Tok::HexNum, "0x1e5"}, {Tok::HexNum, "0Xff"}, {Tok::End, ""}}},
        ScanCase{"UnderscoreEndsInput", "_x", {{Tok::End, "_"}}}),
    [](const ::testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST(Lexer, KeepsAnsweringEndAfterTheEnd) {
  Lexer lexer("x");
  EXPECT_EQ(lexer.next(), Tok::Ident);
  EXPECT_EQ(lexer.next(), Tok::End);
  EXPECT_EQ(lexer.next(), Tok::End);
  EXPECT_EQ(lexer.text(), "");
}

TEST(Lexer, NulWhereATokenStartsIsFatal) {
  Lexer lexer(std::string("a \0 b", 5));
  EXPECT_EQ(lexer.next(), Tok::Ident);
  try {
    lexer.next();
    FAIL() << "no failure";
  } catch (const ScanFailure& f) {
    EXPECT_STREQ(f.what(), "no match in flex scanner - possible NULL in input");
  }
}

TEST(Lexer, TokensUpToTheBufferSizeAreWholeAndLongerOnesFatal) {
  const std::string longest = "// " + std::string(Lexer::kMaxTokenLength - 3, 'x');
  Lexer fits(longest + "\n");
  EXPECT_EQ(fits.next(), Tok::CommentLine);
  EXPECT_EQ(fits.text().size(), Lexer::kMaxTokenLength);

  Lexer overflows("\"" + std::string(Lexer::kMaxTokenLength, 'x') + "\"");
  try {
    overflows.next();
    FAIL() << "no failure";
  } catch (const ScanFailure& f) {
    EXPECT_STREQ(f.what(), "flex input buffer overflowed");
  }
}

// The file arrives in chunks; tokens and line ends that straddle two chunks stay whole.
TEST(Lexer, TokensAcrossChunkBoundaries) {
  const std::size_t edge = Lexer::kChunkSize;
  std::string input(edge - 1, ' ');
  input += "\r\nx";
  EXPECT_EQ(scan(input), (Tokens{{Tok::Newline, "\n"}, {Tok::Ident, "x"}, {Tok::End, ""}}));
  // A carriage return that ends a chunk without a line feed after it stays.
  std::string loneCr(edge - 1, ' ');
  loneCr += "\ry";
  EXPECT_EQ(scan(loneCr), (Tokens{{Tok::End, "\r"}}));

  const std::string word(1000, 'w');
  std::string straddling(edge - 500, ' ');
  straddling += word + " \"" + std::string(1200, 's') + "\"";
  EXPECT_EQ(
      scan(straddling),
      (Tokens{{Tok::Ident, word}, {Tok::String, "\"" + std::string(1200, 's') + "\""}, {Tok::End, ""}}));

  std::string trailingCr(edge, ' ');
  trailingCr += "x\r";
  EXPECT_EQ(scan(trailingCr), (Tokens{{Tok::Ident, "x"}, {Tok::End, "\r"}}));
}

TEST(Lexer, StringStillOpenPastTheLongestTokenIsFatal) {
  Lexer lexer("\"" + std::string(3 * Lexer::kChunkSize, 'x'));
  EXPECT_THROW(lexer.next(), ScanFailure);
  // Unclosed at the end of the file it is a lone quote instead.
  Lexer shortOne("\"abc");
  EXPECT_EQ(shortOne.next(), Tok::End);
  EXPECT_EQ(shortOne.text(), "\"");
}

}  // namespace
