// libtedskit through its C interface: opening what a user has, typed fields, and values
// checked alike in both engines.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tedskit/tedskit.h"

namespace {

const char* const kTemplates = TEDSKIT_SOURCE_DIR "/data";

std::string fileText(const std::string& name) {
  std::ifstream in(std::string(TEDSKIT_SOURCE_DIR) + "/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A template-25 TEDS laid out by the TDL engine with its default cases.
const std::string kTemplate25 =
    "memory: B5000000000000000064000018000000000000C00100000E00000000000000000000000000000000\n"
    "register: 0000000000000000\n";

struct Opened {
  tedskit_teds* teds = nullptr;
  explicit Opened(const std::string& input, tedskit_input kind = TEDSKIT_INPUT_AUTO) {
    EXPECT_EQ(tedskit_teds_open(kTemplates, input.data(), input.size(), kind, 0, &teds), TEDSKIT_OK)
        << tedskit_last_error();
  }
  ~Opened() { tedskit_teds_free(teds); }
  Opened(const Opened&) = delete;
  Opened& operator=(const Opened&) = delete;

  std::string display(const char* label) const {
    int32_t index = -1;
    EXPECT_EQ(tedskit_teds_field_index(teds, label, &index), TEDSKIT_OK) << label;
    const char* text = "";
    tedskit_field_display(teds, index, &text);
    return text;
  }
};

TEST(TedsApi, OpensTheExampleAndTypesItsFields) {
  Opened opened(fileText("examples/accelerometer.hex"));
  int32_t kind = -1, id = -1;
  const char* name = nullptr;
  tedskit_engine engine{};
  ASSERT_EQ(tedskit_teds_template(opened.teds, &kind, &id, &name, &engine), TEDSKIT_OK);
  EXPECT_EQ(id, 0);
  EXPECT_EQ(kind, 0);
  EXPECT_STREQ(name, "Accelerometer, IEPE voltage output");
  EXPECT_EQ(engine, TEDSKIT_ENGINE_DESCRIPTION);

  int32_t index = -1;
  ASSERT_EQ(tedskit_teds_field_index(opened.teds, "Sensitivity @ Fref", &index), TEDSKIT_OK);
  tedskit_value_kind valueKind{};
  int32_t bits = 0;
  double value = 0, low = 0, high = 0, step = 0;
  tedskit_field_kind(opened.teds, index, &valueKind);
  tedskit_field_bit_width(opened.teds, index, &bits);
  tedskit_field_real(opened.teds, index, &value);
  tedskit_field_range(opened.teds, index, &low, &high, &step);
  EXPECT_EQ(valueKind, TEDSKIT_VALUE_REAL);
  EXPECT_EQ(bits, 16);
  EXPECT_NEAR(value, 0.0102012381, 1e-9);
  EXPECT_DOUBLE_EQ(low, 5e-7);
  EXPECT_NEAR(high, 172.24, 0.01);
  // Rounded as the template's format says, not with the engine's float noise.
  EXPECT_EQ(opened.display("Sensitivity @ Fref"), "0.0102012");
  EXPECT_EQ(opened.display("Sensitivity direction (x,y,z)"), "z");
  EXPECT_EQ(opened.display("Calibration date"), "3/14/2025");
  const char* iso = nullptr;
  ASSERT_EQ(tedskit_teds_field_index(opened.teds, "Calibration date", &index), TEDSKIT_OK);
  ASSERT_EQ(tedskit_field_text(opened.teds, index, &iso), TEDSKIT_OK);
  EXPECT_STREQ(iso, "2025-03-14");
}

TEST(TedsApi, AWrongGuessOfTheInputSaysWhatWasExpected) {
  tedskit_teds* teds = nullptr;
  const std::string text = "not a teds";
  EXPECT_EQ(tedskit_teds_open(kTemplates, text.data(), text.size(), TEDSKIT_INPUT_AUTO, 0, &teds),
            TEDSKIT_ERR_INPUT);
  EXPECT_NE(std::string(tedskit_last_error()).find("line 1 is not hexadecimal"), std::string::npos);
  const std::string odd = "ABC";
  EXPECT_EQ(tedskit_teds_open(kTemplates, odd.data(), odd.size(), TEDSKIT_INPUT_HEX, 0, &teds),
            TEDSKIT_ERR_INPUT);
  const std::string chip(40, '\0');
  EXPECT_EQ(tedskit_teds_open(kTemplates, chip.data(), chip.size(), TEDSKIT_INPUT_CHIP, 0, &teds),
            TEDSKIT_ERR_INPUT);
  EXPECT_NE(std::string(tedskit_last_error()).find("whole 32-byte pages"), std::string::npos);
  EXPECT_EQ(teds, nullptr);
  EXPECT_EQ(tedskit_teds_open(nullptr, text.data(), text.size(), TEDSKIT_INPUT_AUTO, 0, &teds),
            TEDSKIT_ERR_ARGUMENT);
}

struct Refusal {
  const char* label;
  const char* value;
  const char* message;  // a part of the message
};

void expectRefusals(const std::string& input, const std::vector<Refusal>& cases) {
  Opened opened(input);
  char* before = nullptr;
  ASSERT_EQ(tedskit_teds_text(opened.teds, &before), TEDSKIT_OK);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.label) + "=" + c.value);
    EXPECT_EQ(tedskit_teds_set(opened.teds, c.label, c.value, nullptr), TEDSKIT_ERR_VALUE);
    EXPECT_NE(std::string(tedskit_last_error()).find(c.message), std::string::npos) << tedskit_last_error();
  }
  char* after = nullptr;
  ASSERT_EQ(tedskit_teds_text(opened.teds, &after), TEDSKIT_OK);
  EXPECT_STREQ(before, after);  // nothing refused reached the image
  tedskit_string_free(before);
  tedskit_string_free(after);
}

