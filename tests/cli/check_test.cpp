// teds check: the exit status a script gates on, and the calibration state on a given day.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "run_tool.h"

namespace teds_test {
namespace {

// The accelerometer example with its checksum byte broken.
const std::string kBadChecksum =
    "2E12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000\n"
    "12C0664408190010\n";

TEST(Check, ExitStatusIsTheWorstFinding) {
  const tedskittest::ScratchDir scratch("teds-check");
  const std::string broken = scratch.file("broken.hex");
  spill(broken, kBadChecksum);
  const Result zeroPeriod = runTeds({"edit", "--set", "Calibration period=0", example("accelerometer.hex")});
  ASSERT_EQ(zeroPeriod.status, 0) << zeroPeriod.err;
  const std::string warned = scratch.file("warned.hex");
  spill(warned, zeroPeriod.out);

  struct Case {
    std::vector<std::string> images;
    int status;
    const char* shown;
  };
  for (const Case& test : {Case{{example("accelerometer.hex")}, 0, "  clean\n"},
                           Case{{warned}, 1, "warning: \"Calibration period\" is 0"},
                           Case{{broken}, 2, "error: the checksum of the image is wrong"},
                           Case{{example("microphone.hex"), warned, broken}, 2,
                                "3 TEDS checked: 1 with errors, 1 with warnings, 1 clean\n"},
                           Case{{"no-such-file.hex"}, 2, "error: no-such-file.hex"}}) {
    std::vector<std::string> args = {"check", "--on", "2026-01-01"};
    args.insert(args.end(), test.images.begin(), test.images.end());
    const Result r = runTeds(args);
    EXPECT_EQ(r.status, test.status) << r.out << r.err;
    EXPECT_NE(r.out.find(test.shown), std::string::npos) << r.out;
  }
}

TEST(Check, CalibrationDueOnAGivenDay) {
  const std::vector<std::string> examples = {example("accelerometer.hex"), example("loadcell.hex"),
                                             example("microphone.hex")};
  std::vector<std::string> args = {"check", "--on", "3/1/2026"};
  args.insert(args.end(), examples.begin(), examples.end());
  const Result all = runTeds(args);
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_NE(all.out.find("calibration: 2025-03-14, every 365 days, due 2026-03-14: due in 13 days\n"),
            std::string::npos)
      << all.out;
  EXPECT_NE(all.out.find("due 2026-06-30: due in 121 days"), std::string::npos);
  EXPECT_NE(all.out.find("due 2026-11-02: due in 246 days"), std::string::npos);

  args.insert(args.begin() + 1, {"--json", "--due-within", "150"});
  const Result due = runTeds(args);
  ASSERT_EQ(due.status, 0) << due.err;
  const auto report = nlohmann::json::parse(due.out);
  EXPECT_EQ(report["on"], "2026-03-01");
  ASSERT_EQ(report["teds"].size(), 2u);
  EXPECT_EQ(report["teds"][0]["calibration"]["days_left"], 13);
  EXPECT_EQ(report["teds"][1]["calibration"]["due"], "2026-06-30");
  EXPECT_EQ(report["summary"]["checked"], 2);

  args[3] = "-1";
  EXPECT_EQ(runTeds(args).status, 2);
  const Result badDay = runTeds({"check", "--on", "2026-02-30", examples[0]});
  EXPECT_EQ(badDay.status, 2);
  EXPECT_NE(badDay.err.find("no such day"), std::string::npos) << badDay.err;
}

// The bundled bus, a second sensor and a blank chip: --bus checks the one TEDS chip read
// would take, --all each of them, and a blank or unchosen chip is an error.
TEST(Check, ChecksTheChipsOfABus) {
  const Result bundled = runTeds({"check", "--on", "2026-03-01", "--bus", example("sensor.bus")});
  EXPECT_EQ(bundled.status, 0) << bundled.out << bundled.err;
  EXPECT_NE(bundled.out.find("DS2431 2DE1A5E10D0000FE on "), std::string::npos) << bundled.out;
  EXPECT_NE(bundled.out.find("  calibration: 2026-01-15, every 365 days, due 2027-01-15: due in 320 days\n"),
            std::string::npos)
      << bundled.out;

  const tedskittest::ScratchDir scratch("teds-check-bus");
  const std::string bus = scratch.file("rack.bus");
  spill(bus, slurp(example("sensor.bus")) + "device DS2431\n  serial 000000000077\nend\n");
  const std::string before = slurp(bus);
  const Result unchosen = runTeds({"check", "--bus", bus});
  EXPECT_EQ(unchosen.status, 2);
  EXPECT_NE(unchosen.out.find("error: 2 TEDS chips on the bus"), std::string::npos) << unchosen.out;

  const Result all = runTeds({"check", "--json", "--on", "2026-03-01", "--all", "--bus", bus});
  EXPECT_EQ(all.status, 2) << all.err;
  const auto report = nlohmann::json::parse(all.out);
  ASSERT_EQ(report["teds"].size(), 2u);
  EXPECT_EQ(report["teds"][0]["rom"], "2DE1A5E10D0000FE");
  EXPECT_EQ(report["teds"][0]["calibration"]["days_left"], 320);
  EXPECT_EQ(report["teds"][1]["findings"][0]["code"], "blank");
  EXPECT_EQ(report["summary"]["errors"], 1);

  const Result chosen = runTeds({"check", "--bus", bus, "--device", "2DE1A5E10D0000FE"});
  EXPECT_NE(chosen.out.find("clean"), std::string::npos) << chosen.out;
  EXPECT_EQ(slurp(bus), before);  // checking never writes the bus file
}

}  // namespace
}  // namespace teds_test
