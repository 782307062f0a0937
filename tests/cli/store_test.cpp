// teds store: files it must not touch, damaged record files, and records written back.
#include <gtest/gtest.h>

#include "json_check.h"
#include "run_tool.h"

namespace teds_test {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(StoreSave, NeverReplacesOrExtendsAFileItWasNotToldTo) {
  Scratch scratch;
  const std::string readme = "Notes on the sensors of rig 4.\nKeep this file.\n";
  const auto notes = scratch.write("README", readme).string();
  const auto image = example("accelerometer.hex");

  const Result replace = runTeds({"store", "save", notes, image});
  EXPECT_EQ(replace.status, 1);
  EXPECT_TRUE(has(replace.err, "teds: " + notes + ": the file exists; give --append")) << replace.err;
  const Result append = runTeds({"store", "save", "--append", notes, image});
  EXPECT_EQ(append.status, 1);
  EXPECT_TRUE(has(append.err, "teds: " + notes + ": not a record file")) << append.err;
  EXPECT_EQ(slurp(notes), readme);

  // A record file takes more records, and --force replaces what is there.
  const auto records = scratch.path("records.txt").string();
  ASSERT_EQ(runTeds({"store", "save", records, image}).status, 0);
  ASSERT_EQ(runTeds({"store", "save", "--append", records, example("microphone.hex")}).status, 0);
  EXPECT_EQ(parseJson(runTeds({"store", "list", "--json", records}).out).items.size(), 2u);
  const Result forced = runTeds({"store", "save", "--force", notes, image});
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(parseJson(runTeds({"store", "list", "--json", notes}).out).items.size(), 1u);
}

// Three records: accelerometer (lines 1-22), microphone (from line 23), load cell.
std::string threeRecords(const Scratch& scratch) {
  const auto file = scratch.path("three.txt").string();
  for (const char* image : {"accelerometer.hex", "microphone.hex", "loadcell.hex"}) {
    EXPECT_EQ(runTeds({"store", "save", "--append", file, example(image)}).status, 0);
  }
  return slurp(file);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(StoreLoad, ABrokenBlockIsNamedByLineAndTheGoodRecordsAreStillListed) {
  Scratch scratch;
  const std::string good = threeRecords(scratch);
  const std::string microphone = "Microphone, prepolarized free-field with preamplifier,12\n";
  struct Case {
    const char* what;
    std::string text;
    std::string message;  // after "FILE:"
    std::vector<int> templates;
  };
  const Case cases[] = {
      {"template ID out of range",
       replaced(good, microphone, "Microphone,300\n"),
       "23: template ID 300 is outside 0 to 255",
       {0, 24}},
      {"item line lost",
       replaced(good, "\"Polarization voltage\"", "Polarization voltage"),
       "31: item 8 of 14 of template 12 is not an item line",
       {0, 24}},
      {"a value its field cannot hold",
       replaced(good, "\"Model number\",4507,", "\"Model number\",99999,"),
       "1: the record of template 0 holds a value it cannot: \"Model number\" takes 0 to 32767, not 99999",
       {12, 24}},
      {"a line that starts no block",
       "Some notes\n" + good,
       "1: not the type line of a record block",
       {0, 12, 24}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = scratch.write("broken.txt", c.text).string();
    const Result list = runTeds({"store", "list", "--json", file});
    EXPECT_EQ(list.status, 1);
    EXPECT_TRUE(has(list.err, "teds: " + file + ":" + c.message)) << list.err;
    EXPECT_TRUE(has(list.err, "teds: " + file + ": 1 broken block skipped, " +
                                  std::to_string(c.templates.size()) + " records read"))
        << list.err;
    const Json listed = parseJson(list.out);
    ASSERT_EQ(listed.items.size(), c.templates.size());
    for (std::size_t i = 0; i < c.templates.size(); ++i)
      EXPECT_EQ(listed[i]["template"].number, c.templates[i]);
  }
}

TEST(StoreLoad, ARecordWrittenOutIsTheImageItWasSavedFrom) {
  Scratch scratch;
  threeRecords(scratch);
  const auto file = scratch.path("three.txt").string();
  const auto out = scratch.path("microphone.txt").string();
  const Result written = runTeds({"store", "load", file, "--record", "1", "--output", out});
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(runTeds({"decode", out}).out, runTeds({"decode", example("microphone.hex")}).out);

  // Straight onto a sensor: the chip then reads back as the original image.
  const Result onChip = runTeds({"write", "--yes", "--bus", scratch.bus().string(), out});
  ASSERT_EQ(onChip.status, 0) << onChip.err;
  EXPECT_EQ(runTeds({"read", "--hex", "--bus", scratch.bus().string()}).out,
            runTeds({"store", "load", file, "--record", "1", "--output", "-"}).out);

  const Result missing = runTeds({"store", "load", file, "--record", "3", "--output", out});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(has(missing.err, "no record 3; the file holds 3 good records")) << missing.err;
  EXPECT_EQ(runTeds({"store", "load", file, "--output", out}).status, 2);
}

// Records of every engine read back as saved: LMS values in their own texts, and the MTS
// template found in the template directory whatever the working directory.
TEST(StoreLoad, RecordsOfEveryEngineReadBack) {
  Scratch scratch;
  const auto file = scratch.path("records.txt").string();
  for (const char* layout : {"lms-geometry", "lms-free", "199", "27"}) {
    const Result image = runTeds({"new", layout});
    ASSERT_EQ(image.status, 0) << image.err;
    ASSERT_EQ(runTeds({"store", "save", "--append", file, "-"}, image.out).status, 0) << layout;
  }
  const Result list = runTeds({"store", "list", "--json", file}, "", scratch.path(""));
  ASSERT_EQ(list.status, 0) << list.err;
  const Json listed = parseJson(list.out);
  ASSERT_EQ(listed.items.size(), 4u);
  const int templates[] = {118, 117, 199, 27};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(listed[i]["template"].number, templates[i]);
}

}  // namespace
}  // namespace teds_test