TEST(TedsApi, RefusesWhatAFieldCannotHoldInTheDescriptionEngine) {
  expectRefusals(
      fileText("examples/accelerometer.hex"),
      {{"Sensitivity @ Fref", "173", "\"Sensitivity @ Fref\" takes 5e-07 to 172.24 V/(m/s^2), not 173"},
       {"Sensitivity @ Fref", "abc", "takes a number from"},
       {"Sensitivity @ Fref", "NaN", "not \"NaN\""},
       {"Sensitivity @ Fref", "inf", "not \"inf\""},
       {"Sensitivity @ Fref", "", "not \"\""},
       {"Meas. position ID", "2048", "takes 0 to 2047, not 2048"},
       {"Meas. position ID", "-5", "whole number from 0 to 2047"},
       {"Calibration date", "2/30/2020", "no such day"},
       {"Calibration date", "13/1/2020", "no such day"},
       {"Calibration date", "garbage", "as m/d/y or yyyy-mm-dd"},
       {"Calibration date", "1/1/2200", "not \"1/1/2200\""},
       {"Calibration date", "12/31/1997", "from 1/1/1998"},
       {"Calibration initial", "KM", "at most 1 character"},
       {"Calibration initial", "#", "only the letters"},
       {"Sensitivity direction (x,y,z)", "w", "takes one of x, y, z"},
       {"User data (ascii)", "a\"b", "double quote"}});
}

TEST(TedsApi, RefusesAlikeInTheTdlEngine) {
  expectRefusals(kTemplate25, {{"Meas. position ID", "2048", "takes 0 to 2047, not 2048"},
                               {"Meas. position ID", "abc", "whole number"},
                               {"Calibration date", "2/30/2020", "no such day"},
                               {"Cal Initials", "ABCD", "no room for 4 characters"},
                               {"Sensitivity direction (x,y,z)", "w", "takes one of"}});
}

// The text of a new TEDS of a template.
std::string newTedsText(int32_t templateId) {
  tedskit_teds* teds = nullptr;
  EXPECT_EQ(tedskit_teds_new(kTemplates, 0, templateId, 0, 0, &teds), TEDSKIT_OK) << tedskit_last_error();
  char* text = nullptr;
  EXPECT_EQ(tedskit_teds_text(teds, &text), TEDSKIT_OK);
  std::string copy = text;
  tedskit_string_free(text);
  tedskit_teds_free(teds);
  return copy;
}

// A set that the image would not keep is refused, not reported as done: user text past
// what the encoder writes, a case that a select case does not have.
TEST(TedsApi, ValuesTheImageDoesNotKeepAreRefused) {
  expectRefusals(newTedsText(33), {{"User data (ascii)", std::string(40, 'x').c_str(),
                                    "\"User data (ascii)\" has no room for 40 characters: it keeps"}});
  expectRefusals(newTedsText(25),
                 {{"Transducer type", "Torque", "\"Transducer type\" takes one of Acceleration, Force"},
                  {"Transducer type", "2", "not \"2\""}});
}

