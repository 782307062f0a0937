// Numbers are shown as printf's "%.*g" and "%.*f" show them, in as many digits as tell a
// value from its neighbours, and a template's own format is never cut short.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "field_model.h"

namespace {

using teds::FieldModel;
using teds::formatNumber;
using teds::NumberScale;

std::string printfText(const char* format, int precision, double value) {
  char text[1024];
  std::snprintf(text, sizeof text, format, precision, value);
  return text;
}

FieldModel linear(double step) {
  FieldModel field;
  field.kind = teds::ValueKind::Real;
  field.scale = NumberScale::Linear;
  field.step = step;
  return field;
}

TEST(FormatNumber, ShowsWhatPrintfShowsForEveryScaleAndFormat) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> exponent(-30, 30);
  std::uniform_int_distribution<int> decimals(0, 12);
  for (int i = 0; i < 2000; ++i) {
    const double value = std::copysign(std::pow(10.0, exponent(random)), i % 2 ? 1.0 : -1.0);
    const FieldModel field = linear(std::pow(10.0, exponent(random)));
    const int digits = static_cast<int>(std::floor(std::log10(std::fabs(value)))) -
                       static_cast<int>(std::floor(std::log10(field.step))) + 1;
    EXPECT_EQ(formatNumber(field, value, true), printfText("%.*g", std::clamp(digits, 1, 9), value)) << value;
    FieldModel formatted = field;
    formatted.decimals = decimals(random);
    EXPECT_EQ(formatNumber(formatted, value, true), printfText("%.*f", *formatted.decimals, value)) << value;
  }
  for (const double odd : {0.0, -0.0, std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(formatNumber(linear(0.5), odd, true), printfText("%.*g", 9, odd));
  }
}

TEST(FormatNumber, AWideTemplateFormatKeepsEveryDigit) {
  FieldModel field = linear(1);
  field.decimals = 255;
  for (const double value : {1.5, -1e300, std::numeric_limits<double>::max()}) {
    EXPECT_EQ(formatNumber(field, value, true), printfText("%.*f", 255, value));
  }
}

}  // namespace
