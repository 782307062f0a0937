#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tdl_test_util.h"

using namespace tdltest;

namespace {

const std::string kProp = "%Weight, \"Weight\", ID, 6, UNINT, , \n";

TEST(Parse, KeycodeOnlyGivesAnEmptyCollection) {
  const Parsed p = parseText("// nothing here\n\nVALIDATION_KEYCODE 7\n\n");
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.errors, "");
  EXPECT_TRUE(p.collection->m_templates.empty());
}

TEST(Parse, EmptyFileIsASyntaxErrorAtAnEmptyToken) {
  TempTdl file("");
  const Parsed p = parseFile(file.path());
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.errors, "ERROR: parse error at '' in statement 1.\n");
  EXPECT_TRUE(p.collection->m_templates.empty());
  EXPECT_EQ(str(p.collection->m_fileName), file.path());
}

TEST(Parse, MissingFileGivesANewEmptyCollection) {
  const Parsed before = parseText("VALIDATION_KEYCODE 1\n");
  const Parsed p = parseFile("/nonexistent/dir/none.tdl");
  EXPECT_EQ(p.result, ORLIN_FILE_NOT_OPENED);
  ASSERT_NE(p.collection, nullptr);
  EXPECT_NE(p.collection, before.collection);
  EXPECT_EQ(p.collection->m_fileName, nullptr);
  EXPECT_TRUE(p.collection->m_templates.empty());
  EXPECT_EQ(orlin(nullptr), ORLIN_FILE_NOT_OPENED);
}

TEST(Parse, EachCallMakesItsOwnCollectionAndCountsAfresh) {
  const Parsed first = parseText(inTemplate(kProp) + "x");
  const Parsed second =
      parseText("TEMPLATE 0, 8, 30, \"B\"\n" + kProp + "ENDTEMPLATE\nVALIDATION_KEYCODE 1\nx");
  EXPECT_NE(first.collection, second.collection);
  ASSERT_EQ(second.collection->m_templates.size(), 1u);
  EXPECT_EQ(second.tmpl(0).m_templateID, 30);
  EXPECT_EQ(first.collection->m_templates.size(), 1u);
  EXPECT_EQ(first.errors, "ERROR: parse error at 'x' in statement 5.\n");
  EXPECT_EQ(second.errors, first.errors);
}

TEST(Parse, OnlyLineEndsMayFollowTheKeycode) {
  EXPECT_EQ(parseText("VALIDATION_KEYCODE 1\n// late\n").errors,
            "ERROR: parse error at '// late' in statement 2.\n");
  // A character that starts no token ends the input, unnoticed after a complete file.
  EXPECT_EQ(parseText("VALIDATION_KEYCODE 1\n; anything { here\n").errors, "");
  EXPECT_EQ(parseText("VALIDATION_KEYCODE 1\nTEMPLATE").errors,
            "ERROR: parse error at 'TEMPLATE' in statement 2.\n");
}

// Only double quotes leave a description; single quotes stay.
TEST(Parse, HeaderGivesNumbersAndUnquotedDescription) {
  const Parsed p = parseText(
      "TEMPLATE 3, +8, 25, 'Accel \"x\"'\n\n\nENDTEMPLATE\nTEMPLATE 1, 2, "
      "-4,\nENDTEMPLATE\nVALIDATION_KEYCODE 1\n");
  ASSERT_EQ(p.errors, "");
  ASSERT_EQ(p.collection->m_templates.size(), 2u);
  EXPECT_EQ(p.tmpl(0).m_firstNumber, 3);
  EXPECT_EQ(p.tmpl(0).m_idBitWidth, 8);
  EXPECT_EQ(p.tmpl(0).m_templateID, 25);
  EXPECT_STREQ(p.tmpl(0).m_description, "'Accel x'");
  EXPECT_EQ(p.tmpl(1).m_templateID, -4);
  EXPECT_STREQ(p.tmpl(1).m_description, "");
}

