// teds write refuses what cannot succeed before a byte goes out, and shows what it changes.
#include <gtest/gtest.h>

#include "json_check.h"
#include "run_tool.h"

namespace teds_test {
namespace {

std::string sensorWithControl(const std::string& control) {
  std::string bus = slurp(fs::path(TEDSKIT_SOURCE_DIR) / "examples" / "sensor.bus");
  const std::string row = "memory 0080 00 00 00 00";
  bus.replace(bus.find(row), row.size(), "memory 0080 " + control);
  return bus;
}

Result tool(const fs::path& bus, std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.end(), {"--bus", bus.string()});
  return runTeds(args, input);
}

// The accelerometer example cut after 20 bytes, its checksum made to fit what is left.
constexpr const char* kCutImage = "memory: D012C066440819001000EC041A89C9426793D516\n";

std::string sensorImage() { return runTeds({"read", "--hex", "--bus", example("sensor.bus")}).out; }

std::string edited(const std::string& setting) {
  const Result r = runTeds({"edit", "-", "--set", setting}, sensorImage());
  EXPECT_EQ(r.status, 0) << r.err;
  return r.out;
}

// A DS2430A whose register was locked by writing the sensor's V1.0 image.
fs::path lockedDs2430a(const Scratch& scratch) {
  const fs::path bus = scratch.write("ds2430a.bus", "device DS2430A\n  serial 000000000001\nend\n");
  const Result locked = tool(bus, {"write", "--yes", "-"}, sensorImage());
  EXPECT_EQ(locked.status, 0) << locked.err;
  return bus;
}

TEST(WriteChecks, WhatCannotSucceedIsRefusedWithTheBusFileUnchanged) {
  Scratch scratch;
  std::string badChecksum = sensorImage();
  badChecksum.replace(badChecksum.find("memory: ") + 8, 2, "24");
  struct Case {
    const char* what;
    fs::path bus;
    std::string image;
    std::string message;
  } cases[] = {
      {"protected page", scratch.write("p.bus", sensorWithControl("55 00 00 00")), edited("Serial no.=4711"),
       "teds: page 0 of DS2431 2DE1A5E10D0000FE is write-protected: nothing written"},
      {"EPROM page", scratch.write("e.bus", sensorWithControl("AA 00 00 00")), edited("Serial no.=4711"),
       "teds: page 0 of DS2431 2DE1A5E10D0000FE is in EPROM mode"},
      {"locked register", lockedDs2430a(scratch), slurp(example("triaxial.hex")),
       "teds: the application register of the DS2430A 1401000000000038 is locked and holds the Basic TEDS "
       "1240262204928A01"},
      {"bad checksum", scratch.write("c.bus", sensorWithControl("00 00 00 00")), badChecksum,
       "teds: the image's checksum does not match its bytes"},
      {"cut image", scratch.write("s.bus", sensorWithControl("00 00 00 00")), kCutImage,
       "teds: the image ends 20 bits before its template's fields do"},
  };
  for (const Case& c : cases) {
    const std::string before = slurp(c.bus);
    const Result r = tool(c.bus, {"write", "--yes", "-"}, c.image);
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
    EXPECT_EQ(slurp(c.bus), before) << c.what;
  }
}

TEST(WriteChecks, WhatCanSucceedStillGoesThrough) {
  Scratch scratch;
  // Protected pages the write leaves as they are.
  const fs::path pages = scratch.write("p.bus", sensorWithControl("00 00 55 55"));
  const Result aroundProtection = tool(pages, {"write", "--yes", "-"}, edited("Serial no.=4711"));
  ASSERT_EQ(aroundProtection.status, 0) << aroundProtection.err;
  // A locked register that already holds the image's Basic TEDS takes new template data,
  // in the locked layout it reads back in.
  const fs::path locked = lockedDs2430a(scratch);
  const Result sameBasic = tool(locked, {"write", "--yes", "-"}, edited("Meas. position ID=7"));
  ASSERT_EQ(sameBasic.status, 0) << sameBasic.err;
  EXPECT_NE(sameBasic.out.find("in locked application register"), std::string::npos) << sameBasic.out;
  const Json back = parseJson(tool(locked, {"read", "--json"}).out);
  EXPECT_EQ(fieldValue(back, "Meas. position ID"), "7");
  // --force writes a corrupt image with a checksum of its own.
  std::string badChecksum = sensorImage();
  badChecksum.replace(badChecksum.find("memory: ") + 8, 2, "24");
  const Result forced = tool(scratch.bus(), {"write", "--yes", "--force", "-"}, badChecksum);
  EXPECT_EQ(forced.status, 0) << forced.err;
  const Result cut = tool(scratch.bus(), {"write", "--yes", "--force", "-"}, kCutImage);
  EXPECT_EQ(cut.status, 0) << cut.err;
}

TEST(WriteChecks, DryRunShowsThePlanAndTheChangedFieldsOnly) {
  Scratch scratch;
  const std::string before = slurp(scratch.bus());
  const Result dry = tool(scratch.bus(), {"write", "--dry-run", "-"}, edited("Serial no.=4711"));
  ASSERT_EQ(dry.status, 0) << dry.err;
  EXPECT_EQ(dry.out, "Would write template 25 to the DS2431 2DE1A5E10D0000FE on " + scratch.bus().string() +
                         " in layout A.\n"
                         "Changes:\n"
                         "  Serial no.: 101010 -> 4711\n"
                         "Nothing written (--dry-run).\n");
  EXPECT_EQ(slurp(scratch.bus()), before);
  const Result same = tool(scratch.bus(), {"write", "--dry-run", "-"}, sensorImage());
  EXPECT_NE(same.out.find("No field changes: the chip holds this TEDS.\n"), std::string::npos) << same.out;
}

}  // namespace
}  // namespace teds_test
