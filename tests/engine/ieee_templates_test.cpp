// Decoding the shipped standard templates from images built field by field after the
// published layouts.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine_fixture.h"

namespace {

using namespace engine_test;
using Expected = std::vector<std::pair<std::string, std::string>>;

class IeeeTemplates : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(info.CreateTemplateStructure(
                  (std::string(TEDSKIT_SOURCE_DIR) + "/data/ieee_temp_v10.tdl").c_str(), 0, 0),
              0);
    ASSERT_TRUE(info.IsStructureValid());
  }

  // Every item after the Basic TEDS rows, in order, with its value.
  void expectItems(const Expected& expected) {
    ASSERT_EQ(array->numItems, static_cast<int32_t>(5 + expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(array->items[5 + i].label, expected[i].first) << i;
      EXPECT_EQ(array->items[5 + i].value, expected[i].second) << expected[i].first;
    }
  }

  CTEDSInfo info;
  std::unique_ptr<TEDSTemplateFieldArrayStruct> array = newArray();
};

TEST_F(IeeeTemplates, AccelerometerWithTransferFunction) {
  ImageBuilder image(25);
  image
      .put(0, 1)      // transducer type: acceleration
      .put(0, 1)      // extended functionality: none
      .put(1234, 16)  // sensitivity
      .put(77, 8)     // high-pass
      .put(2, 2)      // direction z
      .put(10, 6)     // weight
      .put(1, 1)      // sign
      .put(1, 1)      // transfer function present
      .put(20, 7)
      .put(300, 9)
      .put(100, 9)
      .put(70, 7)
      .put(40, 6)
      .put(100, 8)                       // reference frequency
      .put(16, 5)                        // reference temperature
      .put(790, 16)                      // calibration date
      .put(10 | 13 << 5 | 19 << 10, 15)  // initials JMS
      .put(365, 12)                      // calibration period
      .put(1500, 11)                     // measurement position
      .putUserText("Bay 4");
  image.loadInto(info);
  ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), true), 0);
  EXPECT_STREQ(array->templateName, "Accelerometer & Force");
  expectItems({{"Sensitivity @ Fref", "7.2397187978e-07"},
               {"F hp electrical", "0.4441417754"},
               {"Sensitivity direction (x,y,z)", "2"},
               {"Weight", "0.6191736460"},
               {"Phase invertion (0: 0\xB0, 1: 180\xB0)", "1"},
               {"F lp electrical", "67.2750015259"},
               {"F mounted resonance", "3.8023449219e+04"},
               {"Mounted   Q", "2.8978583813"},
               {"Amplitude slope", "0.6999999881"},
               {"Temperature coefficient", "0.2000000030"},
               {"Fref", "10.9169931412"},
               {"Reference Temperature", "23.0000000000"},
               {"Calibration date", "3/1/2000"},
               {"Cal Initials", "JMS"},
               {"Cal Period", "365"},
               {"Meas. position ID", "1500"},
               {"User data (ascii)", "Bay 4"}});
  EXPECT_EQ(info.getMatchingOldTemplateID(), 1);  // 0, 0, 1: accelerometer with transfer function
  ASSERT_EQ(info.getSCInformation(), 3);
  char description[256], case0[256], case1[256];
  ASSERT_EQ(info.getCaseInfo(1, description, case0, case1), 0);
  EXPECT_STREQ(description, "Extended functionality");
  EXPECT_STREQ(case1, "Extended");
}

TEST_F(IeeeTemplates, ForceSensorWithoutTransferFunction) {
  ImageBuilder image(25);
  image.put(1, 1)
      .put(0, 1)
      .put(0, 16)
      .put(0, 8)
      .put(5, 6)
      .put(0, 6)  // stiffness, mass below
      .put(3, 2)
      .put(0, 6)
      .put(0, 1)
      .put(0, 1)  // no transfer function
      .put(0, 8)
      .put(0, 5)
      .put(0, 16)
      .put(0, 15)
      .put(0, 12)
      .put(0, 11)
      .put(0, 3);
  image.loadInto(info);
  ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), true), 0);
  EXPECT_EQ(valueOf(*array, "Sensitivity @ Fref"), "4.9999999874e-07");
  EXPECT_EQ(findItem(*array, "Sensitivity @ Fref")->units, std::string("\"V/N\""));
  EXPECT_EQ(valueOf(*array, "Stiffness"), "2.4883200000e+06");  // 1e6 x 1.2^5
  EXPECT_EQ(valueOf(*array, "Sensitivity direction (x,y,z)"), "3");
  EXPECT_EQ(findItem(*array, "F lp electrical"), nullptr);
  EXPECT_EQ(valueOf(*array, "Cal Initials"), "   ");
  EXPECT_EQ(info.getMatchingOldTemplateID(), -1);  // force sensors have no old number
}

TEST_F(IeeeTemplates, BridgeSensorWithFullPrecision) {
  ImageBuilder image(33);
  image.put(43, 6)
      .putFloat(-0.5f)
      .putFloat(12.5f)  // physical measurand A
      .put(2, 2)
      .putFloat(-0.002f)
      .putFloat(0.002f)  // full precision
      .put(2, 2)         // bridge type
      .put(3500, 18)     // impedance
      .put(10, 6)        // response time
      .put(99, 9)
      .put(49, 9)
      .put(149, 9)  // excitation
      .put(1095, 16)
      .put(1 | 2 << 5 | 3 << 10, 15)
      .put(730, 12)
      .put(7, 11)
      .put(0, 3);
  image.loadInto(info);
  ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), true), 0);
  expectItems({{"Physical measurand", "A"},
               {"Min physical value", "-5.0000000000e-01"},
               {"Max physical value", "1.2500000000e+01"},
               {"Electrical signal precision", "Full precision"},
               {"Min electrical value", "-2.0000000950e-03"},
               {"Max electrical value", "2.0000000950e-03"},
               {"Bridge type", "Full"},
               {"Sensor impedance", "351.0000000000"},
               {"Response time", "1.3785848751e-05"},
               {"Excitation level nominal", "10.0000000000"},
               {"Excitation level min", "5.0000000000"},
               {"Excitation level max", "15.0000000000"},
               {"Calibration date", "12/31/2000"},
               {"Cal Initials", "ABC"},
               {"Cal Period", "730"},
               {"Meas. position ID", "7"},
               {"User data (ascii)", ""}});
  EXPECT_EQ(array->items[5].datatype, TEDS_DT_ENUMERATION);
  EXPECT_EQ(info.GetSCCObj()->values[0], 43);
  EXPECT_EQ(info.GetSCCObj()->values[1], 2);
  EXPECT_EQ(info.getMatchingOldTemplateID(), -1);
}

TEST_F(IeeeTemplates, EveryMappedTemplateLaysOut) {
  const std::pair<int32_t, int32_t> layouts[] = {{0, 25},  {1, 25},  {4, 26},  {5, 26},  {12, 27},
                                                 {13, 27}, {16, 28}, {17, 28}, {33, 33}, {39, 39}};
  for (const auto& [number, id] : layouts) {
    array->templateID = number;
    ASSERT_EQ(info.CreateTEDSTemplateFieldArrayStruct(array.get(), false), 0) << number;
    EXPECT_EQ(array->templateID, id);
    EXPECT_GT(array->numItems, 5);
    EXPECT_STREQ(array->templateLines[array->numItems], "EndTemplate");
  }
}

}  // namespace
