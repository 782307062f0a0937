#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "tedskit/orlin.hpp"

namespace {

TEST(Vocabulary, PropertyTypeFromLabelIgnoresCase) {
  CTDLProperty p;
  EXPECT_TRUE(p.setPropertyTypeFromString("%sens@ref"));
  EXPECT_EQ(p.getPropertyType(), PT_SENS_AT_REF);
  EXPECT_FALSE(p.setPropertyTypeFromString("%TCType"));
  EXPECT_EQ(p.getPropertyType(), PT_SENS_AT_REF);
  EXPECT_TRUE(p.setPropertyTypeFromString("%EXCITETYPE"));
  EXPECT_EQ(p.getPropertyType(), PT_EXCITE_TYPE);
  EXPECT_TRUE(p.setPropertyTypeFromString("Single"));
  EXPECT_EQ(p.getPropertyType(), PT_TYPE_SINGLE);
  // The first empty row answers the empty text.
  EXPECT_TRUE(p.setPropertyTypeFromString(""));
  EXPECT_EQ(p.getPropertyType(), PT_TYPE_ENUMERATION);
}

TEST(Vocabulary, DataTypeFromNameMatchesSubstrings) {
  struct Case {
    const char* name;
    eDataType result;
    eDataType stored;
  };
  const Case cases[] = {{"ASCII", DT_ASCII, DT_ASCII},  {"Sing", DT_SINGLE, DT_SINGLE},
                        {"INT", DT_UNINT, DT_UNINT},    {"", DT_UNINT, DT_UNINT},
                        {"DATE", DT_DATE, DT_DATE},     {"BitBin", DT_UNINT, DT_CHR5},
                        {"String7", DT_UNINT, DT_CHR5}, {"ascii", DT_UNINT, DT_CHR5}};
  for (const Case& c : cases) {
    CTDLProperty p;
    p.m_dataType = DT_CHR5;
    EXPECT_EQ(p.getDataypeFromString(c.name), c.result) << c.name;
    EXPECT_EQ(p.m_dataType, c.stored) << c.name;
  }
}

TEST(Vocabulary, KnownLabelsAreTheDisplayNames) {
  CTDLProperty p;
  p.setType(PT_USER);
  EXPECT_STREQ(p.getKnownPropertyLabel(), "User data (ascii)");
  p.setType(PT_SIGN);
  EXPECT_STREQ(p.getKnownPropertyLabel(), "Phase invertion (0: 0\xb0, 1: 180\xb0)");
  p.setType(PT_TF_KPQ);
  EXPECT_STREQ(p.getKnownPropertyLabel(), "Mounted   Q");
  p.setType(PT_EQUI_VOL);
  EXPECT_STREQ(p.getKnownPropertyLabel(), "Reference pressure");
  p.setType(PT_MIC_SIZE);
  EXPECT_STREQ(p.getKnownPropertyLabel(), "");
  p.setType(static_cast<ePropertyType>(99));
  EXPECT_STREQ(p.getKnownPropertyLabel(), "");
}

TEST(Vocabulary, MachineDatatype) {
  CTDLSelectCase sc;
  sc.m_dataType = DT_SINGLE;
  EXPECT_EQ(sc.getPropertyDatatype(), MD_ENUMERATION);

  CTDLProperty single;
  single.setType(PT_GAIN);
  single.m_dataType = DT_SINGLE;
  single.m_dataDef.startValue = 1.0;
  EXPECT_EQ(single.getPropertyDatatype(), MD_NUMBER);
  EXPECT_EQ(single.m_dataDef.startValue, -3.4028234663852886e38);
  EXPECT_DOUBLE_EQ(single.m_dataDef.resolution, 1.584563156206892e29);

  const std::pair<ePropertyType, eMachineDatatype> byLabel[] = {
      {PT_CALDATE, MD_TEXT},      {PT_SIGN, MD_INTEGER},       {PT_ELEC_SIG_TYPE, MD_ENUMERATION},
      {PT_CAL_INITIALS, MD_CHR5}, {PT_TYPE_CONRES, MD_NUMBER}, {static_cast<ePropertyType>(-3), MD_INTEGER}};
  for (const auto& [type, machine] : byLabel) {
    CTDLProperty p;
    p.setType(type);
    EXPECT_EQ(p.getPropertyDatatype(), machine) << type;
  }
}

TEST(Vocabulary, FieldStructDatatype) {
  struct Case {
    ePropertyType type;
    eDataType data;
    int expected;
  };
  const Case cases[] = {{PT_SIGN, DT_UNINT, 2},
                        {PT_DIRECTION, DT_ENUMERATION, 7},
                        {PT_ATTACHED_VERSION_LETTER, DT_CHR5, 3},
                        {PT_ATTACHED_MFGR_ID, DT_UNINT, 1},
                        {PT_GAIN, DT_CONRELRES, 5},
                        {PT_MEASURAND, DT_ENUMERATION, 199},
                        {PT_WEIGHT, DT_CONRES, 6},
                        {PT_CALDATE, DT_DATE, 4},
                        {PT_USER, DT_ASCII, 8},
                        {PT_TYPE_SINGLE, DT_SINGLE, 6},
                        {PT_WEIGHT, static_cast<eDataType>(42), 2}};
  for (const Case& c : cases) {
    CTDLProperty p;
    p.setType(c.type);
    p.m_dataType = c.data;
    EXPECT_EQ(p.getVLMFieldStructDatatype(), c.expected) << c.type << "/" << c.data;
  }
}

std::string templateString(CTDLProperty& p) {
  char out[256];
  std::memset(out, '#', sizeof out);
  EXPECT_TRUE(p.createVLMTemplateString(out));
  return out;
}

CTDLProperty& described(CTDLProperty& p, const char* description, int width, eDataType type) {
  p.setDescription(description);
  p.setBitWidth(width);
  p.m_dataType = type;
  return p;
}

TEST(Vocabulary, TemplateStringByDataType) {
  CTDLProperty unint;
  described(unint, "\"Gain\"", 8, DT_UNINT).setFormat("\"%d\"");
  EXPECT_EQ(templateString(unint), R"("Gain","RW","8","UNINT","%d")");
  unint.setFormat("");
  EXPECT_EQ(templateString(unint), R"("Gain","RW","8","UNINT","")");

  CTDLProperty relres;
  described(relres, "\"Sens\"", 16, DT_CONRELRES).setUnits("\"V\"");
  relres.setFormat("");
  relres.m_dataDef.startValue = 5e-7;
  relres.m_dataDef.resolution = 0.00015;
  EXPECT_EQ(templateString(relres), R"("Sens","RW","16","ConRelRes",5.000000e-07,1.500000e-04,0,"","V")");

  CTDLProperty conres;
  described(conres, "\"T\"", 5, DT_CONRES).setUnits("degC");
  conres.setFormat("\"%.1f\"");
  conres.m_dataDef.startValue = 15;
  conres.m_dataDef.resolution = 0.5;
  EXPECT_EQ(templateString(conres), R"("T","RW","5","ConRes",1.500000e+01,5.000000e-01,"%.1f","degC")");
  conres.setUnits(nullptr);
  conres.setFormat(nullptr);
  EXPECT_EQ(templateString(conres), R"("T","RW","5","ConRes",1.500000e+01,5.000000e-01,"","")");

  CTDLProperty e, a, s, d;
  EXPECT_EQ(templateString(described(e, "\"E\"", 2, DT_ENUMERATION)), R"("E","RW","2","ASCII")");
  EXPECT_EQ(templateString(described(a, "\"A\"", -1, DT_ASCII)), R"("A","RW","-1","ASCII")");
  EXPECT_EQ(templateString(described(s, "\"S\"", 32, DT_SINGLE)), R"("S","RW","32","Single")");
  EXPECT_EQ(templateString(described(d, "\"D\"", 16, DT_DATE)), R"("D","RW","16",)");
  CTDLProperty bare;
  EXPECT_EQ(templateString(bare), R"(,"RW","0","UNINT","")");
}

// The numbers of a template line read as printf's "%e" prints them, the odd ones included.
TEST(Vocabulary, TemplateStringNumbersAreThoseOfPrintf) {
  const double values[] = {0.0,     -0.0,    1.0,     -2.5e-300, 4.9e-324, 1.7976931348623157e308, 123456789.0,
                           9.9999995e-5, 0.5e-6, -1e100,  HUGE_VAL,  -HUGE_VAL, std::nan("")};
  for (const double start : values) {
    CTDLProperty p;
    described(p, "\"X\"", 8, DT_CONRES).setUnits("u");
    p.setFormat("");
    p.m_dataDef.startValue = start;
    p.m_dataDef.resolution = -start;
    char expected[256];
    std::snprintf(expected, sizeof expected, "\"X\",\"RW\",\"8\",\"ConRes\",%e,%e,\"\",\"u\"", start, -start);
    EXPECT_EQ(templateString(p), expected) << start;
  }
}

TEST(Vocabulary, TemplateStringIsCutToTheRow) {
  CTDLProperty p;
  const std::string longDescription = "\"" + std::string(300, 'x') + "\"";
  described(p, longDescription.c_str(), 8, DT_UNINT);
  char out[256 + 8];
  std::memset(out, '#', sizeof out);
  EXPECT_TRUE(p.createVLMTemplateString(out));
  EXPECT_EQ(std::strlen(out), 255u);
  EXPECT_EQ(out[256], '#');
}

}  // namespace
