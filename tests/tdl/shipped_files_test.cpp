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
  for (int32_t id : {25, 26, 27, 28, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42}) {
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

  // Each type case holds the extended-functionality select case; the force fields sit
  // inside its cases, the phase correction only in the extended force case.
  CTDLSelectCase& kind = asSelectCase(t.m_properties[0]);
  ASSERT_EQ(kind.m_cases.size(), 2u);
  const char* units[] = {"\"V/(m/s^2)\"", "\"V/N\""};
  const int32_t caseBits[2][2] = {{24, 51}, {36, 69}};
  for (std::size_t c = 0; c < 2; ++c) {
    ASSERT_EQ(kind.m_cases[c]->m_properties.size(), 1u);
    CTDLSelectCase& extended = asSelectCase(kind.m_cases[c]->m_properties[0]);
    ASSERT_EQ(extended.m_cases.size(), 2u);
    for (std::size_t e = 0; e < 2; ++e) {
      int32_t bits = 0;
      for (CTDLProperty* p : extended.m_cases[e]->m_properties) bits += p->m_bitWidth;
      EXPECT_EQ(bits, caseBits[c][e]) << c << e;
    }
    expectField(extended.m_cases[0]->m_properties[0],
                {"Sensitivity @ Fref", PT_SENS_AT_REF, 16, DT_CONRELRES, 5e-7, 0.00015, units[c]});
    expectField(extended.m_cases[1]->m_properties[2],
                {"Sensitivity @ Fref (low)", PT_SENS_AT_REF, 16, DT_CONRELRES, 5e-7, 0.00015, units[c]});
  }
  CTDLSelectCase& forceExtended = asSelectCase(kind.m_cases[1]->m_properties[0]);
  expectField(forceExtended.m_cases[0]->m_properties[2],
              {"Stiffness", PT_STIFFNESS, 6, DT_CONRELRES, 1e6, 0.10, "\"N/m\""});
  expectField(forceExtended.m_cases[1]->m_properties.back(),
              {"Phase correction @ Fref.", PT_PHASE_CORRECTION, 6, DT_CONRES, -3.2, 0.1, "\"deg\""});

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

// The bits of each template with case 0 chosen everywhere, from the published tables.
TEST_F(ShippedIeee, EachTemplateHasThePublishedWidthOnItsFirstCases) {
  const std::pair<int32_t, int32_t> widths[] = {{25, 103}, {27, 96},  {30, 146}, {31, 150},
                                                {32, 164}, {33, 201}, {34, 209}, {35, 229},
                                                {36, 113}, {37, 127}, {38, 255}, {39, 172}};
  for (const auto& [id, expected] : widths) {
    int32_t bits = 0;
    std::vector<CTDLProperty*> pending(tmpl(id).m_properties.rbegin(), tmpl(id).m_properties.rend());
    while (!pending.empty()) {
      CTDLProperty* p = pending.back();
      pending.pop_back();
      if (p->m_bitWidth > 0) bits += p->m_bitWidth;
      if (p->getPropertyType() != PT_SELECTCASE) continue;
      const auto& first = asSelectCase(p).m_cases.front()->m_properties;
      pending.insert(pending.end(), first.rbegin(), first.rend());
    }
    EXPECT_EQ(bits, expected) << id;
  }
}

TEST_F(ShippedIeee, ProvisionalTemplatesSaySoInTheirDescription) {
  EXPECT_STREQ(tmpl(25).m_description, "Accelerometer & Force");
  EXPECT_STREQ(tmpl(37).m_description, "RTD (provisional)");
  EXPECT_STREQ(tmpl(26).m_description, "Charge Amplifier with attached Accelerometer (provisional)");
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
