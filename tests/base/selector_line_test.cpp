#include "base/selector_line.h"

#include <gtest/gtest.h>

#include "base/integer_text.h"

namespace tedskit::base {
namespace {

TEST(SelectorLine, WidthValueAndTheTemplateItNames) {
  struct Case {
    const char* rest;  // the line after "selector"
    std::optional<long long> width;
    std::optional<long long> value;
    std::optional<int32_t> templateId;
  } cases[] = {
      {" 8, 12", 8, 12, 12},
      {"\t8 ,0x1F", 8, 31, 31},
      {" 010, 7", 8, 7, 7},
      {" 2, 0", 2, 0, std::nullopt},
      {" 8", 8, std::nullopt, std::nullopt},
      {" 8, x", 8, std::nullopt, std::nullopt},
      {" 8, 4294967297", 8, 4294967297, std::nullopt},
      {" x, 8", std::nullopt, std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto line = parseSelectorLine(c.rest);
    EXPECT_EQ(line.has_value(), c.width.has_value()) << c.rest;
    if (line) {
      EXPECT_EQ(line->width, *c.width) << c.rest;
      EXPECT_EQ(line->value, c.value) << c.rest;
    }
    EXPECT_EQ(templateIdOf(line), c.templateId) << c.rest;
  }
}

TEST(IntegerText, CIntegerLiteralsAfterBlanks) {
  std::size_t used = 0;
  EXPECT_EQ(leadingInteger("  -0x10rest", 0, &used), -16);
  EXPECT_EQ(used, 7u);
  EXPECT_EQ(leadingInteger("017", 0), 15);
  EXPECT_EQ(leadingInteger("017", 10), 17);
  EXPECT_EQ(leadingInteger("99999999999999999999", 10), LLONG_MAX);
  EXPECT_EQ(leadingInteger("-99999999999999999999", 10), LLONG_MIN);
  EXPECT_EQ(leadingInteger("0x", 0, &used), 0);
  EXPECT_EQ(used, 1u) << "a 0x without a hexadecimal digit is the number 0";
  EXPECT_EQ(leadingInteger("08", 0, &used), 0);
  EXPECT_EQ(used, 1u) << "8 is no octal digit";
  EXPECT_EQ(leadingInteger("\n\v 12", 10), 12);
  EXPECT_EQ(leadingInteger(" - 5", 10), std::nullopt);
  EXPECT_EQ(leadingInteger("+-5", 10), std::nullopt);
  EXPECT_EQ(leadingInteger("", 0), std::nullopt);
}

}  // namespace
}  // namespace tedskit::base
