// Template form text <-> field array.
#include <gtest/gtest.h>

#include <cstring>

#include "engine_test_support.h"
#include "probe_fixture.h"

using namespace enginetest;

namespace {

FieldArrayPtr parse(const std::string& form, bool withValues = true) {
  auto array = makeArray();
  EXPECT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(form.c_str(), array.get(), withValues ? 1 : 0),
            0);
  return array;
}

std::string write(TEDSTemplateFieldArrayStruct& array, int32_t size = 1 << 16) {
  std::vector<char> text(static_cast<std::size_t>(size));
  EXPECT_EQ(DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(&array, text.data(), size), 0);
  return text.data();
}

TEST(FormToArray, DecodedFormFillsTheArray) {
  const auto array = parse(kProbeForm);
  EXPECT_EQ(array->validMarker, TEDS_FIELD_ARRAY_VALID);
  EXPECT_STREQ(array->templateName, "Probe, test fixture");
  EXPECT_EQ(array->templateID, 5);
  EXPECT_EQ(array->reserved, 0u);
  EXPECT_STREQ(array->abstractText, "For the engine tests.\n");
  ASSERT_EQ(array->numItems, 11);
  EXPECT_STREQ(array->formLines[0], "Template Probe, test fixture");
  EXPECT_STREQ(array->templateLines[11], "EndTemplate");

  struct Expected {
    const char* label;
    int32_t datatype;
    const char* value;
    const char* units;
    int32_t width;
    double start, step, param3;
    int32_t access;
  };
  const Expected expected[] = {
      {"Manufacturer", 1, "18", "", 0, 0, 0, 0, 0},
      {"Model number", 2, "4507", "", 5, 0, 0, 0, 0},
      {"Version letter", 3, "B", "", 0, 0, 0, 0, 0},
      {"Version number", 2, "2", "", 2, 0, 0, 0, 0},
      {"Serial no.", 2, "1048601", "", 8, 0, 0, 0, 0},
      {"Day", 4, "12/31/2000", "", 0, 0, 0, 0, 1},
      {"Initial", 3, "A", "", 0, 0, 0, 0, 1},
      {"Step", 6, "1.5000000000", "V", 1, 0, 0.5, 0, 1},
      {"Gain", 5, "6.0000000000", "dB", 1, 1, 0.5, 2, 1},
      {"Axis", 7, "3", "", 0, 0, 0, 0, 1},
      {"Note", 8, "Hi", "", 0, 0, 0, 0, 1},
  };
  for (int i = 0; i < 11; ++i) {
    const TEDSTemplateFieldStruct& item = array->items[i];
    const Expected& e = expected[i];
    EXPECT_STREQ(item.label, e.label) << i;
    EXPECT_EQ(item.datatype, e.datatype) << e.label;
    EXPECT_STREQ(item.value, e.value) << e.label;
    EXPECT_STREQ(item.units, e.units) << e.label;
    EXPECT_EQ(item.width, e.width) << e.label;
    EXPECT_DOUBLE_EQ(item.start, e.start) << e.label;
    EXPECT_DOUBLE_EQ(item.step, e.step) << e.label;
    EXPECT_DOUBLE_EQ(item.param3, e.param3) << e.label;
    EXPECT_EQ(item.access, e.access) << e.label;
  }
}

TEST(FormToArray, BackToTextKeepsEveryLineAndJoinsValues) {
  auto array = parse(kProbeForm);
  std::strcpy(array->items[5].value, "1/2/2003");
  std::strcpy(array->items[10].value, "Bye");
  const auto lines = linesOf(write(*array));
  const auto original = linesOf(kProbeForm);
  ASSERT_EQ(lines.size(), original.size());
  EXPECT_EQ(lines[0], original[0]);
  EXPECT_EQ(lines[9], original[9]);
  EXPECT_EQ(lines[3], "\"Manufacturer\",\"RO\",\"14\",\"Manufacturer\", DATA, 18");
  EXPECT_EQ(lines[10], "\"Day\",\"RW\",\"16\",\"DATE\", DATA, 1/2/2003");
  EXPECT_EQ(lines[17], "\"Note\",\"RW\",\"8\",\"ASCII\", DATA, \"Bye\"");
  EXPECT_EQ(lines.back(), "EndTemplate");

  // The rewritten text encodes as the edited image.
  const std::string text = write(*array);
  const char* hex = nullptr;
  ASSERT_EQ(DORVIA_EncodeTemplateFormToRawTEDS(text.c_str(), &hex, 0), 0);
  ProbeValues edited;
  edited.day = 1827;  // 1/2/2003
  edited.note = "Bye";
  EXPECT_EQ(std::string(hex), probeImage(edited).hex().substr(0, 64));
}

TEST(FormToArray, SameLabelTwiceFillsLinesInOrder) {
  auto array = parse(
      "Template T\n\"X\",\"RW\",\"8\",\"UNINT\",DATA,1\n\"X\",\"RW\",\"8\",\"UNINT\",DATA,2\n"
      "EndTemplate");
  ASSERT_EQ(array->numItems, 2);
  std::strcpy(array->items[0].value, "10");
  std::strcpy(array->items[1].value, "20");
  const auto lines = linesOf(write(*array));
  EXPECT_EQ(lines[1], "\"X\",\"RW\",\"8\",\"UNINT\", DATA, 10");
  EXPECT_EQ(lines[2], "\"X\",\"RW\",\"8\",\"UNINT\", DATA, 20");
}

TEST(FormToArray, WithoutValuesTheOldValuesStay) {
  auto array = makeArray();
  std::strcpy(array->items[0].value, "old");
  ASSERT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(
                "Template T\n\"X\",\"RW\",\"8\",\"UNINT\",DATA,1\nEndTemplate", array.get(), 0),
            0);
  EXPECT_STREQ(array->items[0].value, "old");
  EXPECT_EQ(linesOf(write(*array))[1], "\"X\",\"RW\",\"8\",\"UNINT\", DATA, old");
}