TEST(Parse, EveryTemplateEndsWithOpenLengthUserData) {
  const Parsed p = parseText(inTemplate(kProp));
  ASSERT_EQ(p.tmpl(0).m_properties.size(), 2u);
  CTDLProperty& end = *p.tmpl(0).m_properties[1];
  EXPECT_EQ(end.getPropertyType(), PT_USER);
  EXPECT_EQ(end.getAccess(), ACCESS_USER);
  EXPECT_EQ(end.getBitWidth(), -1);
  EXPECT_EQ(end.m_dataType, DT_CHR5);
  EXPECT_STREQ(end.m_structLabel, "User data (ascii)");
  EXPECT_STREQ(end.m_units, "");
  EXPECT_EQ(end.m_description, nullptr);
  EXPECT_EQ(end.m_format, nullptr);
}

TEST(Parse, PropertyFields) {
  const Parsed p = parseText(inTemplate(
      "%Sens@Ref, \"Sensitivity @ Fref\", CAL, 16, ConRelRes, 5E-7,\n  .00015, \"%.3e\", \"V/(m/s^2)\"\n"
      "%TF_SL, \"Amplitude slope\", usr, 7, conres, -6.3, 1, , (1,2,3,4,5,6,7,8,9,10,11,12)\n"));
  ASSERT_EQ(p.errors, "");
  CTDLProperty& sens = *p.tmpl(0).m_properties[0];
  EXPECT_EQ(sens.getPropertyType(), PT_SENS_AT_REF);
  EXPECT_EQ(sens.m_dataType, DT_CONRELRES);
  EXPECT_EQ(sens.m_dataDef.startValue, 5e-7);
  EXPECT_EQ(sens.m_dataDef.resolution, 0.00015);
  EXPECT_EQ(sens.getBitWidth(), 16);
  EXPECT_EQ(sens.getAccess(), ACCESS_FIXED);
  EXPECT_STREQ(sens.m_description, "\"Sensitivity @ Fref\"");
  EXPECT_STREQ(sens.m_structLabel, "Sensitivity @ Fref");
  EXPECT_STREQ(sens.m_format, "\"%.3e\"");
  EXPECT_STREQ(sens.m_units, "\"V/(m/s^2)\"");
  CTDLProperty& slope = *p.tmpl(0).m_properties[1];
  EXPECT_EQ(slope.m_dataType, DT_CONRES);
  EXPECT_EQ(slope.m_dataDef.startValue, -6.3);
  EXPECT_EQ(slope.getAccess(), ACCESS_USER);
  EXPECT_STREQ(slope.m_format, "");
  EXPECT_STREQ(slope.m_units, "");
}

TEST(Parse, PropertyTypeFallsBackToTheTypeKeyword) {
  const Parsed p =
      parseText(inTemplate("ENUMERATE E, a\n"
                           "%Foo, \"a\", , 8, UNINT, , \n"
                           "%Foo, \"b\", , 8, Single, , \n"
                           "%Foo, \"c\", , 8, ConRes, 0, 1, , \n"
                           "%Foo, \"d\", , 8, BitBin, , \n"
                           "%Foo, \"e\", , 8, Unicode, , \n"
                           "%Foo, \"f\", , 8, E, , \n"
                           "%Foo, \"g\", , 8, date, , \n"));
  ASSERT_EQ(p.errors, "");
  const std::pair<ePropertyType, eDataType> expected[] = {
      {PT_TYPE_UNINT, DT_UNINT}, {PT_TYPE_SINGLE, DT_SINGLE}, {PT_TYPE_CONRES, DT_CONRES},
      {PT_TYPE_UNINT, DT_UNINT}, {PT_TYPE_ASCII, DT_ASCII},   {PT_TYPE_ENUMERATION, DT_ENUMERATION},
      {PT_TYPE_DATE, DT_DATE}};
  const auto& props = p.tmpl(0).m_properties;
  ASSERT_EQ(props.size(), std::size(expected) + 1);
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(props[i]->getPropertyType(), expected[i].first) << i;
    EXPECT_EQ(props[i]->m_dataType, expected[i].second) << i;
  }
}