// The case in force of the select case with this description, or -1.
int32_t caseOf(const Opened& opened, const std::string& description) {
  int32_t count = 0;
  EXPECT_EQ(tedskit_teds_select_case_count(opened.teds, &count), TEDSKIT_OK);
  for (int32_t i = 0; i < count; ++i) {
    const char* text = nullptr;
    const char* caseText = nullptr;
    int32_t value = -1, field = -1;
    EXPECT_EQ(tedskit_teds_select_case(opened.teds, i, &text, &value, &caseText, &field), TEDSKIT_OK);
    if (description == text) return value;
  }
  return -1;
}

bool hasField(const Opened& opened, const char* label) {
  int32_t index = -1;
  return tedskit_teds_field_index(opened.teds, label, &index) == TEDSKIT_OK;
}

// Enumerations and select cases, by text or by number, whether a field chooses the case
// or the template lays it out from its stored selector: each changes the image and reads
// back as set.
TEST(TedsApi, SelectCaseSetsChangeTheImage) {
  const struct {
    int32_t templateId;
    const char* label;
    const char* value;
    const char* shown;     // the field's display afterwards, or the case text
    const char* appears;   // a field that the new case lays out, or ""
  } cases[] = {
      {33, "Bridge type", "Full", "Full", ""},
      {33, "Bridge type", "1", "Half", ""},
      {27, "Polarization voltage", "200 V", "200 V", ""},
      {33, "Physical measurand", "N", "N", ""},
      {30, "Physical measurand", "1", "degC", ""},
      {33, "Electrical signal precision", "Full precision", "Full precision", ""},
      {25, "Transducer type", "Force", "Force", "Stiffness"},
      {25, "Extended functionality", "1", "Extended", "Sensitivity @ Fref (high)"},
      {27, "Transfer function", "present", "Present", "Response type"},
      {39, "Electrical signal precision", "20 bit", "20 bit", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.templateId) + " " + c.label + "=" + c.value);
    const std::string fresh = newTedsText(c.templateId);
    Opened opened(fresh);
    ASSERT_EQ(tedskit_teds_set(opened.teds, c.label, c.value, nullptr), TEDSKIT_OK) << tedskit_last_error();
    char* text = nullptr;
    ASSERT_EQ(tedskit_teds_text(opened.teds, &text), TEDSKIT_OK);
    const std::string edited = text;
    tedskit_string_free(text);
    EXPECT_NE(edited, fresh);
    Opened again(edited);
    if (hasField(again, c.label)) {
      EXPECT_EQ(again.display(c.label), c.shown);
    } else {
      int32_t count = 0;
      ASSERT_EQ(tedskit_teds_select_case_count(again.teds, &count), TEDSKIT_OK);
      bool found = false;
      for (int32_t i = 0; i < count; ++i) {
        const char* description = nullptr;
        const char* caseText = nullptr;
        int32_t value = -1, field = 0;
        ASSERT_EQ(tedskit_teds_select_case(again.teds, i, &description, &value, &caseText, &field), TEDSKIT_OK);
        if (std::string(description) != c.label) continue;
        EXPECT_STREQ(caseText, c.shown);
        EXPECT_EQ(field, -1);
        found = true;
        break;
      }
      EXPECT_TRUE(found);
    }
    if (*c.appears != '\0') {
      EXPECT_TRUE(hasField(again, c.appears));
    }
  }
}

