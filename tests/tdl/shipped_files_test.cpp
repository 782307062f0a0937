// The TDL files we ship parse cleanly into the layouts of the template facts.
#include <gtest/gtest.h>

#include "tdl_test_util.h"

using namespace tdltest;

namespace {

struct Field {
  const char* label;  // structure label, or the select case's description
  ePropertyType type;
  int32_t width;
  eDataType data;
  double start;
  double step;
  const char* units;
};

void expectField(CTDLProperty* p, const Field& f) {
  SCOPED_TRACE(f.label);
  EXPECT_EQ(p->getPropertyType(), f.type);
  EXPECT_EQ(p->m_bitWidth, f.width);
  if (f.type == PT_SELECTCASE) {
    EXPECT_STREQ(p->m_description, f.label);
    return;
  }
  EXPECT_STREQ(p->m_structLabel, f.label);
  EXPECT_EQ(p->m_dataType, f.data);
  if (f.data == DT_CONRES || f.data == DT_CONRELRES) {
    EXPECT_EQ(p->m_dataDef.startValue, f.start);
    EXPECT_EQ(p->m_dataDef.resolution, f.step);
  }
  if (f.units != nullptr) {
    EXPECT_STREQ(p->m_units, f.units);
  }
}

void expectFields(const std::vector<CTDLProperty*>& list, const std::vector<Field>& fields) {
  ASSERT_EQ(list.size(), fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) expectField(list[i], fields[i]);
}

Field kSelect(const char* name, int32_t width) {
  return {name, PT_SELECTCASE, width, DT_UNINT, 0, 0, nullptr};
}

std::vector<Field> calibrationBlock() {
  return {{"Calibration date", PT_CALDATE, 16, DT_DATE, 0, 0, nullptr},
          {"Cal Initials", PT_CAL_INITIALS, 15, DT_CHR5, 0, 0, nullptr},
          {"Cal Period", PT_CAL_PERIOD, 12, DT_UNINT, 0, 0, "\"days\""},
          {"Meas. position ID", PT_MEASID, 11, DT_UNINT, 0, 0, nullptr},
          {"User data (ascii)", PT_USER, -1, DT_CHR5, 0, 0, nullptr}};
}

class ShippedIeee : public ::testing::Test {
 protected:
  void SetUp() override {
    parsed_ = parseFile(std::string(TEDSKIT_SOURCE_DIR) + "/data/ieee_temp_v10.tdl");
    ASSERT_EQ(parsed_.result, 0);
    ASSERT_EQ(parsed_.errors, "");
  }
  CTDLTemplate& tmpl(int32_t id) {
    CTDLTemplate* t = parsed_.collection->findTemplate(id);
    EXPECT_NE(t, nullptr) << id;
    return *t;
  }
  Parsed parsed_;
};

TEST_F(ShippedIeee, HoldsEveryTemplateTheEngineMaps) {
  for (int32_t id : {25, 26, 27, 28, 33, 39}) {
    CTDLTemplate& t = tmpl(id);
    EXPECT_EQ(t.m_idBitWidth, 8);
    EXPECT_EQ(t.m_properties.back()->getPropertyType(), PT_USER) << id;
  }
}

TEST_F(ShippedIeee, Template25IsTheVerifiedAccelerometerLayout) {
  CTDLTemplate& t = tmpl(25);
  EXPECT_STREQ(t.m_description, "Accelerometer & Force");
  std::vector<Field> top = {
      kSelect("Transducer type", 1),
      {"Sensitivity direction (x,y,z)", PT_DIRECTION, 2, DT_ENUMERATION, 0, 0, nullptr},
      {"Weight", PT_WEIGHT, 6, DT_CONRELRES, 0.1, 0.1, "\"g\""},
      {"Phase invertion (0: 0\xb0, 1: 180\xb0)", PT_SIGN, 1, DT_ENUMERATION, 0, 0, nullptr},
      kSelect("Transfer function", 1),
      {"Fref", PT_REFFREQ, 8, DT_CONRELRES, 0.35, 0.0175, "\"Hz\""},
      {"Reference Temperature", PT_REF_TEMP, 5, DT_CONRES, 15, 0.5, "\"degC\""}};
  for (const Field& f : calibrationBlock()) top.push_back(f);
  expectFields(t.m_properties, top);

  CTDLEnumeration* axis = t.m_properties[1]->m_dataDef.enumeration;
  ASSERT_NE(axis, nullptr);
  ASSERT_EQ(axis->getNumberEnumerations(), 4);
  EXPECT_STREQ(axis->getEnumerate(3), "n/a");
  CTDLEnumeration* sign = t.m_properties[3]->m_dataDef.enumeration;
  ASSERT_NE(sign, nullptr);
  EXPECT_STREQ(sign->getEnumerate(0), "+");
  EXPECT_STREQ(sign->getEnumerate(1), "-");

  CTDLSelectCase& kind = asSelectCase(t.m_properties[0]);
  ASSERT_EQ(kind.m_cases.size(), 2u);
  const char* units[] = {"\"V/(m/s^2)\"", "\"V/N\""};
  for (std::size_t c = 0; c < 2; ++c) {
    CTDLSelectCase& extended = asSelectCase(kind.m_cases[c]->m_properties[0]);
    ASSERT_EQ(extended.m_cases.size(), 2u);
    for (CTDLCase* ec : extended.m_cases) {
      expectFields(ec->m_properties,
                   {{"Sensitivity @ Fref", PT_SENS_AT_REF, 16, DT_CONRELRES, 5e-7, 0.00015, units[c]},
                    {"F hp electrical", PT_TF_HP_S, 8, DT_CONRELRES, 0.005, 0.03, "\"Hz\""}});
    }
  }
  EXPECT_EQ(kind.m_cases[0]->m_properties.size(), 1u);
  ASSERT_EQ(kind.m_cases[1]->m_properties.size(), 3u);
  EXPECT_EQ(kind.m_cases[1]->m_properties[1]->m_bitWidth + kind.m_cases[1]->m_properties[2]->m_bitWidth, 12);

  CTDLSelectCase& tf = asSelectCase(t.m_properties[4]);
  ASSERT_EQ(tf.m_cases.size(), 2u);
  EXPECT_TRUE(tf.m_cases[0]->m_properties.empty());
  expectFields(tf.m_cases[1]->m_properties,
               {{"F lp electrical", PT_TF_SP, 7, DT_CONRELRES, 10, 0.05, "\"Hz\""},
                {"F mounted resonance", PT_TF_KPR, 9, DT_CONRELRES, 100, 0.01, "\"Hz\""},
                {"Mounted   Q", PT_TF_KPQ, 9, DT_CONRELRES, 0.4, 0.01, nullptr},
                {"Amplitude slope", PT_TF_SL, 7, DT_CONRES, -6.3, 0.1, "\"%/decade\""},
                {"Temperature coefficient", PT_TEMPCOEF, 6, DT_CONRES, -0.8, 0.025, "\"%/degC\""}});
}

TEST_F(ShippedIeee, Template33IsTheBridgeLayout) {
  CTDLTemplate& t = tmpl(33);
  std::vector<Field> top = {kSelect("Physical measurand", 6),
                            kSelect("Electrical signal precision", 2),
                            {"Bridge type", PT_BRIDGE_TYPE, 2, DT_ENUMERATION, 0, 0, nullptr},
                            {"Sensor impedance", PT_SENSOR_IMPED, 18, DT_CONRES, 1, 0.1, "\"Ohm\""},
                            {"Response time", PT_RESP_TIME, 6, DT_CONRELRES, 1e-6, 0.15, "\"s\""},
                            {"Excitation level nominal", PT_EXCITE_AMPL_NOM, 9, DT_CONRES, 0.1, 0.1, "\"V\""},
                            {"Excitation level min", PT_EXCITE_AMPL_MIN, 9, DT_CONRES, 0.1, 0.1, "\"V\""},
                            {"Excitation level max", PT_EXCITE_AMPL_MAX, 9, DT_CONRES, 0.1, 0.1, "\"V\""}};
  for (const Field& f : calibrationBlock()) top.push_back(f);
  expectFields(t.m_properties, top);

  CTDLSelectCase& measurand = asSelectCase(t.m_properties[0]);
  ASSERT_EQ(measurand.m_cases.size(), 46u);
  EXPECT_FALSE(measurand.IsBinary());
  for (std::size_t i = 0; i < 46; ++i) {
    EXPECT_EQ(measurand.m_cases[i]->m_bitValue, static_cast<int32_t>(i));
    ASSERT_EQ(measurand.m_cases[i]->m_properties.size(), 2u);
  }
  expectFields(measurand.m_cases[7]->m_properties,
               {{"Min physical value", PT_TYPE_SINGLE, 32, DT_SINGLE, 0, 0, "\"m/s^2\""},
                {"Max physical value", PT_TYPE_SINGLE, 32, DT_SINGLE, 0, 0, "\"m/s^2\""}});
  EXPECT_STREQ(measurand.m_cases[15]->getDescription(), "g (mass)");
  EXPECT_STREQ(measurand.m_cases[45]->m_properties[0]->m_units, "\"W\"");

  CTDLSelectCase& precision = asSelectCase(t.m_properties[1]);
  ASSERT_EQ(precision.m_cases.size(), 3u);
  expectFields(precision.m_cases[2]->m_properties,
               {{"Min electrical value", PT_MIN_ELEC_VAL, 32, DT_SINGLE, 0, 0, "\"V/V\""},
                {"Max electrical value", PT_MAX_ELEC_VAL, 32, DT_SINGLE, 0, 0, "\"V/V\""}});
}

TEST_F(ShippedIeee, Template27StartsWithItsOneBitSelectCaseThenSensitivity) {
  CTDLTemplate& t = tmpl(27);
  expectField(t.m_properties[0], kSelect("Microphone option", 1));
  expectField(t.m_properties[1],
              {"Sensitivity @ Fref", PT_SENS_AT_REF, 16, DT_CONRELRES, 1e-5, 0.0001, "\"V/Pa\""});
  int32_t bits = 0;
  for (std::size_t i = 2; i + 5 < t.m_properties.size(); ++i) bits += t.m_properties[i]->m_bitWidth;
  EXPECT_EQ(bits, 25);
}

TEST(ShippedMts, Template199HasASelectCase) {
  const Parsed p = parseFile(std::string(TEDSKIT_SOURCE_DIR) + "/data/MTS-SWIFT.tdl");
  ASSERT_EQ(p.errors, "");
  ASSERT_EQ(p.collection->m_templates.size(), 1u);
  CTDLTemplate* t = p.collection->findTemplate(199);
  ASSERT_NE(t, nullptr);
  CTDLSelectCase& channel = asSelectCase(t->m_properties[0]);
  EXPECT_EQ(channel.m_cases.size(), 2u);
  EXPECT_EQ(t->m_properties.back()->getPropertyType(), PT_USER);
}

}  // namespace
