#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_fixture.h"

namespace {

using namespace engine_test;

class FieldLayout : public EngineTest {
 protected:
  int32_t layout(int32_t templateID) {
    array->templateID = templateID;
    return info.CreateTEDSTemplateFieldArrayStruct(array.get(), false);
  }
};

sccontrolstruct record(int32_t count, std::initializer_list<int32_t> values) {
  sccontrolstruct scc{count, 0, {}};
  int i = 0;
  for (int32_t v : values) scc.values[i++] = v;
  return scc;
}

TEST_F(FieldLayout, OldTemplateNumberLaysOutItsTemplateWithTheRowsValues) {
  array->validMarker = 0x12345678;
  ASSERT_EQ(layout(1), 0);  // template 25, values 0, 0, 1
  EXPECT_EQ(array->validMarker, TEDS_FIELD_ARRAY_VALID);
  EXPECT_EQ(array->templateID, 25);
  EXPECT_EQ(labels(*array)[5], "Head");
  EXPECT_EQ(labels(*array)[6], "Alpha gain");
  EXPECT_EQ(info.getMatchingOldTemplateID(), 1);
  const sccontrolstruct other = record(3, {1, 0, 0});
  ASSERT_TRUE(info.SetSCCObj(&other));
  EXPECT_EQ(info.getMatchingOldTemplateID(), -1);
}

TEST_F(FieldLayout, SelectCaseValuesChooseTheBranchesLaidOut) {
  const sccontrolstruct gammaFancy = record(3, {2, 1, 0});
  ASSERT_TRUE(info.SetSCCObj(&gammaFancy));
  ASSERT_EQ(layout(25), 0);  // the first layout uses the values set with SetSCCObj
  EXPECT_EQ(labels(*array),
            (std::vector<std::string>{"Manufacturer", "Model number", "Version letter", "Version number",
                                      "Serial no.", "Head", "Gamma first", "Inner bridge", "Gamma last",
                                      "Calibration date", "User data (ascii)"}));
  EXPECT_STREQ(array->templateLines[5], "\"Head\",\"RW\",\"4\",\"UNINT\",\"%d\"");
  EXPECT_STREQ(array->templateLines[11], "EndTemplate");
  EXPECT_EQ(info.GetSCCObj()->current, 0);  // the pointer is reset after the layout
}

TEST_F(FieldLayout, AChangeOfTemplateLoadsItsRowAndARepeatKeepsTheValues) {
  ASSERT_EQ(layout(0), 0);
  sccontrolstruct* scc = info.GetSCCObj();
  scc->values[0] = 1;
  ASSERT_EQ(layout(25), 0);
  EXPECT_EQ(labels(*array)[6], "Beta input");
  ASSERT_EQ(layout(26), 0);
  EXPECT_EQ(scc->count, 3);
  EXPECT_EQ(scc->values[0], 0);  // row 4 of the map
  EXPECT_EQ(info.getMatchingOldTemplateID(), 4);
}

TEST_F(FieldLayout, UnknownTemplatesAreRefused) {
  EXPECT_EQ(layout(40), -1);  // loaded, but without a map row
  EXPECT_EQ(layout(2), -1);   // an old number without a template
  EXPECT_EQ(layout(39), -1);  // a map row, but not loaded
  EXPECT_EQ(info.getCurrentTemplate(), nullptr);
  EXPECT_EQ(info.getMatchingOldTemplateID(), -1);
  EXPECT_EQ(info.getSCInformation(), 0);
}

TEST_F(FieldLayout, DuplicateLabelsMakeOneItemAndTheFirstWins) {
  ASSERT_EQ(layout(28), 0);
  ASSERT_EQ(array->numItems, 7);
  EXPECT_STREQ(array->items[5].label, "Twin");
  EXPECT_EQ(array->items[5].datatype, TEDS_DT_UNINT);
  EXPECT_EQ(info.getPropertyByIndex(0)->getPropertyType(), PT_MEASID);
  EXPECT_TRUE(info.FindStringinStruct(array.get(), "Twin"));
  EXPECT_FALSE(info.FindStringinStruct(array.get(), "twin"));
  EXPECT_FALSE(info.FindStringinStruct(array.get(), nullptr));
  EXPECT_EQ(info.getPropertyByIndex(2), nullptr);
  EXPECT_EQ(info.getPropertyByIndex(-1), nullptr);
}

TEST_F(FieldLayout, WithoutValuesTheFirstLayoutAddsNoBranch) {
  ASSERT_EQ(layout(33), 0);
  EXPECT_EQ(labels(*array)[5], "Tail");
}

TEST_F(FieldLayout, UserChosenCaseIsKeptAcrossLayoutsAndBlanksTheNewItems) {
  const sccontrolstruct start = record(2, {-1, -1});
  ASSERT_TRUE(info.SetSCCObj(&start));
  ASSERT_EQ(layout(33), 0);
  EXPECT_EQ(labels(*array)[6], "Min K");
  EXPECT_EQ(info.SetWhichNBSC(5, 2), 1);
  ASSERT_EQ(layout(33), 0);
  EXPECT_EQ(labels(*array), (std::vector<std::string>{"Manufacturer", "Model number", "Version letter",
                                                      "Version number", "Serial no.", "Measurand", "Newton k",
                                                      "Newton id", "Low", "Tail", "User data (ascii)"}));
  EXPECT_EQ(array->items[5].datatype, TEDS_DT_ENUMERATION);

  // Choosing the case in force again blanks nothing.
  std::snprintf(array->items[6].value, sizeof array->items[6].value, "kept");
  EXPECT_EQ(info.SetWhichNBSC(5, 2), 1);
  ASSERT_EQ(layout(33), 0);
  EXPECT_STREQ(array->items[6].value, "kept");

  // A real switch blanks the items of the new case at the next layout.
  EXPECT_EQ(info.SetWhichNBSC(5, 1), 1);
  std::snprintf(array->items[6].value, sizeof array->items[6].value, "stale");
  ASSERT_EQ(layout(33), 0);
  EXPECT_EQ(labels(*array)[6], "Strain lo");
  EXPECT_STREQ(array->items[6].value, "");
}

TEST_F(FieldLayout, SetWhichNBSCRefusesEveryInvalidChoice) {
  const sccontrolstruct start = record(2, {0, 0});
  ASSERT_TRUE(info.SetSCCObj(&start));
  ASSERT_EQ(layout(33), 0);
  const std::pair<int, int> refused[] = {{0, 1}, {4, 1}, {6, 1}, {5, 3}, {5, -1}, {8, 1}, {99, 0}, {-3, 0}};
  for (const auto& [item, choice] : refused)
    EXPECT_EQ(info.SetWhichNBSC(item, choice), 0) << item << "," << choice;
  EXPECT_EQ(info.GetSCCObj()->values[0], 0);
  ASSERT_EQ(layout(25), 0);
  EXPECT_EQ(info.SetWhichNBSC(5, 0), 0);  // not a select case
}

TEST_F(FieldLayout, BinarySelectCasesListTheirCasesAlongCaseZero) {
  ASSERT_EQ(layout(0), 0);
  ASSERT_EQ(info.getSCInformation(), 1);  // Inner sits in case 2, off the walked path
  char description[64], case0[64], case1[64];
  ASSERT_EQ(info.getCaseInfo(0, description, case0, case1), 0);
  EXPECT_STREQ(description, "Kind");
  EXPECT_STREQ(case0, "Alpha");
  EXPECT_STREQ(case1, "Beta");
}

TEST_F(FieldLayout, ARecordOfMoreThanSixteenValuesHoldsNone) {
  const sccontrolstruct tooMany = record(17, {2, 1});
  EXPECT_FALSE(info.SetSCCObj(&tooMany));
  ASSERT_EQ(layout(25), 0);
  EXPECT_EQ(labels(*array)[6], "Calibration date");  // the select case adds nothing
}

// Templates built in memory, for shapes a TDL file cannot give.
class BuiltTemplate : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* collection = new CTDLTemplateCollection;
    collection->m_templates.push_back(&tmpl);
    tmpl.m_templateID = 28;
    tmpl.m_idBitWidth = 8;
    info.templateCollections.push_back(collection);
  }
  void TearDown() override {
    info.GetTemplateCollection(0)->m_templates.clear();  // tmpl is ours
  }
  CTDLProperty* addUnint(const std::string& label) {
    auto* p = new CTDLProperty;
    p->setStructLabel(label.c_str());
    std::string quoted(1, '"');  // appended, not concatenated: GCC 12 warns wrongly on that at -O3
    quoted.append(label).push_back('"');
    p->setDescription(quoted.c_str());
    p->setAccess("ID");
    p->setType(PT_MEASID);
    p->m_dataType = DT_UNINT;
    p->setBitWidth(4);
    tmpl.addProperty(p);
    return p;
  }

  CTDLTemplate tmpl;
  CTEDSInfo info;
  std::unique_ptr<TEDSTemplateFieldArrayStruct> array = newArray();
};

