#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "teds_info/tdl_bits.h"
#include "tedskit/orlin.hpp"
#include "teds_info/value_conversion.h"

namespace {

using namespace dorvia;

std::unique_ptr<CTDLProperty> property(ePropertyType type, eDataType dataType, int32_t width,
                                       double start = 0, double resolution = 0) {
  auto p = std::make_unique<CTDLProperty>();
  p->setType(type);
  p->m_dataType = dataType;
  p->m_dataDef.startValue = start;
  p->m_dataDef.resolution = resolution;
  p->setBitWidth(width);
  std::memset(p->m_rawData, 0, 64);
  std::memset(&p->m_value, 0, sizeof p->m_value);
  return p;
}

fielddataholder text(const std::string& s) {
  fielddataholder h;
  std::memset(&h, 0, sizeof h);
  setHolderText(h, s);
  return h;
}

fielddataholder number(float f) {
  fielddataholder h;
  std::memset(&h, 0, sizeof h);
  h.f = f;
  return h;
}

std::vector<uint32_t> fiveBitFields(const CTDLProperty& p, int count) {
  std::vector<uint32_t> out;
  int32_t cursor = 0;
  for (int i = 0; i < count; ++i) out.push_back(readBitField(p.m_rawData, 5, cursor));
  return out;
}

TEST(ValueToRaw, FiveBitTextUsesTheAlphabetAndSpacesForTheRest) {
  auto p = property(PT_CAL_INITIALS, DT_CHR5, 25);
  valueToRaw(text("ab"), *p);
  EXPECT_EQ(fiveBitFields(*p, 5), (std::vector<uint32_t>{0, 0, 0, 0, 0}));
  valueToRaw(text("AB"), *p);
  EXPECT_EQ(fiveBitFields(*p, 5), (std::vector<uint32_t>{1, 2, 0, 0, 0}));
  EXPECT_EQ(chr5TextFromRaw(*p), "AB   ");
  EXPECT_STREQ(p->m_value.text, "AB");  // the value is kept on the property
}

TEST(ValueToRaw, NumbersByDataType) {
  auto conRes = property(PT_GAIN, DT_CONRES, 8, 0.0, 0.5);
  valueToRaw(number(3.74f), *conRes);
  EXPECT_EQ(rawInteger(*conRes), 7);
  valueToRaw(number(3.76f), *conRes);
  EXPECT_EQ(rawInteger(*conRes), 8);

  auto conRelRes = property(PT_GAIN, DT_CONRELRES, 8, 1.0, 0.05);
  valueToRaw(number(2.5937f), *conRelRes);
  EXPECT_EQ(rawInteger(*conRelRes), 10);

  auto single = property(PT_TYPE_SINGLE, DT_SINGLE, 32);
  valueToRaw(number(-1.5f), *single);
  EXPECT_EQ(rawInteger(*single), std::bit_cast<int32_t>(-1.5f));

  auto plain = property(PT_WEIGHT, DT_UNINT, 8);  // a number without a formula: truncated
  valueToRaw(number(-7.9f), *plain);
  EXPECT_EQ(rawInteger(*plain), -7);
}

TEST(ValueToRaw, TextsDatesEnumerationsAndIntegers) {
  auto date = property(PT_CALDATE, DT_DATE, 16);
  valueToRaw(text("12/31/2000"), *date);
  EXPECT_EQ(rawInteger(*date), 1095);

  auto user = property(PT_USER, DT_ASCII, 256);
  std::memset(user->m_rawData, 'x', 64);
  valueToRaw(text(std::string(40, 'q')), *user);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(user->m_rawData)), std::string(31, 'q'));

  CTDLEnumeration bridges;
  char quarter[] = "quarter", half[] = "half", full[] = "full";
  bridges.addEnumerate(quarter);
  bridges.addEnumerate(half);
  bridges.addEnumerate(full);
  auto bridge = property(PT_BRIDGE_TYPE, DT_ENUMERATION, 2);
  bridge->m_dataDef.enumeration = &bridges;
  valueToRaw(text("FULL"), *bridge);
  EXPECT_EQ(rawInteger(*bridge), 2);
  valueToRaw(text("third"), *bridge);
  EXPECT_EQ(rawInteger(*bridge), 0);

  auto integer = property(PT_MEASID, DT_UNINT, 11);
  fielddataholder h = number(0);
  h.i = -3;
  valueToRaw(h, *integer);
  EXPECT_EQ(rawInteger(*integer), -3);
}

TEST(RawToValue, TextIsBoundedAndEnumerationsNeedAnEnumeration) {
  auto user = property(PT_USER, DT_ASCII, 800);
  std::memset(user->m_rawData, 'a', 64);
  rawToValue(*user);
  EXPECT_EQ(std::strlen(user->m_value.text), 64u);  // 64 characters still fit
  user->m_rawData[64] = 'a';
  rawToValue(*user);
  EXPECT_EQ(std::strlen(user->m_value.text), 63u);  // longer texts are cut to 63

  CTDLEnumeration axes;
  char x[] = "x";
  axes.addEnumerate(x);
  auto bridge = property(PT_BRIDGE_TYPE, DT_ENUMERATION, 2);
  bridge->m_dataDef.enumeration = &axes;
  setHolderText(bridge->m_value, "before");
  setRawInteger(*bridge, 3);  // no such enumerate: the value stays
  rawToValue(*bridge);
  EXPECT_STREQ(bridge->m_value.text, "before");
  setRawInteger(*bridge, 0);
  rawToValue(*bridge);
  EXPECT_STREQ(bridge->m_value.text, "x");

  // An enumeration-like property type with a numeric data type has no table to read.
  auto numeric = property(PT_BRIDGE_TYPE, DT_CONRES, 2, 1.5, 0.5);
  setHolderText(numeric->m_value, "kept");
  rawToValue(*numeric);
  EXPECT_STREQ(numeric->m_value.text, "kept");
}

TEST(RawToValue, NumbersBeyondAFloatBecomeInfinite) {
  auto huge = property(PT_GAIN, DT_CONRELRES, 16, 1e30, 0.5);
  setRawInteger(*huge, 1000);
  rawToValue(*huge);
  EXPECT_TRUE(std::isinf(huge->m_value.f));
  auto date = property(PT_CALDATE, DT_DATE, 16);
  setRawInteger(*date, 365);
  rawToValue(*date);
  EXPECT_STREQ(date->m_value.text, "1/1/1999");
}

}  // namespace