TEST(Parse, EnumerationsAndTheirItems) {
  const Parsed p =
      parseText(inTemplate("%Direction, \"Early\", ID, 2, Axis, , \n"
                           "ENUMERATE Axis, \"x\", y,\n  12, 1.5, 'q'\n"
                           "%Direction, \"Late\", ID, 2, AXIS, , \n"));
  ASSERT_EQ(p.errors, "");
  CTDLEnumeration* axis = p.tmpl(0).getEnumeration("axis");
  ASSERT_NE(axis, nullptr);
  ASSERT_EQ(axis->getNumberEnumerations(), 5);
  const char* items[] = {"x", "y", "12", "1.5", "'q'"};
  for (int i = 0; i < 5; ++i) EXPECT_STREQ(axis->getEnumerate(i), items[i]);
  EXPECT_EQ(p.tmpl(0).m_properties[0]->m_dataDef.enumeration, nullptr);
  EXPECT_EQ(p.tmpl(0).m_properties[1]->m_dataDef.enumeration, axis);
}

TEST(Parse, EnumerationWithoutItemsIsASyntaxError) {
  const Parsed p = parseText(inTemplate("ENUMERATE Empty\n"));
  EXPECT_EQ(p.errors, "ERROR: parse error at '\n' in statement 2.\n");
  ASSERT_EQ(p.tmpl(0).m_enumerations.size(), 1u);
  EXPECT_STREQ(p.tmpl(0).m_enumerations[0]->getDescription(), "Empty");
}

TEST(Parse, StatementsThatChangeNothing) {
  const Parsed p =
      parseText(inTemplate("TDL_VERSION_NUMBER 2 ALIGN 8 SPACING\n"
                           "ABSTRACT anything, even \"quotes\"\n"
                           "UGID \"a\",\n \"b\"\n"
                           "PHYSICAL_UNIT \"m\", (\n1,0,0,0,0,0,0,0,0,0,0,0\n)\n"
                           "// comment\n" +
                           kProp));
  EXPECT_EQ(p.errors, "");
  EXPECT_EQ(p.tmpl(0).m_properties.size(), 2u);
}

// The members of a struct array join the template's list; what each array repeats and
// the width of its count are kept beside it. Zero-width members take no place in the run,
// and arrays inside a case are not noted.
TEST(Parse, StructArraysNoteTheRunTheyRepeat) {
  const Parsed p = parseText(inTemplate(
      "%Head, \"Head\", CAL, 1, UNINT, ,\n"
      "STRUCTARRAY Outer, \"Curve\", CAL, 8\n"
      "  %Start, \"Start\", CAL, 13, UNINT, ,\n"
      "  %None, \"Nothing\", CAL, 0, UNINT, , = 0\n"
      "  STRUCTARRAY Inner, \"Terms\", CAL, 7\n"
      "    %Power, \"Power\", CAL, 7, UNINT, ,\n"
      "    %Coef, \"Coefficient\", CAL, 32, Single, ,\n"
      "  ENDSTRUCTARRAY\n"
      "ENDSTRUCTARRAY\n"
      "SELECTCASE \"S\", CAL, 1\n"
      "  CASE \"a\", 0\n"
      "    STRUCTARRAY InCase, \"X\", CAL, 3\n"
      "      %X, \"X\", CAL, 4, UNINT, ,\n"
      "    ENDSTRUCTARRAY\n"
      "  ENDCASE\n"
      "ENDSELECT\n"));
  ASSERT_EQ(p.errors, "");
  ASSERT_EQ(p.tmpl(0).m_properties.size(), 6u);  // Head, Start, Power, Coef, S, user data
  const auto arrays = p.tmpl(0).getStructArrays();
  ASSERT_EQ(arrays.size(), 2u);
  EXPECT_EQ(arrays[0].first, 1);
  EXPECT_EQ(arrays[0].count, 3);
  EXPECT_EQ(arrays[0].countBitWidth, 8);
  EXPECT_STREQ(arrays[0].description, "Curve");
  EXPECT_EQ(arrays[1].first, 2);
  EXPECT_EQ(arrays[1].count, 2);
  EXPECT_EQ(arrays[1].countBitWidth, 7);
  EXPECT_TRUE(parseText(inTemplate(kProp)).tmpl(0).getStructArrays().empty());
}

