// Templates chained after a transducer template: added, filled, grown and shrunk, read back
// bit for bit from the image they make, and taken out again.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tedskit/tedskit.h"
#include "teds_handle.h"

namespace {

const char* const kTemplates = TEDSKIT_SOURCE_DIR "/data";

using Handle = tedskittest::TedsHandle;

std::string textOf(const tedskit_teds* teds) {
  char* text = nullptr;
  EXPECT_EQ(tedskit_teds_text(teds, &text), TEDSKIT_OK) << tedskit_last_error();
  std::string out = text != nullptr ? text : "";
  tedskit_string_free(text);
  return out;
}

void reopen(const std::string& text, Handle& into) {
  ASSERT_EQ(tedskit_teds_open(kTemplates, text.data(), text.size(), TEDSKIT_INPUT_TEXT, 0, &into.teds),
            TEDSKIT_OK)
      << tedskit_last_error();
}

void set(tedskit_teds* teds, const char* label, const char* value) {
  ASSERT_EQ(tedskit_teds_set(teds, label, value, nullptr), TEDSKIT_OK)
      << label << ": " << tedskit_last_error();
}

std::string display(const tedskit_teds* teds, const char* label) {
  int32_t index = -1;
  if (tedskit_teds_field_index(teds, label, &index) != TEDSKIT_OK) return "(no field)";
  const char* text = nullptr;
  EXPECT_EQ(tedskit_field_display(teds, index, &text), TEDSKIT_OK);
  return text;
}

// Every field after the first template: label = display.
std::vector<std::string> chainedFields(const tedskit_teds* teds) {
  int32_t first = 0, count = 0, templates = 0;
  EXPECT_EQ(tedskit_teds_template_count(teds, &templates), TEDSKIT_OK);
  EXPECT_EQ(tedskit_teds_template_at(teds, 0, nullptr, nullptr, nullptr, &first, &count), TEDSKIT_OK);
  int32_t all = 0;
  tedskit_teds_field_count(teds, &all);
  std::vector<std::string> out;
  for (int32_t i = first + count; i < all; ++i) {
    const char* label = nullptr;
    const char* text = nullptr;
    tedskit_field_label(teds, i, &label);
    tedskit_field_display(teds, i, &text);
    out.push_back(std::string(label) + " = " + text);
  }
  return out;
}

class Chained : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(tedskit_teds_new(kTemplates, 0, 25, 0, 0, &teds_.teds), TEDSKIT_OK) << tedskit_last_error();
    set(teds_.teds, "User data (ascii)", "LOAD AXIS 2");
    plain_ = textOf(teds_.teds);
  }

  Handle teds_;
  std::string plain_;
};

TEST_F(Chained, ACalibrationTableGrowsIsFilledAndReadsBackBitForBit) {
  tedskit_teds* teds = teds_.teds;
  ASSERT_EQ(tedskit_teds_add_template(teds, 40), TEDSKIT_OK) << tedskit_last_error();
  int32_t count = 0, id = 0, provisional = 0, fields = 0;
  const char* name = nullptr;
  ASSERT_EQ(tedskit_teds_template_count(teds, &count), TEDSKIT_OK);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(tedskit_teds_template_at(teds, 1, &id, &name, &provisional, nullptr, &fields), TEDSKIT_OK);
  EXPECT_EQ(id, 40);
  EXPECT_STREQ(name, "Calibration Table (provisional)");
  EXPECT_EQ(provisional, 1);
  EXPECT_EQ(chainedFields(teds),
            (std::vector<std::string>{"Calibration domain = Electrical", "Calibration table = 1",
                                      "Calibration table[1].Domain value = 0",
                                      "Calibration table[1].Range deviation = 0"}));

  set(teds, "Calibration table", "3");
  set(teds, "Calibration domain", "Physical");
  set(teds, "Calibration table[2].Domain value", "50");
  set(teds, "Calibration table[3].Range deviation", "0.25");
  set(teds, "Calibration table[1].Range deviation", "-0.5");
  const std::string text = textOf(teds);
  Handle again;
  reopen(text, again);
  EXPECT_EQ(textOf(again.teds), text);
  EXPECT_EQ(chainedFields(again.teds), chainedFields(teds));
  EXPECT_EQ(display(again.teds, "Calibration domain"), "Physical");
  EXPECT_EQ(display(again.teds, "Calibration table[2].Domain value"), "49.999");
  EXPECT_EQ(display(again.teds, "Calibration table[3].Range deviation"), "0.25");
  EXPECT_EQ(display(again.teds, "Calibration table[1].Range deviation"), "-0.5");
  // The user text after the chain and the transducer fields before it are as they were.
  EXPECT_EQ(display(again.teds, "User data (ascii)"), "LOAD AXIS 2");
  EXPECT_EQ(display(again.teds, "Sensitivity @ Fref"), display(teds, "Sensitivity @ Fref"));

  // Shrinking keeps the elements that stay.
  set(again.teds, "Calibration table", "2");
  EXPECT_EQ(display(again.teds, "Calibration table[2].Domain value"), "49.999");
  EXPECT_EQ(display(again.teds, "Calibration table[3].Domain value"), "(no field)");
  EXPECT_EQ(display(again.teds, "Calibration table[1].Range deviation"), "-0.5");
}

