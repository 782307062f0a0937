// teds decode, new and edit on the example images.
#include <gtest/gtest.h>

#include <map>

#include "json_check.h"
#include "run_tool.h"

namespace teds_test {
namespace {

struct ExampleCase {
  const char* file;
  int templateId;
  const char* kind;
  const char* serial;
};

class DecodeExample : public ::testing::TestWithParam<ExampleCase> {};

TEST_P(DecodeExample, JsonNamesTemplateAndFields) {
  const auto& c = GetParam();
  const Result r = runTeds({"decode", "--json", example(c.file)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const Json decoded = parseJson(r.out);
  EXPECT_EQ(decoded["template"]["id"].number, c.templateId);
  EXPECT_EQ(decoded["template"]["kind"].text, c.kind);
  EXPECT_EQ(decoded["template"]["engine"].text, "description");
  EXPECT_TRUE(decoded["checksum_ok"].boolean);
  EXPECT_EQ(fieldValue(decoded, "Serial no."), c.serial);
  EXPECT_EQ(decoded["fields"][0]["label"].text, "Manufacturer");
}

// Editing nothing gives back the very same image.
TEST_P(DecodeExample, EditWithoutChangesKeepsTheImage) {
  const auto& c = GetParam();
  const Result original = runTeds({"decode", "--json", example(c.file)});
  const Result edited = runTeds({"edit", "--json", example(c.file)});
  ASSERT_EQ(edited.status, 0) << edited.err;
  // edit --json prints the whole document, the same as decode --json.
  const Json before = parseJson(original.out), after = parseJson(edited.out);
  EXPECT_EQ(after["schema_version"].number, 1);
  EXPECT_EQ(after["image"]["memory"].text, before["image"]["memory"].text);
  EXPECT_EQ(after["image"]["register"].text, before["image"]["register"].text);
  EXPECT_EQ(after["template"]["id"].number, c.templateId);
  EXPECT_EQ(fieldValue(after, "Serial no."), c.serial);
  EXPECT_EQ(after["fields"].items.size(), before["fields"].items.size());
}

// The table shows each field by the one display rule: the JSON's display text and units.
void expectTableShowsTheDisplayOfEveryField(const std::vector<std::string>& args, const std::string& input = "") {
  std::vector<std::string> json = args;
  json.insert(json.begin() + 1, "--json");
  const Json decoded = parseJson(runTeds(json, input).out);
  const Result table = runTeds(args, input);
  ASSERT_EQ(table.status, 0) << table.err;
  ASSERT_FALSE(decoded["fields"].items.empty());
  for (const auto& field : decoded["fields"].items) {
    const std::string& label = field["label"].text;
    const auto line = table.out.find("\n" + label + "  ");
    ASSERT_NE(line, std::string::npos) << label << "\n" << table.out;
    const auto end = table.out.find('\n', line + 1);
    std::string cells = table.out.substr(line + 1 + label.size(), end - line - 1 - label.size());
    cells.erase(0, cells.find_first_not_of(' '));
    EXPECT_EQ(cells.rfind(field["display"].text, 0), 0u) << label << ": " << cells;
    EXPECT_NE(cells.find(field["units"].text), std::string::npos) << label << ": " << cells;
  }
}

TEST_P(DecodeExample, TableShowsEachFieldByTheOneDisplayRule) {
  expectTableShowsTheDisplayOfEveryField({"decode", example(GetParam().file)});
}

INSTANTIATE_TEST_SUITE_P(Examples, DecodeExample,
                         ::testing::Values(ExampleCase{"accelerometer.hex", 0, "standard", "1048601"},
                                           ExampleCase{"microphone.hex", 12, "standard", "2731904"},
                                           ExampleCase{"loadcell.hex", 24, "standard", "77812"},
                                           ExampleCase{"triaxial.hex", 3, "manufacturer", "60233"}));

TEST(Decode, TableShowsLabelsValuesUnitsAndTheDegreeSignInUtf8) {
  const Result r = runTeds({"decode", example("accelerometer.hex")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Template 0: Accelerometer, IEPE voltage output"), std::string::npos);
  EXPECT_NE(r.out.find("Phase invertion (0: 0\xC2\xB0, 1: 180\xC2\xB0)"), std::string::npos);
  EXPECT_NE(r.out.find("V/(m/s^2)"), std::string::npos);
  EXPECT_NE(r.out.find("BRKT-7"), std::string::npos);
  EXPECT_EQ(r.out.find('\033'), std::string::npos) << "colour on a pipe";
}

TEST(Decode, SameImageFromHexArgumentsFileAndStandardInput) {
  const std::string file = slurp(example("accelerometer.hex"));
  const Result fromFile = runTeds({"decode", "--json", example("accelerometer.hex")});
  const Result fromStdin = runTeds({"decode", "--json", "-"}, file);
  const Result fromArgs = runTeds(
      {"decode", "--json", "2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000",
       "12C0664408190010"});
  ASSERT_EQ(fromFile.status, 0);
  EXPECT_EQ(fromStdin.out, fromFile.out);
  EXPECT_EQ(fromArgs.out, fromFile.out);
}

TEST(Decode, FormPrintsTheTemplateFormText) {
  const Result r = runTeds({"decode", "--form", example("accelerometer.hex")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Template Accelerometer, IEPE voltage output\n", 0), 0u);
  EXPECT_NE(r.out.find("\"Serial no.\",\"RO\",\"24\",\"UNINT\""), std::string::npos);
}

TEST(Decode, V10ImageChoosesTheTdlEngine) {
  Scratch scratch;
  const Result hex = runTeds({"read", "--hex", "--bus", scratch.bus().string()});
  ASSERT_EQ(hex.status, 0) << hex.err;
  const Result r = runTeds({"decode", "--json", "-"}, hex.out);
  ASSERT_EQ(r.status, 0) << r.err;
  const Json decoded = parseJson(r.out);
  EXPECT_EQ(decoded["template"]["engine"].text, "tdl");
  EXPECT_EQ(decoded["template"]["id"].number, 25);
  EXPECT_EQ(fieldValue(decoded, "Serial no."), "101010");
  // That engine makes no form text; say so rather than print an empty one.
  const Result form = runTeds({"decode", "--form", "-"}, hex.out);
  EXPECT_EQ(form.status, 1);
  EXPECT_NE(form.err.find("has no template form text"), std::string::npos) << form.err;
  expectTableShowsTheDisplayOfEveryField({"decode", "-"}, hex.out);
}

// The TDL file's classes, alike in the table and in the JSON.
TEST(Decode, TdlFieldsShowTheirTemplatesAccessClass) {
  const Result fresh = runTeds({"new", "26"});
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  const Json decoded = parseJson(runTeds({"decode", "--json", "-"}, fresh.out).out);
  std::map<std::string, std::string> access;
  for (const auto& field : decoded["fields"].items) access[field["label"].text] = field["access"].text;
  EXPECT_EQ(access["Serial no."], "ID");
  EXPECT_EQ(access["Weight"], "ID");
  EXPECT_EQ(access["Calibration date"], "CAL");
  EXPECT_EQ(access["Meas. position ID"], "USR");
  const Result table = runTeds({"decode", "-"}, fresh.out);
  ASSERT_EQ(table.status, 0) << table.err;
  for (const auto& [label, cls] : access) {
    const auto row = table.out.find("\n" + label + " ");
    ASSERT_NE(row, std::string::npos) << label;
    const auto end = table.out.find('\n', row + 1);
    EXPECT_TRUE(table.out.substr(row, end - row).ends_with("  " + cls)) << table.out.substr(row, end - row);
  }
}

// Choices a user makes with --set on a new TEDS reach the image, and the decoded table
// lists each select case with the case in force.
TEST(Decode, NewTedsTakesItsChoicesAndListsItsSelectCases) {
  const struct {
    const char* templateId;
    const char* setting;
    const char* row;  // a line the decoded table then shows
  } cases[] = {
      {"33", "Bridge type=Full", "\nBridge type "},
      {"27", "Polarization voltage=200 V", "\nPolarization voltage "},
      {"25", "Transducer type=Force", "\nTransducer type         Force  (case 1 of 2)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    const Result plain = runTeds({"new", c.templateId});
    const Result chosen = runTeds({"new", c.templateId, "--set", c.setting});
    ASSERT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_NE(chosen.out, plain.out);
    const Result table = runTeds({"decode", "-"}, chosen.out);
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_NE(table.out.find(c.row), std::string::npos) << table.out;
  }
  const Result force = runTeds({"decode", "-"}, runTeds({"new", "25", "--set", "Transducer type=Force"}).out);
  EXPECT_NE(force.out.find("\nStiffness "), std::string::npos) << force.out;
  EXPECT_NE(force.out.find("\nSelect cases\n"), std::string::npos);
}

// A calibration table chained after a transducer template: added and filled by new, shown
// under its own heading, edited, written to a chip and read back, and taken out again.
TEST(Decode, ChainedCalibrationTemplatesAreShownEditedWrittenAndRemoved) {
  const Result made = runTeds({"new", "33", "--add-template", "40", "--set", "Calibration table=2", "--set",
                               "Calibration table[2].Domain value=60", "--add-template", "41"});
  ASSERT_EQ(made.status, 0) << made.err;
  const Result table = runTeds({"decode", "-"}, made.out);
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find("\nTemplate 40: Calibration Table (provisional)  (chained template 1)\n"), std::string::npos)
      << table.out;
  EXPECT_NE(table.out.find("\nTemplate 41: Calibration Curve (provisional)  (chained template 2)\n"),
            std::string::npos);
  EXPECT_NE(table.out.find("\nCalibration table[2].Domain value "), std::string::npos);
  EXPECT_NE(table.err.find("template 40 (Calibration Table): layout partly provisional"), std::string::npos);

  const Json decoded = parseJson(runTeds({"decode", "--json", "-"}, made.out).out);
  ASSERT_EQ(decoded["templates"].items.size(), 3u);
  EXPECT_EQ(decoded["templates"][1]["id"].number, 40);
  EXPECT_EQ(fieldValue(decoded, "Calibration table[2].Domain value"), "60");

  // Editing nothing keeps every chained bit; an edit keeps the rest.
  EXPECT_EQ(runTeds({"edit", "-"}, made.out).out, made.out);
  const Result edited = runTeds({"edit", "-", "--remove-template", "41", "--set", "Calibration domain=Physical"}, made.out);
  ASSERT_EQ(edited.status, 0) << edited.err;
  Scratch scratch;
  const Result written = runTeds({"write", "--yes", "--bus", scratch.bus().string(), "-"}, edited.out);
  ASSERT_EQ(written.status, 0) << written.err;
  const Json read = parseJson(runTeds({"read", "--json", "--bus", scratch.bus().string()}).out);
  ASSERT_EQ(read["templates"].items.size(), 2u);
  EXPECT_EQ(fieldValue(read, "Calibration domain"), "Physical");
  EXPECT_EQ(fieldValue(read, "Calibration table[2].Domain value"), "60");

  const Result removed = runTeds({"edit", "-", "--remove-template", "40"}, edited.out);
  EXPECT_EQ(removed.out, runTeds({"new", "33"}).out);
  const Result missing = runTeds({"edit", "-", "--remove-template", "42"}, edited.out);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no template 42 is chained in the TEDS"), std::string::npos) << missing.err;
}

TEST(Decode, WholeChipDumpWithPageChecksumsAsTextAndAsBinary) {
  Scratch scratch;
  const Result raw = runTeds({"read", "--raw", "--bus", scratch.bus().string()});
  ASSERT_EQ(raw.status, 0) << raw.err;
  const Result fromText = runTeds({"decode", "--json", "-"}, raw.out);
  ASSERT_EQ(fromText.status, 0) << fromText.err;
  EXPECT_EQ(parseJson(fromText.out)["source"].text, "chip layout A");

  std::string binary;
  for (std::size_t pos = 0; (pos = raw.out.find("chip: ", pos)) != std::string::npos; pos += 6) {
    const std::string hex = raw.out.substr(pos + 6, 64);
    for (std::size_t i = 0; i < hex.size(); i += 2)
      binary += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  ASSERT_EQ(binary.size(), 128u);
  // A changed byte in page 1 fails that page's checksum; the data are shown all the same.
  std::string damaged = binary;
  damaged[40] = 0x55;
  const Result fromDamaged = runTeds({"decode", "--json", scratch.write("damaged.bin", damaged).string()});
  ASSERT_EQ(fromDamaged.status, 0) << fromDamaged.err;
  EXPECT_FALSE(parseJson(fromDamaged.out)["checksum_ok"].boolean);
  const Result fromBinary = runTeds({"decode", "--json", scratch.write("chip.bin", binary).string()});
  ASSERT_EQ(fromBinary.status, 0) << fromBinary.err;
  EXPECT_EQ(fieldValue(parseJson(fromBinary.out), "Serial no."), "101010");
}

TEST(Decode, Failures) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"decode", "2D12ZZ"}, "teds: 2D12ZZ: cannot open"},
      {{"decode", "/nonexistent/image.hex"}, "teds: /nonexistent/image.hex: cannot open"},
      {{"decode", "2D12C066440819001000EC041A89C9426793D5160C0042524B542D3700000000000000000000000",
        "12C0664408190010"},
       "odd number of hexadecimal digits"},
      {{"decode", "-"}, "no image in the input"},
      {{"decode", "--templates", "/nonexistent", example("accelerometer.hex")}, "template directory"},
      {{"decode", std::string(96, '0'), std::string(16, '0')}, "the image is blank (every byte 00h)"},
      // Endless or huge input is refused at the limit, not read to the end.
      {{"decode", "/dev/zero"}, "teds: /dev/zero: more than 65536 bytes"},
      {{"edit", "/dev/zero", "--set", "Serial no.=1"}, "teds: /dev/zero: more than 65536 bytes"},
      {{"write", "--yes", "/dev/zero"}, "teds: /dev/zero: more than 65536 bytes"},
  };
  for (const auto& c : cases) {
    const Result r = runTeds(c.args);
    EXPECT_EQ(r.status, 1) << c.message;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("teds: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  Scratch scratch;
  // The engine's own note goes to standard error with ours, never into the output.
  const Result noFiles =
      runTeds({"decode", "--templates", scratch.path("").string(), example("accelerometer.hex")});
  EXPECT_EQ(noFiles.status, 1);
  EXPECT_EQ(noFiles.out, "");
  EXPECT_NE(noFiles.err.find("TemplateDescription.txt was not opened"), std::string::npos) << noFiles.err;
  const Result badLine = runTeds({"decode", scratch.write("bad.hex", "# memory\n2D12G0\n").string()});
  EXPECT_EQ(badLine.status, 1);
  EXPECT_NE(badLine.err.find("line 2 is not hexadecimal"), std::string::npos) << badLine.err;
  const Result bigInput = runTeds({"decode", "-"}, std::string(65537, '0'));
  EXPECT_EQ(bigInput.status, 1);
  EXPECT_NE(bigInput.err.find("teds: standard input: more than 65536 bytes"), std::string::npos)
      << bigInput.err;
  const Result noTemplate = runTeds({"decode", "00" + std::string(16, '0') + "14" + std::string(44, '0')});
  EXPECT_EQ(noTemplate.status, 1);
  EXPECT_NE(noTemplate.err.find("cannot decode the image"), std::string::npos) << noTemplate.err;
}

// A layout read partly from one table is named as such; a verified one is not.
TEST(Decode, ProvisionalLayoutsSaySoOnStandardError) {
  Scratch scratch;
  const std::pair<const char*, const char*> cases[] = {
      {"37", "teds: template 37 (RTD): layout partly provisional\n"}, {"25", ""}};
  for (const auto& [id, note] : cases) {
    const Result made = runTeds({"new", id});
    ASSERT_EQ(made.status, 0) << made.err;
    const Result r = runTeds({"decode", scratch.write("image.hex", made.out).string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, note) << id;
    EXPECT_NE(r.out.find(std::string("Template ") + id), std::string::npos);
  }
}

// A standard template we do not ship: the Basic TEDS, and which template is missing.
TEST(Decode, MissingStandardTemplateShowsTheBasicTedsAndNamesTheTemplate) {
  const std::string basic = "2B40002008D20400";  // manufacturer 43, model 1, A, 2, serial 1234
  const Result r = runTeds({"decode", "00" + basic + "74" + std::string(62, '0'), basic});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "Manufacturer ID: 43\nModel number: 1\nVersion letter: A\nVersion number: 2\nSerial no.: 1234\n");
  EXPECT_NE(r.err.find("template 29 is not among the loaded templates"), std::string::npos) << r.err;
}

struct NewCase {
  std::vector<std::string> args;
  int templateId;
  const char* engine;
  const char* label;
  const char* value;
};

class NewTemplate : public ::testing::TestWithParam<NewCase> {};

TEST_P(NewTemplate, EncodesWhatDecodeReadsBack) {
  const auto& c = GetParam();
  std::vector<std::string> args = {"new"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const Result made = runTeds(args);
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(made.out.rfind("memory: ", 0), 0u);
  const Result r = runTeds({"decode", "--json", "-"}, made.out);
  ASSERT_EQ(r.status, 0) << r.err;
  const Json decoded = parseJson(r.out);
  EXPECT_EQ(decoded["template"]["id"].number, c.templateId);
  EXPECT_EQ(decoded["template"]["engine"].text, c.engine);
  EXPECT_EQ(fieldValue(decoded, c.label), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, NewTemplate,
    ::testing::Values(NewCase{{"0", "--set", "Serial no.=1234", "--set", "User data (ascii)=HELLO"},
                              0,
                              "description",
                              "User data (ascii)",
                              "HELLO"},
                      NewCase{{"--manufacturer", "17", "3", "--set", "Meas. position ID=42"},
                              3,
                              "description",
                              "Meas. position ID",
                              "42"},
                      NewCase{
                          {"--set", "Manufacturer=Kistler", "12"}, 12, "description", "Manufacturer", "19"},
                      NewCase{{"25", "--set", "Serial no.=777", "--set", "Meas. position ID=5"},
                              25,
                              "tdl",
                              "Meas. position ID",
                              "5"},
                      NewCase{{"lms-free"}, 117, "lms", "Manufacturer", "0"}));

TEST(Edit, ChangesOnlyTheFieldsSet) {
  const Result edited = runTeds({"edit", example("accelerometer.hex"), "--set", "Serial no.=4242", "--set",
                                 "Phase invertion (0: 0\xC2\xB0, 1: 180\xC2\xB0)=1"});
  ASSERT_EQ(edited.status, 0) << edited.err;
  const Json after = parseJson(runTeds({"decode", "--json", "-"}, edited.out).out);
  const Json before = parseJson(runTeds({"decode", "--json", example("accelerometer.hex")}).out);
  EXPECT_EQ(fieldValue(after, "Serial no."), "4242");
  EXPECT_EQ(fieldValue(after, "Phase invertion (0: 0\xC2\xB0, 1: 180\xC2\xB0)"), "1");
  for (const char* label : {"Model number", "Sensitivity @ Fref", "Calibration date", "User data (ascii)"}) {
    EXPECT_EQ(fieldValue(after, label), fieldValue(before, label)) << label;
  }
}

// A V1.0 enumeration holds its enumerate's number; the tool takes and shows its text.
TEST(Edit, V10EnumerationByItsText) {
  Scratch scratch;
  const Result hex = runTeds({"read", "--hex", "--bus", scratch.bus().string()});
  const Result edited = runTeds({"edit", "-", "--set", "Sensitivity direction (x,y,z)=Z"}, hex.out);
  ASSERT_EQ(edited.status, 0) << edited.err;
  const Json after = parseJson(runTeds({"decode", "--json", "-"}, edited.out).out);
  for (const auto& field : after["fields"].items) {
    if (field["label"].text != "Sensitivity direction (x,y,z)") continue;
    EXPECT_EQ(field["value"].text, "z");
    EXPECT_EQ(field["index"].number, 2);
  }
  const Result table = runTeds({"decode", "-"}, edited.out);
  const auto row = table.out.find("Sensitivity direction (x,y,z)  ");
  ASSERT_NE(row, std::string::npos) << table.out;
  const std::string line = table.out.substr(row, table.out.find('\n', row) - row);
  EXPECT_NE(line.find("  z  "), std::string::npos) << line;
  const Result refused = runTeds({"edit", "-", "--set", "Sensitivity direction (x,y,z)=up"}, hex.out);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("\"Sensitivity direction (x,y,z)\" takes one of x, y, z, n/a (or its number, 0 "
                             "to 3), not \"up\""),
            std::string::npos)
      << refused.err;
}

TEST(Edit, AQuantisedValueAndAnIdentificationFieldAreNoted) {
  const Result edited =
      runTeds({"edit", example("accelerometer.hex"), "--set", "Fref=100", "--set", "Serial no.=7"});
  EXPECT_EQ(edited.status, 0) << edited.err;
  EXPECT_NE(edited.err.find("note: \"Fref\" is stored as 98.69 Hz, not 100"), std::string::npos)
      << edited.err;
  EXPECT_NE(edited.err.find("note: \"Serial no.\" identifies the sensor"), std::string::npos) << edited.err;
}

// Every note on a line of its own, for an ID-class property too, in new and in edit.
TEST(Edit, IdentificationPropertiesOfATdlTemplateAreNoted) {
  const Result fresh = runTeds({"new", "26", "--set", "Weight=1", "--set", "Cal Period=365"});
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  EXPECT_NE(fresh.err.find("teds: note: \"Weight\" is stored as 1.1 g, not 1\n"
                           "teds: note: \"Weight\" identifies the sensor"),
            std::string::npos)
      << fresh.err;
  EXPECT_EQ(fresh.err.find("\"Cal Period\" identifies"), std::string::npos) << fresh.err;
  const Result edited = runTeds({"edit", "-", "--set", "Sensitivity direction (x,y,z)=z"}, fresh.out);
  ASSERT_EQ(edited.status, 0) << edited.err;
  EXPECT_NE(edited.err.find("teds: note: \"Sensitivity direction (x,y,z)\" identifies the sensor"),
            std::string::npos)
      << edited.err;
}

TEST(Edit, Failures) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"edit", example("accelerometer.hex"), "--set", "Colour=red"}, 1, "no field labelled \"Colour\""},
      {{"edit", example("accelerometer.hex"), "--set", "Serial no."}, 2, "--set takes \"LABEL=VALUE\""},
      {{"new", "0", "--set", "Manufacturer=Nobody Inc"}, 1, "unknown manufacturer"},
      {{"edit", example("accelerometer.hex"), "--set", "Sensitivity @ Fref=173"},
       1,
       "\"Sensitivity @ Fref\" takes 5e-07 to 172.24 V/(m/s^2), not 173"},
      {{"new", "25", "--set", "Meas. position ID=2048"},
       1,
       "\"Meas. position ID\" takes 0 to 2047, not 2048"},
      {{"new", "25", "--set", "Calibration date=2/30/2020"}, 1, "no such day"},
      {{"new", "7"}, 1, "no description template 7"},
      {{"new", "256"}, 2, "TEMPLATE must be 0 to 255"},
      {{"new", "zero"}, 2, "TEMPLATE must be a whole number"},
      {{"new"}, 2, "give one TEMPLATE"},
  };
  for (const auto& c : cases) {
    const Result r = runTeds(c.args);
    EXPECT_EQ(r.status, c.status) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace teds_test

namespace teds_test {
namespace {

// A corrupt image decodes with a warning; --strict refuses it.
TEST(Decode, ACorruptImageWarnsAndStrictMakesItAnError) {
  const std::string image = slurp(example("microphone.hex"));
  std::string badChecksum = image;
  badChecksum.replace(badChecksum.find("\n59114017") + 1, 2, "5A");
  // The accelerometer example cut after 20 bytes, its checksum made to fit what is left.
  const std::string cut = "memory: D012C066440819001000EC041A89C9426793D516\n";
  struct Case {
    std::string image;
    std::string warning;
  };
  for (const Case& c : {Case{badChecksum, "the checksum does not match the image's bytes"},
                        Case{cut, "the image ends 20 bits before its template's fields do (88 of 108 bits"}}) {
    const Result warned = runTeds({"decode", "-"}, c.image);
    EXPECT_EQ(warned.status, 0) << warned.err;
    EXPECT_NE(warned.err.find("teds: warning: " + c.warning), std::string::npos) << warned.err;
    const Result strict = runTeds({"decode", "--strict", "-"}, c.image);
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(strict.out, "");
    EXPECT_NE(strict.err.find("teds: " + c.warning), std::string::npos) << strict.err;
  }
  EXPECT_NE(runTeds({"decode", "-"}, badChecksum).out.find("Checksum: bad"), std::string::npos);
  const Result good = runTeds({"decode", "--strict", "-"}, image);
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.err, "");
}

}  // namespace
}  // namespace teds_test

namespace teds_test {
namespace {

TEST(Decode, ABadChecksumWarnsAndStrictMakesItAnError) {
  const std::string image = slurp(example("microphone.hex"));
  std::string corrupt = image;
  corrupt.replace(corrupt.find("\n59114017") + 1, 2, "5A");
  const std::string warning = "teds: warning: the checksum does not match the image's bytes";
  const Result warned = runTeds({"decode", "-"}, corrupt);
  EXPECT_EQ(warned.status, 0) << warned.err;
  EXPECT_NE(warned.err.find(warning), std::string::npos) << warned.err;
  EXPECT_NE(warned.out.find("Checksum: bad"), std::string::npos) << warned.out;
  const Result strict = runTeds({"decode", "--strict", "-"}, corrupt);
  EXPECT_EQ(strict.status, 1);
  EXPECT_EQ(strict.out, "");
  EXPECT_NE(strict.err.find("teds: the checksum does not match"), std::string::npos) << strict.err;
  const Result good = runTeds({"decode", "--strict", "-"}, image);
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.err, "");
}

}  // namespace
}  // namespace teds_test
