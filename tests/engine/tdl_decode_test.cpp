#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "../support/scratch_dir.h"
#include "engine_fixture.h"

namespace {

using namespace engine_test;
using Labels = std::vector<std::string>;

const Labels kBasicLabels = {"Manufacturer", "Model number", "Version letter", "Version number",
                             "Serial no."};

Labels withBasic(const Labels& rest) {
  Labels all = kBasicLabels;
  all.insert(all.end(), rest.begin(), rest.end());
  return all;
}

using TdlDecode = EngineTest;

TEST_F(TdlDecode, SelectCaseValuePicksCaseTwoOfThreeWithNestedSelectCase) {
  ImageBuilder image(25);
  image
      .put(9, 4)     // Head
      .put(2, 2)     // Kind: Gamma
      .put(10, 7)    // Gamma first: -1 + 10 x 0.25
      .put(1, 1)     // Inner: Fancy
      .put(2, 2)     // Inner bridge: full
      .put(3, 5)     // Gamma last: 10 + 3
      .put(790, 16)  // Calibration date
      .putUserText("Hi");
  ASSERT_EQ(decode(image), 0);

  EXPECT_EQ(array->validMarker, TEDS_FIELD_ARRAY_VALID);
  EXPECT_EQ(array->templateID, 25);
  EXPECT_STREQ(array->templateName, "Shapes");
  EXPECT_EQ(labels(*array), withBasic({"Head", "Gamma first", "Inner bridge", "Gamma last",
                                       "Calibration date", "User data (ascii)"}));
  EXPECT_EQ(valueOf(*array, "Head"), "9");
  EXPECT_EQ(valueOf(*array, "Gamma first"), "1.5000000000");
  EXPECT_EQ(valueOf(*array, "Inner bridge"), "full");
  EXPECT_EQ(valueOf(*array, "Gamma last"), "13.0000000000");
  EXPECT_EQ(valueOf(*array, "Calibration date"), "3/1/2000");
  EXPECT_EQ(valueOf(*array, "User data (ascii)"), "Hi");
  EXPECT_STREQ(array->templateLines[11], "EndTemplate");

  const sccontrolstruct* scc = info.GetSCCObj();
  EXPECT_EQ(scc->values[0], 2);
  EXPECT_EQ(scc->values[1], 1);
  EXPECT_EQ(info.traverseFSPropertyList(), 6);
  EXPECT_STREQ(info.getPropertyByIndex(1)->getStructLabel(), "Gamma first");
}

TEST_F(TdlDecode, BasicTedsRowsAndItemShape) {
  ImageBuilder image(25);
  image.put(3, 4).put(0, 2).put(7, 8).put(0, 16).put(0, 3);
  ASSERT_EQ(decode(image), 0);
  EXPECT_EQ(valueOf(*array, "Manufacturer"), "43");
  EXPECT_EQ(valueOf(*array, "Model number"), "1");
  EXPECT_EQ(valueOf(*array, "Version letter"), "A");
  EXPECT_EQ(valueOf(*array, "Version number"), "2");
  EXPECT_EQ(valueOf(*array, "Serial no."), "1234");
  EXPECT_STREQ(array->templateLines[0], "\"Manufacturer\",\"RO\",\"14\",\"Manufacturer\"");
  EXPECT_STREQ(array->templateLines[1], "\"Model number\",\"RO\",\"15\",\"UNINT\",\"0000\"");
  EXPECT_STREQ(array->templateLines[2], "\"Version letter\",\"RO\",\"5\",\"CHR5\"");
  EXPECT_EQ(array->items[4].width, 24);

  EXPECT_EQ(valueOf(*array, "Alpha gain"), "3.5000000000");
  const TEDSTemplateFieldStruct* gain = findItem(*array, "Alpha gain");
  EXPECT_EQ(gain->datatype, TEDS_DT_CONRES);
  EXPECT_EQ(gain->width, 8);
  EXPECT_DOUBLE_EQ(gain->start, 0.0);
  EXPECT_DOUBLE_EQ(gain->step, 0.5);
  EXPECT_STREQ(gain->units, "\"dB\"");
  EXPECT_EQ(gain->access, 0);
  const TEDSTemplateFieldStruct* head = findItem(*array, "Head");
  EXPECT_EQ(head->datatype, TEDS_DT_UNINT);
  EXPECT_EQ(head->width, 2);  // integer items show 2, whatever their bit width
  EXPECT_DOUBLE_EQ(head->step, 1.0);
  EXPECT_EQ(head->access, 1);
  EXPECT_EQ(valueOf(*array, "Calibration date"), "1/1/1998");
  EXPECT_EQ(valueOf(*array, "User data (ascii)"), "");  // three zero bits: no mark, raw bits
}

TEST_F(TdlDecode, EveryDataTypeAndItemFormat) {
  ImageBuilder image(26);
  image
      .put(0, 16)                     // Sensitivity: 5e-7
      .put(70, 7)                     // Slope: -6.3 + 7.0
      .putFloat(1234.5f)              // Gain single
      .put(2, 2)                      // Direction: z, shown as its number
      .put(1, 1)                      // Polarity
      .put(1, 2)                      // Bridge type: half
      .put(1 | 2 << 5 | 3 << 10, 15)  // Cal Initials: ABC
      .put(365, 12)                   // Cal Period
      .put(5, 4)                      // Measurand: carries no value
      .put(4, 8)                      // Fref: exactly 1000
      .put('K', 8)
      .put('O', 8)
      .put(0, 8);  // user data without the mark: raw bits
  ASSERT_EQ(decode(image), 0);
  const std::pair<const char*, const char*> expected[] = {
      {"Sensitivity @ Fref", "4.9999999874e-07"},
      {"Slope", "0.6999999881"},  // values are floats
      {"Gain single", "1.2345000000e+03"},
      {"Sensitivity direction (x,y,z)", "2"},
      {"Polarity", "1"},
      {"Bridge type", "half"},
      {"Cal Initials", "ABC"},
      {"Cal Period", "365"},
      {"Measurand", ""},
      {"Fref", "1000.0000000000"},
      {"User data (ascii)", "KO"},
  };
  for (const auto& [label, value] : expected) EXPECT_EQ(valueOf(*array, label), value) << label;
  EXPECT_EQ(findItem(*array, "Sensitivity direction (x,y,z)")->datatype, TEDS_DT_DIRECTION);
  EXPECT_EQ(findItem(*array, "Bridge type")->datatype, TEDS_DT_ENUMERATION);
  EXPECT_EQ(findItem(*array, "Gain single")->datatype, TEDS_DT_CONRES);
  EXPECT_EQ(findItem(*array, "Gain single")->width, 32);
}

TEST_F(TdlDecode, SelectCaseValueWithoutACaseStopsTheDecode) {
  ImageBuilder image(25);
  image.put(9, 4).put(3, 2);  // Kind has no case 3
  EXPECT_EQ(decode(image), -1);
  EXPECT_EQ(array->validMarker, 0u);  // the array is not touched
  EXPECT_EQ(array->numItems, 0);
  EXPECT_EQ(info.CreateTEDSInfoFromData(), -1);
}

TEST_F(TdlDecode, TemplatesWithoutMapRowOrNotLoadedAreNotDecoded) {
  for (uint32_t id : {30u, 39u, 0u, 255u}) {
    ImageBuilder image(id);
    EXPECT_EQ(decode(image), -1) << id;
    EXPECT_EQ(array->validMarker, 0u);
  }
  EXPECT_EQ(info.getCurrentTemplate(), nullptr);
}

TEST_F(TdlDecode, SelectorIsIgnoredExceptForTheMtsPair) {
  for (uint32_t selector : {1u, 2u, 3u}) {
    ImageBuilder image(25, selector);
    image.put(1, 4);
    EXPECT_EQ(decode(image), 0) << selector;
    EXPECT_EQ(array->templateID, 25);
  }
  ImageBuilder mts(4, 1);  // template 4 is not loaded, and 199 is not in this file
  EXPECT_EQ(decode(mts), -1);
}

TEST(TdlDecodeMts, SelectorOneWithIdFourDecodesTheMtsTemplate) {
  CTEDSInfo info;
  int32_t loaded = 0;
  {
    const tedskittest::InDirectory inFixtures(std::filesystem::path(TEDSKIT_TEST_DIR) / "fixtures");
    loaded = info.CreateTemplateStructure("MTS-SWIFT.tdl", 0, 0);
  }
  ASSERT_EQ(loaded, 0);
  CTDLTemplate* mts = info.GetTemplateCollection(0)->m_templates.front();
  EXPECT_EQ(mts->m_templateID, 199);
  EXPECT_EQ(mts->m_firstNumber, 0);

  auto array = newArray();
  ImageBuilder image(4, 1);
  image.put(33, 6);
  image.loadInto(info);
  ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), true), 0);
  EXPECT_EQ(array->templateID, 199);
  EXPECT_EQ(valueOf(*array, "Channel"), "33");
  EXPECT_EQ(info.getMatchingOldTemplateID(), 27);

  ImageBuilder byID(77, 1);  // the file's own number is gone
  byID.loadInto(info);
  EXPECT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), true), -1);
}