TEST_F(Chained, NestedTablesAndSeveralTemplatesComeAndGo) {
  tedskit_teds* teds = teds_.teds;
  ASSERT_EQ(tedskit_teds_add_template(teds, 40), TEDSKIT_OK);
  ASSERT_EQ(tedskit_teds_add_template(teds, 41), TEDSKIT_OK);
  ASSERT_EQ(tedskit_teds_add_template(teds, 42), TEDSKIT_OK);
  set(teds, "Calibration curve", "2");
  set(teds, "Calibration curve[2].Polynomial", "3");
  set(teds, "Calibration curve[2].Polynomial[3].Coefficient", "-0.005");
  set(teds, "Calibration curve[2].Polynomial[3].Power", "3");
  set(teds, "Calibration curve[2].Segment start", "50");
  set(teds, "Frequency response[1].Frequency", "1000");
  // Template 41 also has a calibration domain: its label names its template.
  set(teds, "Calibration domain (template 41)", "Physical");
  EXPECT_EQ(display(teds, "Calibration domain"), "Electrical");

  Handle again;
  reopen(textOf(teds), again);
  EXPECT_EQ(chainedFields(again.teds), chainedFields(teds));
  EXPECT_EQ(display(again.teds, "Calibration curve[2].Polynomial[3].Coefficient"), "-0.005");
  EXPECT_EQ(display(again.teds, "Calibration curve[2].Polynomial[3].Power"), "3");
  EXPECT_EQ(display(again.teds, "Calibration curve[1].Polynomial"), "1");

  // Taking the table out leaves the curve and the frequency response as they were.
  std::vector<std::string> curveAndResponse = chainedFields(again.teds);
  curveAndResponse.erase(curveAndResponse.begin(), curveAndResponse.begin() + 4);
  ASSERT_EQ(tedskit_teds_remove_template(again.teds, 1), TEDSKIT_OK) << tedskit_last_error();
  int32_t count = 0;
  tedskit_teds_template_count(again.teds, &count);
  EXPECT_EQ(count, 3);
  std::vector<std::string> left = chainedFields(again.teds);
  for (auto& field : left) {
    const auto named = field.find(" (template 41)");
    if (named != std::string::npos) field.erase(named, 14);
  }
  for (auto& field : curveAndResponse) {
    const auto named = field.find(" (template 41)");
    if (named != std::string::npos) field.erase(named, 14);
  }
  EXPECT_EQ(left, curveAndResponse);
  ASSERT_EQ(tedskit_teds_remove_template(again.teds, 2), TEDSKIT_OK);
  ASSERT_EQ(tedskit_teds_remove_template(again.teds, 1), TEDSKIT_OK);
  EXPECT_EQ(textOf(again.teds), plain_);
}