// A new case lays out its own fields; every field that stays keeps its value, so going
// back gives the image the first case had.
TEST(TedsApi, ChangingALaidOutCaseKeepsTheFieldsThatStay) {
  Opened opened(kTemplate25);
  ASSERT_EQ(tedskit_teds_set(opened.teds, "Cal Period", "365", nullptr), TEDSKIT_OK);
  ASSERT_EQ(tedskit_teds_set(opened.teds, "Sensitivity direction (x,y,z)", "z", nullptr), TEDSKIT_OK);
  ASSERT_EQ(tedskit_teds_set(opened.teds, "Transfer function", "Present", nullptr), TEDSKIT_OK);
  ASSERT_EQ(tedskit_teds_set(opened.teds, "F mounted resonance", "2000", nullptr), TEDSKIT_OK);
  const std::string resonance = opened.display("F mounted resonance");  // as the bits keep it
  char* before = nullptr;
  ASSERT_EQ(tedskit_teds_text(opened.teds, &before), TEDSKIT_OK);

  const char* note = nullptr;
  ASSERT_EQ(tedskit_teds_set(opened.teds, "Transducer type", "Force", &note), TEDSKIT_OK);
  EXPECT_NE(std::string(note).find("identifies the sensor"), std::string::npos) << note;
  EXPECT_EQ(caseOf(opened, "Transducer type"), 1);
  EXPECT_EQ(caseOf(opened, "Transfer function"), 1);  // a case met again keeps its choice
  EXPECT_TRUE(hasField(opened, "Stiffness"));
  EXPECT_EQ(opened.display("Cal Period"), "365");
  EXPECT_EQ(opened.display("Sensitivity direction (x,y,z)"), "z");
  EXPECT_EQ(opened.display("F mounted resonance"), resonance);

  ASSERT_EQ(tedskit_teds_set(opened.teds, "Transducer type", "0", nullptr), TEDSKIT_OK);
  EXPECT_FALSE(hasField(opened, "Stiffness"));
  char* after = nullptr;
  ASSERT_EQ(tedskit_teds_text(opened.teds, &after), TEDSKIT_OK);
  EXPECT_STREQ(before, after);
  tedskit_string_free(before);
  tedskit_string_free(after);
}

TEST(TedsApi, AcceptedValuesAreStoredAndQuantisedOnesNoted) {
  for (const std::string& input : {fileText("examples/accelerometer.hex"), kTemplate25}) {
    Opened opened(input);
    const char* note = nullptr;
    ASSERT_EQ(tedskit_teds_set(opened.teds, "Calibration date", "2020-03-01", &note), TEDSKIT_OK)
        << tedskit_last_error();
    EXPECT_EQ(opened.display("Calibration date"), "3/1/2020");
    ASSERT_EQ(tedskit_teds_set(opened.teds, "Meas. position ID", "2047", &note), TEDSKIT_OK);
    EXPECT_EQ(opened.display("Meas. position ID"), "2047");
    EXPECT_STREQ(note, "");
    ASSERT_EQ(tedskit_teds_set(opened.teds, "Fref", "100", &note), TEDSKIT_OK) << tedskit_last_error();
    EXPECT_NE(std::string(note).find("\"Fref\" is stored as "), std::string::npos) << note;
    ASSERT_EQ(tedskit_teds_set(opened.teds, "Sensitivity direction (x,y,z)", "Y", &note), TEDSKIT_OK);
    EXPECT_EQ(opened.display("Sensitivity direction (x,y,z)"), "y");
    ASSERT_EQ(tedskit_teds_set(opened.teds, "Serial no.", "42", &note), TEDSKIT_OK);
    EXPECT_NE(std::string(note).find("identifies the sensor"), std::string::npos);
    EXPECT_EQ(opened.display("Serial no."), "42");
  }
}

// A template-26 TEDS laid out by the TDL engine: it has ID-class properties.
const std::string kTemplate26 =
    "memory: B10000000000000000680000000018000000000000C00100000E0000000000000000000000000000\n"
    "register: 0000000000000000\n";

std::string accessOf(const Opened& opened, const char* label) {
  int32_t index = -1;
  EXPECT_EQ(tedskit_teds_field_index(opened.teds, label, &index), TEDSKIT_OK) << label;
  const char* access = "";
  EXPECT_EQ(tedskit_field_access(opened.teds, index, &access), TEDSKIT_OK);
  return access;
}

// A TDL template keeps ID and CAL apart; a description file gives RO or RW.
TEST(TedsApi, AccessIsAsTheTemplateGivesIt) {
  const struct {
    const std::string* input;
    const char* label;
    const char* access;
  } cases[] = {{&kTemplate26, "Serial no.", "ID"},
               {&kTemplate26, "Sensitivity direction (x,y,z)", "ID"},
               {&kTemplate26, "Sensitivity @ Fref", "CAL"},
               {&kTemplate26, "Calibration date", "CAL"},
               {&kTemplate26, "Meas. position ID", "USR"},
               {&kTemplate26, "User data (ascii)", "USR"},
               {&kTemplate25, "Sensitivity direction (x,y,z)", "CAL"}};
  for (const auto& c : cases) {
    Opened opened(*c.input);
    EXPECT_EQ(accessOf(opened, c.label), c.access) << c.label;
  }
  Opened described(fileText("examples/accelerometer.hex"));
  EXPECT_EQ(accessOf(described, "Calibration date"), "RW");
}

