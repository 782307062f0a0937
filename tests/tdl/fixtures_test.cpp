// One behaviour of the reader per fixture file.
#include <gtest/gtest.h>

#include "tdl_test_util.h"

using namespace tdltest;

namespace {

std::vector<std::string> labels(const std::vector<CTDLProperty*>& list) {
  std::vector<std::string> out;
  for (CTDLProperty* p : list)
    out.push_back(str(p->getPropertyType() == PT_SELECTCASE ? p->m_description : p->m_structLabel));
  return out;
}

using Labels = std::vector<std::string>;

TEST(Fixtures, SelectCaseInsideACaseFollowsTheCasesEarlierProperties) {
  const Parsed p = parseFile(fixture("nested_select.tdl"));
  ASSERT_EQ(p.errors, "");
  const CTDLTemplate& t = p.tmpl(0);
  EXPECT_EQ(labels(t.m_properties), (Labels{"Fref", "Outer", "Calibration date", "User data (ascii)"}));
  CTDLSelectCase& outer = asSelectCase(t.m_properties[1]);
  EXPECT_EQ(outer.m_bitWidth, 2);
  EXPECT_EQ(outer.m_structLabel, nullptr);
  EXPECT_EQ(outer.m_format, nullptr);
  ASSERT_EQ(outer.m_cases.size(), 3u);
  EXPECT_STREQ(outer.m_cases[2]->getDescription(), "Third");
  EXPECT_EQ(outer.m_cases[2]->m_bitValue, 2);
  EXPECT_EQ(labels(outer.m_cases[0]->m_properties), (Labels{"Weight", "Inner", "Meas. position ID"}));
  EXPECT_EQ(labels(outer.m_cases[1]->m_properties), (Labels{"Cal Period"}));
  CTDLSelectCase& inner = asSelectCase(outer.m_cases[0]->m_properties[1]);
  ASSERT_EQ(inner.m_cases.size(), 2u);
  EXPECT_TRUE(inner.m_cases[0]->m_properties.empty());
  EXPECT_EQ(labels(inner.m_cases[1]->m_properties), (Labels{"Gain"}));
}

TEST(Fixtures, StructArrayMembersJoinTheSurroundingList) {
  const Parsed p = parseFile(fixture("struct_array.tdl"));
  ASSERT_EQ(p.errors, "");
  const CTDLTemplate& t = p.tmpl(0);
  EXPECT_EQ(labels(t.m_properties), (Labels{"X", "Y", "Z", "Mode", "User data (ascii)"}));
  EXPECT_EQ(t.m_properties[1]->m_bitWidth, 9);
  CTDLSelectCase& mode = asSelectCase(t.m_properties[3]);
  EXPECT_EQ(labels(mode.m_cases[0]->m_properties), (Labels{"W"}));
  EXPECT_EQ(mode.m_cases[0]->m_properties[0]->getAccess(), ACCESS_USER);
}

TEST(Fixtures, StringWidthsAndOpenLengthUserData) {
  const Parsed p = parseFile(fixture("string_widths.tdl"));
  ASSERT_EQ(p.errors, "");
  const auto& props = p.tmpl(0).m_properties;
  EXPECT_EQ(labels(props), (Labels{"Five", "Seven", "Sixteen", "Open", "Fixed", "Xml", "User data (ascii)"}));
  struct Expect {
    int32_t width;
    eDataType type;
  };
  const Expect expected[] = {{35, DT_CHR5},  {21, DT_ASCII}, {48, DT_ASCII},
                             {-1, DT_ASCII}, {8, DT_ASCII},  {-1, DT_ASCII}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(props[i]->m_bitWidth, expected[i].width) << i;
    EXPECT_EQ(props[i]->m_dataType, expected[i].type) << i;
  }
  EXPECT_EQ(props[3]->getPropertyType(), PT_USER);
}

TEST(Fixtures, DefaultsDropTheProperty) {
  const Parsed p = parseFile(fixture("defaults.tdl"));
  ASSERT_EQ(p.errors, "");
  const auto& props = p.tmpl(0).m_properties;
  // The user-data property keeps its open length even with a default.
  EXPECT_EQ(labels(props), (Labels{"Electrical Signal Type", "User", "User data (ascii)"}));
  EXPECT_EQ(props[0]->m_bitWidth, 3);
  EXPECT_EQ(props[0]->m_dataType, DT_ENUMERATION);
  EXPECT_EQ(props[0]->m_dataDef.enumeration, p.tmpl(0).getEnumeration("kinds"));
  EXPECT_EQ(props[1]->m_bitWidth, -1);
}

TEST(Fixtures, LabelFormDescriptions) {
  const Parsed p = parseFile(fixture("label_description.tdl"));
  ASSERT_EQ(p.errors, "");
  const auto& props = p.tmpl(0).m_properties;
  ASSERT_EQ(props.size(), 4u);
  EXPECT_STREQ(props[0]->m_description, " %Sens@Ref[\"Sensitivity\"]");
  EXPECT_STREQ(props[0]->m_structLabel, " %Sens@Ref[Sensitivity]");
  EXPECT_STREQ(props[1]->m_description, "");
  EXPECT_STREQ(props[1]->m_structLabel, "");
  EXPECT_STREQ(props[2]->m_description, "\"With attribute\"");
  EXPECT_STREQ(props[2]->m_format, "\"%d\"");
  EXPECT_STREQ(props[2]->m_units, "\"g\"");
  EXPECT_EQ(props[2]->getAccess(), ACCESS_USER);
}

struct ErrorCase {
  const char* file;
  const char* message;
  std::size_t templates;
  Labels lastTemplate;
};

class FixtureErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FixtureErrors, StopAtTheOffendingTokenKeepingWhatWasBuilt) {
  const ErrorCase& c = GetParam();
  const Parsed p = parseFile(fixture(c.file));
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.errors, c.message);
  ASSERT_EQ(p.collection->m_templates.size(), c.templates);
  EXPECT_EQ(labels(p.collection->m_templates.back()->m_properties), c.lastTemplate);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FixtureErrors,
    ::testing::Values(
        ErrorCase{"error_in_header.tdl", "ERROR: parse error at '%Weight' in statement 6.\n", 2, {}},
        ErrorCase{"error_in_case.tdl", "ERROR: parse error at '// stray' in statement 8.\n", 1, {"Before"}},
        ErrorCase{"error_missing_keycode.tdl",
                  "ERROR: parse error at '' in statement 4.\n",
                  1,
                  {"Weight", "User data (ascii)"}}));

}  // namespace
