// teds read and write on simulated buses (copies, never the shipped bus file).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "json_check.h"
#include "run_tool.h"

namespace teds_test {
namespace {

TEST(Read, DecodesTheBundledSensor) {
  Scratch scratch;
  const Result r = runTeds({"read", "--bus", scratch.bus().string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Template 25: Accelerometer & Force"), std::string::npos);
  EXPECT_NE(r.out.find("Device: DS2431 (family 2Dh)"), std::string::npos);
  EXPECT_NE(r.out.find("register: 1240262204928A01\n"), std::string::npos);
  // What read prints, decode takes.
  const Result again = runTeds({"decode", "--json", "-"}, r.out);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(fieldValue(parseJson(again.out), "Serial no."), "101010");
}

TEST(Read, JsonAndTheDefaultBus) {
  const Result r = runTeds({"read", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Json decoded = parseJson(r.out);
  EXPECT_EQ(decoded["device"].text, "DS2431 (family 2Dh)");
  EXPECT_EQ(decoded["template"]["id"].number, 25);
  EXPECT_EQ(fieldValue(decoded, "Model number"), "2201");
}

TEST(Read, BusFromTheEnvironmentWithoutBusOption) {
  Scratch scratch;
  const auto bus = scratch.write("ds2430a.bus", "device DS2430A\n  serial 000000000001\nend\n");
  ASSERT_EQ(runTeds({"write", "--yes", "--bus", bus.string(), example("accelerometer.hex")}).status, 0);
  setenv("TEDSKIT_BUS", ("sim:" + bus.string()).c_str(), 1);
  const Result r = runTeds({"read", "--json"});
  unsetenv("TEDSKIT_BUS");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(parseJson(r.out)["device"].text, "DS2430A (family 14h)");
}

TEST(Write, EditedImageGoesToTheChipAndReadsBack) {
  Scratch scratch;
  const std::string before = slurp(scratch.bus());
  const Result hex = runTeds({"read", "--hex", "--bus", scratch.bus().string()});
  const Result edited =
      runTeds({"edit", "-", "--set", "Serial no.=4711", "--set", "Meas. position ID=9"}, hex.out);
  ASSERT_EQ(edited.status, 0) << edited.err;
  const Result written = runTeds({"write", "--yes", "--bus", scratch.bus().string(), "-"}, edited.out);
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(written.out, "Wrote template 25 to the DS2431 (family 2Dh) 2DE1A5E10D0000FE in layout A.\n");
  EXPECT_NE(slurp(scratch.bus()), before);
  const Json back = parseJson(runTeds({"read", "--json", "--bus", scratch.bus().string()}).out);
  EXPECT_EQ(fieldValue(back, "Serial no."), "4711");
  EXPECT_EQ(fieldValue(back, "Meas. position ID"), "9");
  EXPECT_TRUE(back["checksum_ok"].boolean);
}

TEST(Write, DescriptionTemplateGoesToLayoutBAndReadsBack) {
  Scratch scratch;
  const Result written =
      runTeds({"write", "--yes", "--bus", scratch.bus().string(), example("microphone.hex")});
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_NE(written.out.find("layout B"), std::string::npos);
  const Json back = parseJson(runTeds({"read", "--json", "--bus", scratch.bus().string()}).out);
  EXPECT_EQ(back["template"]["id"].number, 12);
  EXPECT_EQ(back["source"].text, "chip layout B");
  EXPECT_EQ(fieldValue(back, "Serial no."), "2731904");
}

TEST(Write, LmsImageGoesToTheUncheckedLayoutAndReadsBack) {
  Scratch scratch;
  const Result made = runTeds({"new", "lms-free", "--set", "Serial no.=321", "--set", "Meas. position ID=4"});
  const Result written = runTeds({"write", "--yes", "--bus", scratch.bus().string(), "-"}, made.out);
  ASSERT_EQ(written.status, 0) << written.err;
  const Json back = parseJson(runTeds({"read", "--json", "--bus", scratch.bus().string()}).out);
  EXPECT_EQ(back["source"].text, "chip, unchecked LMS layout");
  EXPECT_EQ(back["template"]["id"].number, 117);
  EXPECT_EQ(back["checksum_ok"].type, Json::Type::Null);
  EXPECT_EQ(fieldValue(back, "Serial no."), "321");
  EXPECT_EQ(fieldValue(back, "Meas. position ID"), "4");
}

TEST(Write, WithoutYesAndWithoutTerminalNothingIsWritten) {
  Scratch scratch;
  const std::string before = slurp(scratch.bus());
  const Result r = runTeds({"write", "--bus", scratch.bus().string(), example("microphone.hex")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("not writing without --yes"), std::string::npos) << r.err;
  EXPECT_EQ(slurp(scratch.bus()), before);
}

// A V1.0 image on a DS2430A goes to its application register, which is then locked.
TEST(Write, V10ImageOnDs2430aLocksTheRegister) {
  Scratch scratch;
  const auto bus = scratch.write("ds2430a.bus", "device DS2430A\n  serial 000000000001\nend\n");
  const Result hex = runTeds({"read", "--hex", "--bus", scratch.bus().string()});
  const Result written = runTeds({"write", "--yes", "--bus", bus.string(), "-"}, hex.out);
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_NE(written.out.find("locked application register"), std::string::npos);
  EXPECT_NE(slurp(bus).find("locked yes"), std::string::npos) << slurp(bus);
  const Json back = parseJson(runTeds({"read", "--json", "--bus", bus.string()}).out);
  EXPECT_EQ(back["template"]["id"].number, 25);
  EXPECT_EQ(fieldValue(back, "Serial no."), "101010");
  EXPECT_TRUE(back["checksum_ok"].boolean);
}

TEST(Write, DescriptionTemplateOnDs2430aFitsOrIsRefused) {
  Scratch scratch;
  const auto bus = scratch.write("ds2430a.bus", "device DS2430A\n  serial 000000000001\nend\n");
  const Result written = runTeds({"write", "--yes", "--bus", bus.string(), example("accelerometer.hex")});
  ASSERT_EQ(written.status, 0) << written.err;
  const Json back = parseJson(runTeds({"read", "--json", "--bus", bus.string()}).out);
  EXPECT_EQ(fieldValue(back, "User data (ascii)"), "BRKT-7");
  EXPECT_EQ(slurp(bus).find("locked yes"), std::string::npos);

  const Result longText = runTeds({"new", "0", "--set", "User data (ascii)=ABCDEFGHIJKLMNOP"});
  const std::string before = slurp(bus);
  const Result refused = runTeds({"write", "--yes", "--bus", bus.string(), "-"}, longText.out);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("the DS2430A holds 23 in layout A"), std::string::npos) << refused.err;
  EXPECT_EQ(slurp(bus), before);
}

TEST(Read, ChannelOfATriaxialSensor) {
  Scratch scratch;
  const std::string sensor = slurp(scratch.bus());
  std::string behindChannel2 = sensor;
  behindChannel2.replace(behindChannel2.find("  serial"), 0, "  channel 2\n");
  const auto bus = scratch.write("triax.bus", "device DS2406\n  serial 0000000000AA\nend\n" + behindChannel2);
  const std::string before = slurp(bus);
  const Result channel2 = runTeds({"read", "--json", "--channel", "2", "--bus", bus.string()});
  ASSERT_EQ(channel2.status, 0) << channel2.err;
  EXPECT_EQ(parseJson(channel2.out)["template"]["id"].number, 25);
  EXPECT_EQ(slurp(bus), before) << "reading never rewrites the bus file";
  const Result channel1 = runTeds({"read", "--channel", "1", "--bus", bus.string()});
  EXPECT_EQ(channel1.status, 1);
  EXPECT_NE(channel1.err.find("no TEDS memory chip"), std::string::npos) << channel1.err;
  const Result noSwitch = runTeds({"read", "--channel", "1", "--bus", scratch.bus().string()});
  EXPECT_EQ(noSwitch.status, 1);
  EXPECT_NE(noSwitch.err.find("no DS2406 channel switch"), std::string::npos) << noSwitch.err;
}

// A family-0Dh chip ends inside its fourth page; it reads, shows and writes as whole pages.
TEST(Read, ChipWhoseSizeEndsInsideAPage) {
  Scratch scratch;
  std::string sensor = slurp(scratch.bus());
  sensor.replace(sensor.find("end\n"), 0, "  family 0D\n");
  const auto bus = scratch.write("family0d.bus", sensor);
  const Result raw = runTeds({"read", "--raw", "--bus", bus.string()});
  ASSERT_EQ(raw.status, 0) << raw.err;
  std::size_t pages = 0;
  for (std::size_t pos = 0; (pos = raw.out.find("chip: ", pos)) != std::string::npos; pos += 6) ++pages;
  EXPECT_EQ(pages, 4u);
  const Json decoded = parseJson(runTeds({"read", "--json", "--bus", bus.string()}).out);
  EXPECT_EQ(decoded["device"].text, "DS2431-type chip (family 0Dh)");
  EXPECT_EQ(fieldValue(decoded, "Serial no."), "101010");
  EXPECT_TRUE(decoded["checksum_ok"].boolean);
  const Result written = runTeds({"write", "--yes", "--bus", bus.string(), example("microphone.hex")});
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_EQ(parseJson(runTeds({"read", "--json", "--bus", bus.string()}).out)["template"]["id"].number, 12);
}

TEST(Bus, Failures) {
  Scratch scratch;
  const auto empty = scratch.write("empty.bus", "# nothing on this bus\n");
  const auto blank = scratch.write("blank.bus", "device DS2431\n  serial 000000000001\nend\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"read", "--bus", empty.string()}, 1, "teds: no TEDS memory chip on the bus"},
      {{"write", "--yes", "--bus", empty.string(), example("microphone.hex")}, 1, "no TEDS memory chip"},
      {{"read", "--bus", scratch.path("missing.bus").string()}, 1, "missing.bus: cannot open the bus file"},
      {{"read", "--bus", blank.string()}, 1, "blank.bus is blank (every byte FFh): it holds no TEDS"},
      {{"read", "--bus", "tin:can"}, 1, "unknown 1-Wire bus 'tin:can'"},
      {{"read", "--channel", "4"}, 2, "--channel takes 1, 2 or 3"},
      {{"read", "extra"}, 2, "takes no arguments"},
  };
  for (const auto& c : cases) {
    const Result r = runTeds(c.args);
    EXPECT_EQ(r.status, c.status) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

// Every failure to keep what a command wrote is a failure of the command, with the files
// it was meant to change as they were.
TEST(Failures, NothingKeptIsNeverReportedAsDone) {
  Scratch scratch;
  const std::string before = slurp(scratch.bus());
  // Files may hold 400 bytes: enough for the messages, too few for the bus file, even for root.
  const auto noFileGrowth = [] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit small{400, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &small);
  };
  const Result unsaved = runTeds({"write", "--yes", "--bus", scratch.bus().string(), example("loadcell.hex")},
                                 "", TEDSKIT_SOURCE_DIR, noFileGrowth);
  EXPECT_EQ(unsaved.status, 1);
  EXPECT_EQ(unsaved.out, "");
  EXPECT_NE(unsaved.err.find("cannot write the bus file back"), std::string::npos) << unsaved.err;
  EXPECT_EQ(slurp(scratch.bus()), before);

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"read", "--hex", "--bus", scratch.bus().string()},
        std::vector<std::string>{"decode", example("accelerometer.hex")},
        std::vector<std::string>{"--help"}}) {
    const Result full = runTeds(args, "", TEDSKIT_SOURCE_DIR, [] {
      const int device = open("/dev/full", O_WRONLY);
      dup2(device, 1);
    });
    EXPECT_EQ(full.status, 1) << args[0];
    EXPECT_NE(full.err.find("teds: cannot write the output: No space left on device"), std::string::npos)
        << full.err;
  }
}

}  // namespace
}  // namespace teds_test