// Changing an ID-class property is allowed and noted; a calibration field is not noted.
TEST(TedsApi, ChangingAnIdentificationPropertyIsNoted) {
  Opened opened(kTemplate26);
  const char* note = nullptr;
  ASSERT_EQ(tedskit_teds_set(opened.teds, "Sensitivity direction (x,y,z)", "y", &note), TEDSKIT_OK)
      << tedskit_last_error();
  EXPECT_NE(std::string(note).find("\"Sensitivity direction (x,y,z)\" identifies the sensor"), std::string::npos)
      << note;
  EXPECT_EQ(opened.display("Sensitivity direction (x,y,z)"), "y");
  ASSERT_EQ(tedskit_teds_set(opened.teds, "Calibration date", "2024-05-06", &note), TEDSKIT_OK);
  EXPECT_STREQ(note, "");
  // Still known after the set has laid the TEDS out anew.
  EXPECT_EQ(accessOf(opened, "Sensitivity direction (x,y,z)"), "ID");
}

TEST(TedsApi, UnknownLabelsAndIndexesAreErrors) {
  Opened opened(fileText("examples/accelerometer.hex"));
  EXPECT_EQ(tedskit_teds_set(opened.teds, "Colour", "red", nullptr), TEDSKIT_ERR_LABEL);
  EXPECT_NE(std::string(tedskit_last_error()).find("\"Sensitivity @ Fref\""), std::string::npos);
  const char* label = nullptr;
  EXPECT_EQ(tedskit_field_label(opened.teds, 99, &label), TEDSKIT_ERR_ARGUMENT);
  double real = 0;
  EXPECT_EQ(tedskit_field_real(opened.teds, 0, &real), TEDSKIT_ERR_ARGUMENT);
}

}  // namespace

namespace {

TEST(TedsApi, ChecksATedsAndItsCalibrationState) {
  Opened opened(fileText("examples/accelerometer.hex"));
  tedskit_check* check = nullptr;
  ASSERT_EQ(tedskit_teds_check(opened.teds, "2026-03-01", &check), TEDSKIT_OK) << tedskit_last_error();
  int32_t count = -1;
  ASSERT_EQ(tedskit_check_count(check, &count), TEDSKIT_OK);
  EXPECT_EQ(count, 0);
  int32_t known = 0, period = 0, daysLeft = 0;
  const char* last = nullptr;
  const char* due = nullptr;
  ASSERT_EQ(tedskit_check_calibration(check, &known, &last, &period, &due, &daysLeft), TEDSKIT_OK);
  EXPECT_EQ(known, 1);
  EXPECT_STREQ(last, "2025-03-14");
  EXPECT_EQ(period, 365);
  EXPECT_STREQ(due, "2026-03-14");
  EXPECT_EQ(daysLeft, 13);
  EXPECT_EQ(tedskit_check_finding(check, 0, nullptr, nullptr, nullptr, nullptr), TEDSKIT_ERR_ARGUMENT);
  tedskit_check_free(check);

  ASSERT_EQ(tedskit_teds_set(opened.teds, "Manufacturer", "3", nullptr), TEDSKIT_OK);
  ASSERT_EQ(tedskit_teds_check(opened.teds, nullptr, &check), TEDSKIT_OK);
  ASSERT_EQ(tedskit_check_count(check, &count), TEDSKIT_OK);
  ASSERT_EQ(count, 1);
  tedskit_severity severity{};
  const char* code = nullptr;
  const char* field = nullptr;
  const char* message = nullptr;
  ASSERT_EQ(tedskit_check_finding(check, 0, &severity, &code, &field, &message), TEDSKIT_OK);
  EXPECT_EQ(severity, TEDSKIT_SEVERITY_ERROR);
  EXPECT_STREQ(code, "manufacturer");
  EXPECT_STREQ(field, "Manufacturer");
  tedskit_check_free(check);

  EXPECT_EQ(tedskit_teds_check(opened.teds, "2/30/2026", &check), TEDSKIT_ERR_VALUE);
  EXPECT_NE(std::string(tedskit_last_error()).find("no such day"), std::string::npos);
}

}  // namespace