// A property with a value takes no bits and enters no list: it is kept as a constant of
// the template or case it stands in, with its place, type and texts.
TEST(Parse, ConstantsAreKeptBesideTheirList) {
  const Parsed p = parseText(inTemplate(
      "ENUMERATE Methods, \"Linear\", \"Other\"\n"
      "%MapMeth, \"Mapping Method\", ID, 0, Methods, , = \"Linear\"\n"
      "%Head, \"Head\", CAL, 4, UNINT, ,\n"
      "SELECTCASE \"S\", CAL, 1\n"
      "  CASE \"a\", 0\n"
      "    %Min, \"Min electrical value\", CAL, 0, Single, , \"V/V\" = 0.0\n"
      "  ENDCASE\n"
      "ENDSELECT\n"
      "%Tail, \"Tail\", USR, 8, UNINT, , = 3\n"));
  ASSERT_EQ(p.errors, "");
  ASSERT_EQ(p.tmpl(0).m_properties.size(), 3u);  // Head, S, user data
  const auto constants = p.tmpl(0).getConstants();
  ASSERT_EQ(constants.size(), 2u);
  EXPECT_EQ(constants[0].before, 0);
  EXPECT_EQ(constants[0].dataType, DT_ENUMERATION);
  EXPECT_EQ(constants[0].enumeration, p.tmpl(0).getEnumeration("Methods"));
  EXPECT_STREQ(constants[0].description, "Mapping Method");
  EXPECT_STREQ(constants[0].value, "Linear");
  EXPECT_STREQ(constants[0].accessClass, "ID");
  EXPECT_EQ(constants[1].before, 2);  // a width with a value takes no bits either
  EXPECT_STREQ(constants[1].value, "3");
  const auto inCase = asSelectCase(p.tmpl(0).m_properties[1]).m_cases.at(0)->getConstants();
  ASSERT_EQ(inCase.size(), 1u);
  EXPECT_EQ(inCase[0].before, 0);
  EXPECT_EQ(inCase[0].dataType, DT_SINGLE);
  EXPECT_STREQ(inCase[0].units, "V/V");
  EXPECT_STREQ(inCase[0].value, "0.0");
}

TEST(Parse, StatementsOutsideATemplateAreErrors) {
  EXPECT_EQ(parseText("ALIGN 8\nVALIDATION_KEYCODE 1\n").errors,
            "ERROR: parse error at 'ALIGN' in statement 1.\n");
  // An ABSTRACT line runs to its line end, swallowing what follows on the line.
  EXPECT_EQ(parseText(inTemplate("ABSTRACT x ")).errors,
            "ERROR: parse error at 'VALIDATION_KEYCODE' in statement 3.\n");
}

TEST(Parse, UnknownTokenInsideATemplateIsQuoted) {
  EXPECT_EQ(parseText(inTemplate(kProp + "%Weight; x\n")).errors,
            "ERROR: parse error at ';' in statement 3.\n");
}

TEST(Parse, CarriageReturnLineFeedFilesReadLikeLineFeedFiles) {
  const Parsed p = parseText(
      "TEMPLATE 0, 8, 25, \"T\"\r\n%Weight, \"W\", ID, 6, UNINT, , \r\nENDTEMPLATE\r\nVALIDATION_KEYCODE "
      "1\r\n");
  EXPECT_EQ(p.errors, "");
  EXPECT_EQ(p.tmpl(0).m_properties.size(), 2u);
}