// Chains of every calibration template, grown to random sizes and filled with random values
// within each field's range, read back from their image field for field and bit for bit.
TEST_F(Chained, RandomTablesCurvesAndResponsesReadBackAsWritten) {
  std::mt19937 random(1451);
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Handle made;
    ASSERT_EQ(tedskit_teds_new(kTemplates, 0, round % 2 == 0 ? 25 : 33, 0, 0, &made.teds), TEDSKIT_OK);
    for (const int id : {40, 41, 42}) ASSERT_EQ(tedskit_teds_add_template(made.teds, id), TEDSKIT_OK);
    set(made.teds, "Calibration table", std::to_string(1 + random() % 6).c_str());
    set(made.teds, "Calibration curve", std::to_string(1 + random() % 3).c_str());
    set(made.teds, "Calibration curve[1].Polynomial", std::to_string(1 + random() % 4).c_str());
    set(made.teds, "Frequency response", std::to_string(1 + random() % 5).c_str());
    int32_t first = 0, count = 0, all = 0;
    tedskit_teds_template_at(made.teds, 0, nullptr, nullptr, nullptr, &first, &count);
    tedskit_teds_field_count(made.teds, &all);
    for (int32_t i = first + count; i < all; ++i) {
      const char* label = nullptr;
      tedskit_field_label(made.teds, i, &label);
      const std::string name = label;
      tedskit_value_kind kind{};
      tedskit_field_kind(made.teds, i, &kind);
      double low = 0, high = 0;
      tedskit_field_range(made.teds, i, &low, &high, nullptr);
      std::string value;
      if (kind == TEDSKIT_VALUE_REAL) {
        const double top = std::min(high, 1e6), bottom = std::max(low, -1e6);
        value = std::to_string(bottom + (top - bottom) * std::uniform_real_distribution<double>(0, 1)(random));
      } else if (kind == TEDSKIT_VALUE_ENUMERATION) {
        value = std::to_string(random() % 2);
      } else {
        continue;  // the counts were set above
      }
      ASSERT_EQ(tedskit_teds_set(made.teds, name.c_str(), value.c_str(), nullptr), TEDSKIT_OK)
          << name << "=" << value << ": " << tedskit_last_error();
    }
    const std::string text = textOf(made.teds);
    Handle again;
    reopen(text, again);
    EXPECT_TRUE(textOf(again.teds) == text);
    EXPECT_EQ(chainedFields(again.teds), chainedFields(made.teds));
  }
}

TEST_F(Chained, WhatCannotBeChainedOrHeldIsRefusedAndChangesNothing) {
  tedskit_teds* teds = teds_.teds;
  EXPECT_NE(tedskit_teds_add_template(teds, 99), TEDSKIT_OK);
  EXPECT_NE(std::string(tedskit_last_error()).find("no TDL template 99"), std::string::npos);
  EXPECT_NE(tedskit_teds_remove_template(teds, 1), TEDSKIT_OK);
  EXPECT_EQ(textOf(teds), plain_);

  ASSERT_EQ(tedskit_teds_add_template(teds, 41), TEDSKIT_OK);
  EXPECT_EQ(tedskit_teds_set(teds, "Calibration curve", "0", nullptr), TEDSKIT_ERR_VALUE);
  EXPECT_EQ(tedskit_teds_set(teds, "Calibration curve", "256", nullptr), TEDSKIT_ERR_VALUE);
  // 255 segments, two of them of 127 terms, are more than a TEDS memory holds.
  set(teds, "Calibration curve", "255");
  set(teds, "Calibration curve[1].Polynomial", "127");
  const std::string before = textOf(teds);
  EXPECT_NE(tedskit_teds_set(teds, "Calibration curve[2].Polynomial", "127", nullptr), TEDSKIT_OK);
  EXPECT_NE(std::string(tedskit_last_error()).find("do not fit"), std::string::npos) << tedskit_last_error();
  EXPECT_TRUE(textOf(teds) == before);
  EXPECT_EQ(display(teds, "Calibration curve[2].Polynomial"), "1");

  Handle description;
  ASSERT_EQ(tedskit_teds_new(kTemplates, 0, 0, 0, 0, &description.teds), TEDSKIT_OK) << tedskit_last_error();
  EXPECT_NE(tedskit_teds_add_template(description.teds, 40), TEDSKIT_OK);
  EXPECT_NE(std::string(tedskit_last_error()).find("TDL template only"), std::string::npos)
      << tedskit_last_error();
}

}  // namespace
