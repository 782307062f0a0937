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
  const Result chosen = runTeds({"templates", "--json", "--templates", dir.string(), "--tdl", named.string()});
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
      {"TDL syntax error", "ieee_temp_v10.tdl",
       replaced(tdl, "SELECTCASE \"Transducer type\", ID, 1", "SELECTCASE \"Transducer type\" ID, 1"),
       ":19: parse error at 'ID'",
       {{"templates"}, {"new", "25"}, {"decode", "-"}},
       v10Image},
      {"manufacturer line without a quoted name", "Manufacture.txt",
       replaced(list, "17, \"Bruel & Kjaer\"", "17 Bruel & Kjaer"), ":20: not a manufacturer line",
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

}  // namespace
}  // namespace teds_test