TEST(Parse, LongTextsAreCutTo254Characters) {
  const std::string big(400, 'd');
  const Parsed p = parseText("TEMPLATE 0, 8, 25, \"" + big +
                             "\"\n"
                             "ENUMERATE E, \"" +
                             big +
                             "\"\n"
                             "%Weight, \"" +
                             big +
                             "\", ID, 6, UNINT, , \n"
                             "%Weight, %Label[\"" +
                             big +
                             "\"], ID, 6, UNINT, , \n"
                             "SELECTCASE \"" +
                             big + "\", ID, 1\nCASE \"" + big +
                             "\", 0\nENDCASE\nENDSELECT\n"
                             "ENDTEMPLATE\nVALIDATION_KEYCODE 1\n");
  ASSERT_EQ(p.errors, "");
  const CTDLTemplate& t = p.tmpl(0);
  EXPECT_EQ(std::string(t.m_description), std::string(254, 'd'));
  EXPECT_EQ(std::string(t.m_enumerations[0]->getEnumerate(0)), std::string(254, 'd'));
  EXPECT_EQ(std::string(t.m_properties[0]->m_description).size(), 402u);
  EXPECT_EQ(std::string(t.m_properties[0]->m_structLabel), std::string(254, 'd'));
  EXPECT_EQ(std::string(t.m_properties[1]->m_description).size(), 254u);
  EXPECT_EQ(std::string(t.m_properties[1]->m_structLabel).size(), 253u);
  CTDLSelectCase& sc = asSelectCase(t.m_properties[2]);
  EXPECT_EQ(std::string(sc.m_description), std::string(254, 'd'));
  EXPECT_EQ(std::string(sc.m_cases[0]->getDescription()), std::string(254, 'd'));
}

TEST(Parse, HugeWidthsSaturateInsteadOfOverflowing) {
  const Parsed p =
      parseText(inTemplate("%Foo, \"a\", , 99999999999, UNINT, , \n"
                           "%Foo, \"b\", , 40, STRING16, , \n"
                           "%Foo, \"c\", , -1, STRING5, , \n"));
  ASSERT_EQ(p.errors, "");
  const auto& props = p.tmpl(0).m_properties;
  EXPECT_EQ(props[0]->m_bitWidth, INT32_MAX);
  EXPECT_EQ(props[1]->m_bitWidth, INT32_MAX);
  EXPECT_EQ(props[2]->m_bitWidth, -2);
}

TEST(Parse, ManyTemplatesAndStatementsAllArrive) {
  std::string text;
  for (int id = 0; id < 400; ++id) {
    text += "TEMPLATE 0, 8, " + std::to_string(id) + ", \"T\"\n";
    if (id == 0) {
      for (int i = 0; i < 600; ++i) text += kProp + "// note\n\n";
    }
    text += "ENDTEMPLATE\n// between\n\n";
  }
  const Parsed p = parseText(text + "VALIDATION_KEYCODE 1\n");
  EXPECT_EQ(p.errors, "");
  ASSERT_EQ(p.collection->m_templates.size(), 400u);
  EXPECT_EQ(p.tmpl(0).m_properties.size(), 601u);
  EXPECT_EQ(p.collection->findTemplate(399), &p.tmpl(399));
}

TEST(Parse, DeepNestingStopsInsteadOfExhaustingTheStack) {
  std::string text = "TEMPLATE 0, 8, 25, \"T\"\n";
  for (int i = 0; i < 5000; ++i) text += "SELECTCASE \"s\", ID, 1\nCASE \"c\", 0\n";
  const Parsed p = parseText(text);
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.errors.rfind("ERROR: nesting too deep at 'SELECTCASE' in statement ", 0), 0u) << p.errors;
  EXPECT_TRUE(p.tmpl(0).m_properties.empty());
}

