#include <gtest/gtest.h>

#include "teds_info/template_map.h"

namespace {

using namespace dorvia;

sccontrolstruct record(int32_t count, std::initializer_list<int32_t> values) {
  sccontrolstruct scc{count, 0, {}};
  int i = 0;
  for (int32_t v : values) scc.values[i++] = v;
  return scc;
}

TEST(TemplateMap, RowsAsTabled) {
  const struct {
    size_t row;
    int32_t id;
    sccontrolstruct scc;
  } rows[] = {
      {0, 25, record(3, {0, 0, 0})},  {1, 25, record(3, {0, 0, 1})},
      {4, 26, record(3, {0, 0, 0})},  {5, 26, record(3, {1, 0, 0})},
      {12, 27, record(3, {0, 0, 0})}, {13, 27, record(3, {0, 0, 1})},
      {16, 28, record(3, {0, 0, 0})}, {17, 28, record(5, {1, 0, 0, 0, 0})},
      {25, 33, record(2, {-1, -1})},  {26, 39, record(2, {-1, -1})},
      {27, 199, record(0, {})},
  };
  int withTemplate = 0;
  for (const OldTemplateRow& r : oldTemplateMap) withTemplate += r.templateID != -1;
  EXPECT_EQ(withTemplate, 11);
  for (const auto& r : rows) {
    const OldTemplateRow& got = oldTemplateMap[r.row];
    EXPECT_EQ(got.templateID, r.id) << r.row;
    EXPECT_EQ(got.scc.count, r.scc.count) << r.row;
    EXPECT_EQ(got.scc.current, 0) << r.row;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(got.scc.values[i], r.scc.values[i]) << r.row << ":" << i;
  }
}

TEST(TemplateMap, FirstMatchingRecordAndOldTemplateNumber) {
  ASSERT_TRUE(findFirstMatchingSCC(28).has_value());
  EXPECT_EQ(findFirstMatchingSCC(28)->count, 3);  // row 16, not row 17
  EXPECT_EQ(findFirstMatchingSCC(33)->values[0], -1);
  EXPECT_FALSE(findFirstMatchingSCC(40).has_value());  // calibration templates only chain
  EXPECT_FALSE(findFirstMatchingSCC(-1).has_value());  // the empty rows are no template

  EXPECT_EQ(findMatchingOldTemplate(25, record(3, {0, 0, 1})), 1);
  EXPECT_EQ(findMatchingOldTemplate(25, record(3, {1, 0, 0})), -1);
  EXPECT_EQ(findMatchingOldTemplate(28, record(5, {1, 0, 0, 0, 0})), 17);
  EXPECT_EQ(findMatchingOldTemplate(199, record(4, {3, 2, 1, 0})), 27);  // no values to compare
  EXPECT_EQ(findMatchingOldTemplate(30, record(0, {})), -1);
}

// The standard templates without an old number: the user chooses the cases of three or
// more, the row holds the rest; no old number ever names them.
TEST(TemplateMap, StandardTemplatesHaveRecordsButNoOldNumber) {
  const struct {
    int32_t id;
    sccontrolstruct scc;
  } rows[] = {{30, record(3, {-1, -1, 0})}, {31, record(3, {-1, 0, 0})}, {32, record(2, {-1, -1})},
              {34, record(2, {-1, 0})},     {35, record(0, {})},         {36, record(0, {})},
              {37, record(2, {-1, -1})},    {38, record(0, {})}};
  for (const auto& r : rows) {
    const std::optional<sccontrolstruct> got = findFirstMatchingSCC(r.id);
    ASSERT_TRUE(got.has_value()) << r.id;
    EXPECT_EQ(got->count, r.scc.count) << r.id;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(got->values[i], r.scc.values[i]) << r.id << ":" << i;
    EXPECT_EQ(findMatchingOldTemplate(r.id, r.scc), -1) << r.id;
  }
  for (int32_t id : {30, 31, 32, 33, 34, 37, 39}) EXPECT_TRUE(hasUserChosenSelectCases(id)) << id;
  for (int32_t id : {25, 26, 27, 28, 35, 36, 38, 199}) EXPECT_FALSE(hasUserChosenSelectCases(id)) << id;
}

TEST(TemplateMap, AlternateTemplate) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 25},  {2, -1},  {17, 28}, {24, -1}, {-1, -1},
                                               {25, 1},  {28, 1},  {199, 1}, {33, -1}, {39, -1},
                                               {30, -1}, {31, -1}, {36, 1},  {40, -1}};
  for (const auto& [n, expected] : cases) EXPECT_EQ(alternateTemplate(n), expected) << n;
}

}  // namespace
