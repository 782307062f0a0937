// Template files: where the V1.0 template file comes from, and a file that does not parse
// is an error naming its line, never used half-read.
#include <gtest/gtest.h>

#include "json_check.h"
#include "run_tool.h"

namespace teds_test {
namespace {

const fs::path kData = fs::path(TEDSKIT_SOURCE_DIR) / "data";

// A template directory of description templates only, as users keep them.
fs::path descriptionDirectory(const Scratch& scratch) {
  const fs::path dir = scratch.path("descriptions");
  fs::create_directory(dir);
  for (const char* name : {"TemplateDescription.txt", "17_TemplateDescription.txt", "Manufacture.txt"}) {
    fs::copy_file(kData / name, dir / name);
  }
  return dir;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

bool listed(const Result& r, const std::string& kind, int id, const std::string& name) {
  for (const auto& item : parseJson(r.out).items) {
    if (item["kind"].text == kind && item["id"].number == id && item["name"].text == name) return true;
  }
  return false;
}

TEST(TemplateFiles, TheV10FileComesFromTdlElseTheDirectoryElseTheShippedData) {
  Scratch scratch;
  const fs::path dir = descriptionDirectory(scratch);
  const Result shipped = runTeds({"templates", "--json", "--templates", dir.string()});
  ASSERT_EQ(shipped.status, 0) << shipped.err;
  EXPECT_TRUE(listed(shipped, "standard", 0, "Accelerometer, IEPE voltage output"));
  EXPECT_TRUE(listed(shipped, "v1.0", 25, "Accelerometer & Force"));

  const std::string tdl = slurp(kData / "ieee_temp_v10.tdl");
  const std::string ours = replaced(tdl, "\"Accelerometer & Force\"", "\"Accelerometer & Force, rig 4\"");
  const fs::path named = scratch.write("rig4.tdl", ours);
  const Result chosen =
      runTeds({"templates", "--json", "--templates", dir.string(), "--tdl", named.string()});
  ASSERT_EQ(chosen.status, 0) << chosen.err;
  EXPECT_TRUE(listed(chosen, "v1.0", 25, "Accelerometer & Force, rig 4"));

  spill(dir / "ieee_temp_v10.tdl", ours);
  EXPECT_TRUE(listed(runTeds({"templates", "--json", "--templates", dir.string()}), "v1.0", 25,
                     "Accelerometer & Force, rig 4"));
  // A V1.0 TEDS is laid out and read back by the chosen file.
  const Result laidOut = runTeds({"new", "25", "--templates", dir.string(), "--tdl", named.string()});
  ASSERT_EQ(laidOut.status, 0) << laidOut.err;
  EXPECT_NE(runTeds({"decode", "--templates", dir.string(), "-"}, laidOut.out).out.find("rig 4"),
            std::string::npos);

  EXPECT_EQ(runTeds({"templates", "--tdl", scratch.path("none.tdl").string()}).status, 1);
}

TEST(TemplateFiles, AFileThatDoesNotParseIsAnErrorNamingFileAndLine) {
  Scratch scratch;
  const std::string v10Image = runTeds({"new", "25"}).out;
  ASSERT_NE(v10Image, "");
  const std::string tdl = slurp(kData / "ieee_temp_v10.tdl");
  const std::string list = slurp(kData / "Manufacture.txt");
  struct Case {
    const char* what;
    const char* file;
    std::string text;
    std::string where;  // after the file's path
    std::vector<std::vector<std::string>> commands;
    std::string input;
  };
  const Case cases[] = {
      {"TDL syntax error",
       "ieee_temp_v10.tdl",
       replaced(tdl, "SELECTCASE \"Transducer type\", ID, 1", "SELECTCASE \"Transducer type\" ID, 1"),
       ":19: parse error at 'ID'",
       {{"templates"}, {"new", "25"}, {"decode", "-"}},
       v10Image},
      {"manufacturer line without a quoted name",
       "Manufacture.txt",
       replaced(list, "17, \"Bruel & Kjaer\"", "17 Bruel & Kjaer"),
       ":20: not a manufacturer line",
       {{"manufacturers"}, {"decode", example("microphone.hex")}},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path dir = scratch.path(c.file == std::string("Manufacture.txt") ? "list" : "tdl");
    fs::create_directory(dir);
    for (const auto& entry : fs::directory_iterator(kData)) {
      fs::copy_file(entry.path(), dir / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
    spill(dir / c.file, c.text);
    for (auto command : c.commands) {
      SCOPED_TRACE(command[0]);
      command.insert(command.end(), {"--templates", dir.string()});
      const Result r = runTeds(command, c.input);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err.rfind("teds: " + (dir / c.file).string() + c.where, 0), 0u) << r.err;
      EXPECT_EQ(r.out, "");
    }
  }
}

// Faults the reader lets pass, each named by its line; the file is still printed.
TEST(TemplateFiles, TdlNamesTheFaultsTheReaderAccepts) {
  Scratch scratch;
  const std::string header =
      "// test templates\nTEMPLATE 0, 8, 25, \"Faults\"\nENUMERATE Axis, \"x\", \"y\"\n";
  const std::string end = "ENDTEMPLATE\nVALIDATION_KEYCODE 25\n";
  struct Case {
    const char* what;
    std::string text;
    std::string fault;  // after FILE:
  };
  const Case cases[] = {
      {"unknown type", header + "%Weight, \"Weight\", CAL, 8, UNIT, , \"g\"\n" + end,
       "4: %Weight: type 'UNIT' is neither a data type nor an enumeration (ENUMERATE) of this template"},
      {"undefined enumeration", header + "%Dir, \"Direction\", CAL, 2,\n  Axes, , \n" + end,
       "4: %Dir: type 'Axes' is neither a data type nor an enumeration"},
      {"number wider than 32 bits", header + "%Serial, \"Serial\", ID, 40, UNINT, , \n" + end,
       "4: %Serial: a bit width of 40 is outside 0 to 32 for UNINT"},
      {"enumeration wider than 32 bits", header + "%Dir, \"Direction\", CAL, 33, Axis, , \n" + end,
       "4: %Dir: a bit width of 33 is outside 0 to 32 for an enumeration"},
      {"template ID too large for its width",
       "TEMPLATE 0, 4, 25, \"Faults\"\n%Serial, \"Serial\", ID, 8, UNINT, , \n" + end,
       "1: template ID 25 does not fit its width of 4 bits"},
      {"no VALIDATION_KEYCODE", header + "%Serial, \"Serial\", ID, 8, UNINT, , \nENDTEMPLATE\n",
       "6: no VALIDATION_KEYCODE statement ends the file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = scratch.write("faults.tdl", c.text).string();
    const Result r = runTeds({"tdl", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("teds: " + file + ":" + c.fault), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Template 25: Faults"), std::string::npos) << r.out;
    const Json json = parseJson(runTeds({"tdl", "--json", file}).out);
    EXPECT_EQ(json["faults"].items.size(), 1u);
  }
  for (const char* shipped : {"ieee_temp_v10.tdl", "MTS-SWIFT.tdl"}) {
    const Result clean = runTeds({"tdl", (kData / shipped).string()});
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.err, "");
  }
}

// An MTS chip: selector 1 with template ID 4, read by the MTS template (ID 199) of the
// MTS template file, which the template directory need not hold either.
TEST(TemplateFiles, MtsChipsDecodeAndAreListed) {
  Scratch scratch;
  const fs::path dir = descriptionDirectory(scratch);
  const std::string image =
      "memory: 18000000000000000011000010002088D11600380000000000000000000000000000000000000000\n"
      "register: 0000000000000000\n";
  const Result decoded = runTeds({"decode", "--templates", dir.string(), "-"}, image);
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(decoded.out.rfind("Template 199: MTS SWIFT Wheel Force Transducer", 0), 0u) << decoded.out;
  for (const char* row : {"Sensitivity direction (x,y,z)  z ", "Cal Initials                   ABC",
                          "Cal Period                     365       days"}) {
    EXPECT_NE(decoded.out.find(row), std::string::npos) << row << "\n" << decoded.out;
  }
  EXPECT_TRUE(listed(runTeds({"templates", "--json", "--templates", dir.string()}), "v1.0", 199,
                     "MTS SWIFT Wheel Force Transducer"));

  const Result edited = runTeds({"edit", "--set", "Cal Period=730", "-"}, image);
  ASSERT_EQ(edited.status, 0) << edited.err;
  ASSERT_EQ(runTeds({"write", "--yes", "--bus", scratch.bus().string(), "-"}, edited.out).status, 0);
  const Result read = runTeds({"read", "--bus", scratch.bus().string()});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out.rfind("Template 199: MTS SWIFT Wheel Force Transducer", 0), 0u) << read.out;
  EXPECT_NE(read.out.find("730"), std::string::npos) << read.out;
}

}  // namespace
}  // namespace teds_test