TEST(Parse, ScannerFailuresStopTheParseWithMinusFour) {
  const Parsed nul = parseText(inTemplate(kProp + std::string("\0", 1)));
  EXPECT_EQ(nul.result, ORLIN_SCANNER_FAILED);
  EXPECT_EQ(nul.errors, "no match in flex scanner - possible NULL in input\n");
  ASSERT_EQ(nul.collection->m_templates.size(), 1u);
  EXPECT_EQ(nul.tmpl(0).m_properties.size(), 1u);

  const Parsed longToken = parseText("// " + std::string(2000, 'x') + "\n");
  EXPECT_EQ(longToken.result, ORLIN_SCANNER_FAILED);
  EXPECT_EQ(longToken.errors, "flex input buffer overflowed\n");

  // The file is read as the tokens need it, so an endless stream stops at once.
  const Parsed endless = parseFile("/dev/zero");
  EXPECT_EQ(endless.result, ORLIN_SCANNER_FAILED);
  EXPECT_EQ(endless.errors, "no match in flex scanner - possible NULL in input\n");

  const Parsed unreadable = parseFile(std::filesystem::temp_directory_path().string());
  EXPECT_EQ(unreadable.result, ORLIN_SCANNER_FAILED);
  EXPECT_EQ(unreadable.errors, "read() in flex scanner failed\n");
}

// A select case keeps its access as it was, but its block's class is known; properties
// take theirs from their own keyword.
TEST(Parse, AccessClassesOfPropertiesAndSelectCases) {
  const Parsed p = parseText(inTemplate("SELECTCASE \"s\", USR, 1\nCASE \"c\", 0\n"
                                        "%CalDate, \"Date\", CAL, 16, DATE, , \nENDCASE\nENDSELECT\n"
                                        "%MeasID, \"Where\", USR, 11, UNINT, , \n" + kProp +
                                        "%Plain, \"Plain\", , 4, UNINT, , \n"));
  ASSERT_EQ(p.errors, "");
  const auto& props = p.tmpl(0).m_properties;
  ASSERT_EQ(props.size(), 5u);
  CTDLSelectCase& select = asSelectCase(props[0]);
  EXPECT_STREQ(select.getAccessClass(), "USR");
  EXPECT_EQ(select.getAccess(), ACCESS_FIXED);
  EXPECT_STREQ(select.m_cases[0]->m_properties[0]->getAccessClass(), "CAL");
  EXPECT_STREQ(props[1]->getAccessClass(), "USR");
  EXPECT_STREQ(props[2]->getAccessClass(), "ID");
  EXPECT_STREQ(props[3]->getAccessClass(), "");
  EXPECT_EQ(props[3]->getAccess(), ACCESS_FIXED);
  EXPECT_STREQ(props[4]->getAccessClass(), "USR");  // the user data that ends every template
}

// Copies share what they point to, and destroying a copy of a collection or of a case
// releases none of it.
TEST(Parse, CopiesOfCollectionsAndCasesAreSafeToDestroy) {
  const Parsed p =
      parseText(inTemplate("SELECTCASE \"s\", ID, 1\nCASE \"c\", 0\n" + kProp + "ENDCASE\nENDSELECT\n"));
  { CTDLTemplateCollection copy(*p.collection); }
  {
    CTDLCase copy(*asSelectCase(p.tmpl(0).m_properties[0]).m_cases[0]);
    EXPECT_EQ(copy.m_properties.size(), 1u);
  }
  EXPECT_EQ(getTDLCollection(), p.collection);
  EXPECT_NE(std::string(p.collection->m_fileName).find(".tdl"), std::string::npos);
  EXPECT_STREQ(asSelectCase(p.tmpl(0).m_properties[0]).m_cases[0]->getDescription(), "c");
}

// Collections the caller destroys are not released again when the library unloads.
TEST(Parse, CallerMayDestroyWhatAParseBuilt) {
  const Parsed p = parseText(inTemplate(kProp + "ENUMERATE E, a, b\n"));
  for (CTDLTemplate* t : p.collection->m_templates) delete t;
  delete p.collection;
  EXPECT_EQ(getTDLCollection(), nullptr);
}

}  // namespace