TEST_F(TdlDecode, UserTextEndsAtItsZeroAndLeavesTheCursorBehindIt) {
  ImageBuilder image(27);
  image.putUserText("Note!").put(11, 4);
  ASSERT_EQ(decode(image), 0);
  EXPECT_EQ(valueOf(*array, "Note"), "Note!");
  EXPECT_EQ(valueOf(*array, "After"), "11");
  EXPECT_EQ(findItem(*array, "Note")->access, 1);
}

TEST_F(TdlDecode, OpenLengthRawFieldConsumesTheImageAndLaterFieldsReadTheSpareBytes) {
  ImageBuilder image(27);
  image.put('K', 8).put('O', 8);
  image.memory()[2560] = 0x0B;  // first spare byte after the template data
  ASSERT_EQ(decode(image), 0);
  EXPECT_EQ(valueOf(*array, "Note"), "KO");
  EXPECT_EQ(valueOf(*array, "After"), "11");
}

TEST_F(TdlDecode, UserTextRunningToTheEndOfTheImageIsCut) {
  ImageBuilder image(27);
  image.putUserText(std::string(3000, 'A'), false);  // no 0 before bit 20480
  ASSERT_EQ(decode(image), 0);
  EXPECT_EQ(valueOf(*array, "Note"), std::string(63, 'A'));
}

