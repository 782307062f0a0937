// teds templates, manufacturers, tdl, store, and the conventions every command follows.
#include <gtest/gtest.h>

#include "json_check.h"
#include "run_tool.h"

namespace teds_test {
namespace {

bool listed(const Json& list, const std::string& kind, int id, const std::string& name) {
  for (const auto& item : list.items) {
    if (item["kind"].text == kind && item["id"].number == id && item["name"].text == name) return true;
  }
  return false;
}

TEST(Templates, EveryKindIsListed) {
  const Result r = runTeds({"templates", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Json list = parseJson(r.out);
  EXPECT_TRUE(listed(list, "standard", 0, "Accelerometer, IEPE voltage output"));
  EXPECT_TRUE(listed(list, "manufacturer", 3, "Triaxial accelerometer, one channel of three"));
  EXPECT_TRUE(listed(list, "lms", 117, "LMS Free Format"));
  EXPECT_TRUE(listed(list, "v1.0", 25, "Accelerometer & Force"));
  const Json lmsOnly = parseJson(runTeds({"templates", "--json", "--kind", "lms"}).out);
  EXPECT_EQ(lmsOnly.items.size(), 2u);
  const Result bad = runTeds({"templates", "--kind", "odd"});
  EXPECT_EQ(bad.status, 2);
}

TEST(Manufacturers, ListLeavesOutTheReservedIds) {
  const Result r = runTeds({"manufacturers", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Json list = parseJson(r.out);
  ASSERT_FALSE(list.items.empty());
  EXPECT_EQ(list[0]["id"].number, 17);
  EXPECT_EQ(list[0]["name"].text, "Bruel & Kjaer");
  const Result text = runTeds({"manufacturers"});
  EXPECT_NE(text.out.find("   17  Bruel & Kjaer\n"), std::string::npos);
  Scratch scratch;
  const Result missing = runTeds({"manufacturers", "--templates", scratch.path("").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read \"Manufacture.txt\""), std::string::npos) << missing.err;
}

TEST(Tdl, PrintsTemplatesPropertiesAndSelectCases) {
  const Result r = runTeds({"tdl", "data/MTS-SWIFT.tdl"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Template 199: MTS SWIFT Wheel Force Transducer"), std::string::npos);
  EXPECT_NE(r.out.find("select case \"Channel quantity\""), std::string::npos);
  EXPECT_NE(r.out.find("case 1 \"Moment\""), std::string::npos);
  const Json json = parseJson(runTeds({"tdl", "--json", "data/ieee_temp_v10.tdl"}).out);
  EXPECT_EQ(json["error"].type, Json::Type::Null);
  EXPECT_EQ(json["templates"][0]["id"].number, 25);
}

TEST(Tdl, SyntaxErrorIsReportedWithItsLine) {
  Scratch scratch;
  const auto file =
      scratch.write("bad.tdl", "TEMPLATE 25, 8, 8, \"Broken\"\n%Sensitivity, , CAL, 16 nonsense\n");
  const Result r = runTeds({"tdl", file.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("teds: " + file.string() + ":2: parse error at 'nonsense'"), std::string::npos)
      << r.err;
  const Result missing = runTeds({"tdl", scratch.path("none.tdl").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
}

TEST(Store, SaveListAndLoadRecords) {
  Scratch scratch;
  const auto file = scratch.path("records.txt").string();
  const Result first = runTeds({"store", "save", "--channel", "1", file, example("accelerometer.hex")});
  ASSERT_EQ(first.status, 0) << first.err;
  const Result hex = runTeds({"read", "--hex", "--bus", scratch.bus().string()});
  const Result second = runTeds({"store", "save", "--append", file, "-"}, hex.out);
  ASSERT_EQ(second.status, 0) << second.err;

  const Json list = parseJson(runTeds({"store", "list", "--json", file}).out);
  ASSERT_EQ(list.items.size(), 2u);
  EXPECT_EQ(list[0]["template"].number, 0);
  EXPECT_EQ(list[1]["template"].number, 25);
  EXPECT_EQ(list[1]["channel"].number, -1);

  const Result loaded = runTeds({"store", "load", "--json", file});
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  const Json records = parseJson(loaded.out);
  EXPECT_EQ(fieldValue(records[0], "Serial no."), "1048601");
  EXPECT_EQ(fieldValue(records[1], "Serial no."), "101010");

  const Result none = runTeds({"store", "load", scratch.path("none.txt").string()});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err.rfind("teds: ", 0), 0u);
  EXPECT_EQ(runTeds({"store", "burn", file}).status, 2);
}

TEST(Conventions, UnknownCommandAndOption) {
  const Result command = runTeds({"frobnicate"});
  EXPECT_EQ(command.status, 2);
  EXPECT_EQ(command.err.rfind("teds: unknown command 'frobnicate'\n", 0), 0u) << command.err;
  EXPECT_NE(command.err.find("Usage: teds COMMAND"), std::string::npos);
  const Result option = runTeds({"decode", "--frob", "x"});
  EXPECT_EQ(option.status, 2);
  EXPECT_EQ(
      option.err,
      "teds: unknown option '--frob'\nUsage: teds decode [--json | --form] [--v10] [--strict] IMAGE...\n");
  EXPECT_EQ(runTeds({}).status, 2);
}

TEST(Conventions, EveryCommandHasHelp) {
  for (const char* command :
       {"decode", "new", "edit", "read", "write", "templates", "manufacturers", "store", "tdl", "serve"}) {
    const Result r = runTeds({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.out.rfind(std::string("Usage: teds ") + command, 0), 0u) << r.out;
    EXPECT_NE(r.out.find("--templates DIR"), std::string::npos);
  }
  const Result top = runTeds({"--help"});
  EXPECT_EQ(top.status, 0);
  EXPECT_EQ(top.out.rfind("Usage: teds COMMAND", 0), 0u);
  EXPECT_NE(top.out.find("  serve "), std::string::npos);
}

TEST(Conventions, VersionNamesToolAndLibraries) {
  const Result r = runTeds({"--version"});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("teds 0.1.0\n", 0), 0u) << r.out;
  for (const char* library : {"libquillon 0.1.0", "libdorvia 0.1.0", "libferrun 0.1.0", "libcalden 0.1.0"}) {
    EXPECT_NE(r.out.find(library), std::string::npos) << r.out;
  }
}

TEST(Conventions, ColourOnlyWhenAskedOrOnATerminal) {
  const Result plain = runTeds({"templates"});
  EXPECT_EQ(plain.out.find('\033'), std::string::npos);
  const Result coloured = runTeds({"templates", "--color", "always"});
  EXPECT_NE(coloured.out.find("\033[1m"), std::string::npos);
  EXPECT_EQ(runTeds({"templates", "--color", "sometimes"}).status, 2);
}

}  // namespace
}  // namespace teds_test