TEST(FormToArray, TooSmallBufferGivesMinus21) {
  auto array = parse(kProbeForm);
  const std::string text = write(*array);
  std::vector<char> buffer(text.size());  // one byte short of the terminator
  EXPECT_EQ(DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), buffer.data(),
                                                               static_cast<int32_t>(buffer.size())),
            DORVIA_ERR_BUFFER_TOO_SMALL);
  buffer.push_back('\0');
  EXPECT_EQ(DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), buffer.data(),
                                                               static_cast<int32_t>(buffer.size())),
            0);
}

TEST(FormToArray, OversizedInputIsCutSafely) {
  std::string form = "Template " + std::string(400, 'N') + "\n";
  form += "abstract " + std::string(200, 'a') + "\n";
  form += "\"" + std::string(150, 'L') + "\",\"RW\",\"8\",\"UNINT\",DATA,1\n";
  form += "\"U\",\"RW\",\"8\",\"ConRes\",0,1,\"000\",\"" + std::string(40, 'u') + "\",DATA," +
          std::string(100, '9') + "\n";
  form += "EndTemplate";
  const auto array = parse(form);
  EXPECT_EQ(std::strlen(array->formLines[0]), 255u);
  EXPECT_EQ(std::strlen(array->templateName), 255u);
  EXPECT_EQ(std::string(array->abstractText), std::string(127, 'a') + "\n");
  ASSERT_EQ(array->numItems, 2);
  EXPECT_EQ(std::strlen(array->items[0].label), 127u);
  EXPECT_EQ(std::strlen(array->items[1].units), 15u);
  EXPECT_EQ(std::strlen(array->items[1].value), 63u);
}

TEST(FormToArray, AtMost256LinesAnd255Items) {
  std::string form;
  for (int i = 0; i < 300; ++i) form += "\"F" + std::to_string(i) + "\",\"RW\",\"8\",\"UNINT\",DATA,1\n";
  form += "EndTemplate";
  const auto array = parse(form);
  EXPECT_EQ(array->numItems, 255);
  EXPECT_STREQ(array->items[254].label, "F254");
  EXPECT_STREQ(array->formLines[255], "\"F255\",\"RW\",\"8\",\"UNINT\",DATA,1");
}

TEST(FormToArray, ItemsStopAtTheFirstLineThatIsNoField) {
  auto array = makeArray();
  std::strcpy(array->items[2].label, "Stale");
  array->numItems = 3;
  ASSERT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(
                "Template T\n\"A\",\"RW\",\"8\",\"UNINT\",DATA,1\n\"B\",\"RW\",\"8\",\"Blob\"\n"
                "\"C\",\"RW\",\"8\",\"UNINT\",DATA,3\nEndTemplate",
                array.get(), 1),
            0);
  EXPECT_EQ(array->validMarker, TEDS_FIELD_ARRAY_VALID);
  EXPECT_EQ(array->numItems, 1);
  EXPECT_EQ(DORVIA_GetIndexFromTemplateFieldArray(array.get(), "Stale"), -1);
  EXPECT_EQ(DORVIA_GetIndexFromTemplateFieldArray(array.get(), "C"), -1);
}

TEST(FormToArray, TextWithoutEndTemplateOrWithCrLf) {
  const auto cut = parse("Template T\r\n\"A\",\"RW\",\"8\",\"UNINT\",DATA,1\r\n");
  EXPECT_EQ(cut->numItems, 1);
  EXPECT_STREQ(cut->items[0].value, "1");
  EXPECT_STREQ(cut->templateLines[1], "");
  const auto empty = parse("");
  EXPECT_EQ(empty->numItems, 0);
  EXPECT_EQ(empty->validMarker, TEDS_FIELD_ARRAY_VALID);
  auto array = makeArray();
  EXPECT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(nullptr, array.get(), 1),
            DORVIA_ERR_MISSING_ARGUMENT);
  EXPECT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray("", nullptr, 1), DORVIA_ERR_MISSING_ARGUMENT);
}

TEST(ArrayFromTemplate, ShippedTemplateIsLaidOutWithoutValues) {
  auto array = makeArray();
  ASSERT_EQ(DORVIA_SetTEDSFieldArrayStructToTemplate(sourcePath("data/TemplateDescription.txt").c_str(), 12,
                                                     0, 0, array.get()),
            0);
  EXPECT_EQ(array->validMarker, TEDS_FIELD_ARRAY_VALID);
  EXPECT_EQ(array->templateID, 12);
  EXPECT_STREQ(array->templateName, "Microphone, prepolarized free-field with preamplifier");
  EXPECT_STREQ(array->items[0].label, "Manufacturer");
  EXPECT_STREQ(array->items[5].label, "Sensitivity @ Fref");
  EXPECT_STREQ(array->items[5].units, "V/Pa");
  EXPECT_STREQ(array->items[5].value, "") << "values are not taken";
}

TEST(ArrayFromTemplate, V10TemplatesAreNotLaidOutByTheDescriptionEngine) {
  auto array = makeArray();
  for (const auto& [id, kind] : {std::pair{25, 0}, std::pair{5, 4}}) {
    EXPECT_EQ(DORVIA_SetTEDSFieldArrayStructToTemplate(sourcePath("data/TemplateDescription.txt").c_str(), id,
                                                       kind, 0, array.get()),
              -1);
    EXPECT_EQ(array->templateID, id);
    EXPECT_NE(array->validMarker, TEDS_FIELD_ARRAY_VALID);
  }
}

}  // namespace