TEST_F(BuiltTemplate, CaseInfoStopsAtSixteenRows) {
  // 20 binary select cases in a row.
  for (int i = 0; i < 20; ++i) {
    auto* selectCase = new CTDLSelectCase;
    std::string label = std::to_string(i);
    label.insert(0, 1, 'S');
    selectCase->setDescription(label.c_str());
    selectCase->setBitWidth(1);
    for (const char* name : {"off", "on"}) {
      auto* c = new CTDLCase;  // the select case releases it
      c->addDescription(name);
      selectCase->addCase(c);
    }
    tmpl.addProperty(selectCase);
  }
  info.currentTemplate = &tmpl;
  EXPECT_EQ(info.getSCInformation(), 16);
  char description[16], case0[16], case1[16];
  ASSERT_EQ(info.getCaseInfo(15, description, case0, case1), 0);
  EXPECT_STREQ(description, "S15");
  EXPECT_STREQ(case1, "on");
  EXPECT_EQ(info.getCaseInfo(16, description, case0, case1), -1);
}

TEST_F(BuiltTemplate, FieldsWiderThanTheImageOrTheRawBufferStayInBounds) {
  CTDLProperty* wide = addUnint("Wide");
  wide->setType(PT_USER);  // read as raw bits: wider than the image and the raw buffer
  wide->setBitWidth(90000);
  CTDLProperty* after = addUnint("After");
  ImageBuilder image(28);
  for (size_t i = 3; i < image.memory().size(); ++i) image.memory()[i] = 0xFF;
  image.loadInto(info);
  ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), true), 0);
  EXPECT_EQ(after->m_value.i, 0);                             // read past the image: nothing there
  EXPECT_EQ(wide->m_rawData[sizeof wide->m_rawData - 1], 0);  // the image ends long before
  EXPECT_EQ(std::string(array->items[5].value).size(), 63u);
}

TEST_F(BuiltTemplate, NoPropertiesGiveExactlyTheBasicRows) {
  array->templateID = 28;
  ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), false), 0);
  EXPECT_EQ(array->numItems, 5);
  EXPECT_STREQ(array->templateLines[5], "");  // no "EndTemplate" row
  EXPECT_EQ(info.traverseFSPropertyList(), 0);
}

TEST_F(BuiltTemplate, ALayoutStopsAt255Items) {
  for (int i = 0; i < 300; ++i) addUnint(std::string(1, 'P').append(std::to_string(i)));
  array->templateID = 28;
  ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), false), 0);
  EXPECT_EQ(array->numItems, 255);
  EXPECT_STREQ(array->items[254].label, "P249");
  EXPECT_STREQ(array->templateLines[255], "EndTemplate");
  EXPECT_EQ(info.traverseFSPropertyList(), 250);
}

}  // namespace