TEST_F(TdlDecode, UserChosenSelectCasesShowTheCaseAndItsItems) {
  ImageBuilder image(33);
  image
      .put(1, 2)   // Measurand: Strain (user-chosen: three cases)
      .put(7, 8)   // Strain lo
      .put(2, 2)   // Strain bridge
      .put(1, 1)   // Range: High (binary: an ordinary select case)
      .put(5, 4)   // High
      .put(6, 3);  // Tail
  ASSERT_EQ(decode(image), 0);
  EXPECT_EQ(labels(*array),
            withBasic({"Measurand", "Strain lo", "Strain bridge", "High", "Tail", "User data (ascii)"}));
  EXPECT_EQ(valueOf(*array, "Measurand"), "Strain");
  EXPECT_EQ(findItem(*array, "Measurand")->datatype, TEDS_DT_ENUMERATION);
  EXPECT_EQ(valueOf(*array, "Strain lo"), "3.5000000000");
  EXPECT_EQ(valueOf(*array, "Strain bridge"), "full");
  EXPECT_EQ(valueOf(*array, "High"), "105.0000000000");
  EXPECT_EQ(valueOf(*array, "Tail"), "6");

  auto* measurand = static_cast<CTDLSelectCase*>(info.getPropertyByIndex(0));
  EXPECT_EQ(measurand->GetSCCLevel(), 0);
  ASSERT_EQ(measurand->m_dataDef.enumeration->getNumberEnumerations(), 3);
  EXPECT_STREQ(measurand->m_dataDef.enumeration->getEnumerate(2), "Newton");

  ASSERT_EQ(info.getSCInformation(), 2);
  char description[256], case0[256], case1[256];
  ASSERT_EQ(info.getCaseInfo(0, description, case0, case1), 0);
  EXPECT_STREQ(description, "Measurand");
  EXPECT_STREQ(case0, "");
  EXPECT_STREQ(case1, "");
  ASSERT_EQ(info.getCaseInfo(1, description, case0, case1), 0);
  EXPECT_STREQ(description, "Range");
  EXPECT_STREQ(case0, "Low");
  EXPECT_STREQ(case1, "High");
  EXPECT_EQ(info.getCaseInfo(2, description, case0, case1), -1);
  EXPECT_EQ(info.getCaseInfo(-1, description, case0, case1), -1);
}

TEST_F(TdlDecode, UserChosenCaseItemsByDataType) {
  ImageBuilder kelvin(33);
  kelvin.put(0, 2).putFloat(-273.25f).put(0, 1).put(0, 4).put(0, 3);
  ASSERT_EQ(decode(kelvin), 0);
  EXPECT_EQ(valueOf(*array, "Min K"), "-2.7325000000e+02");  // Single: always "%0.10e"

  ImageBuilder newton(33);
  newton.put(2, 2).put(10, 6).put(17, 5).put(0, 1).put(0, 4).put(0, 3);
  ASSERT_EQ(decode(newton), 0);
  EXPECT_EQ(valueOf(*array, "Newton k"), "2.5937423706");  // 1.1^10 held as a float
  EXPECT_EQ(valueOf(*array, "Newton id"), "");             // other data types show nothing here
  EXPECT_EQ(info.getPropertyByIndex(2)->m_value.i, 17);
}

TEST_F(TdlDecode, CreateTEDSInfoFromDataKeepsTheBasicNumbers) {
  ImageBuilder image(25);
  image.put(0, 4).put(1, 2).put(20, 6);
  image.loadInto(info);
  ASSERT_EQ(info.CreateTEDSInfoFromData(), 0);
  EXPECT_EQ(info.basicTEDS.manufacturerID, 43);
  EXPECT_EQ(info.basicTEDS.modelNumber, 1);
  EXPECT_EQ(info.basicTEDS.versionLetter, 1);
  EXPECT_EQ(info.basicTEDS.versionNumber, 2);
  EXPECT_EQ(info.basicTEDS.serialNumber, 1234);
  EXPECT_EQ(info.GetSCCObj()->values[0], 1);
  EXPECT_EQ(info.numCaseInfo, 1);
  ImageBuilder mts(4, 1);  // no selector test here: template 4 is not loaded
  mts.loadInto(info);
  EXPECT_EQ(info.CreateTEDSInfoFromData(), -1);
}

}  // namespace
