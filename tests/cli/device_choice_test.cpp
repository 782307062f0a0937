// Choosing the chip on a bus with several: --device, the refusals without it, the
// channels of a switch, and read --all.
#include <gtest/gtest.h>

#include "json_check.h"
#include "run_tool.h"

namespace teds_test {
namespace {

constexpr const char* kSensorRom = "2DE1A5E10D0000FE";  // examples/sensor.bus
constexpr const char* kSecondRom = "2D420000000000CC";  // serial 000000000042
constexpr const char* kDs2430aRom = "1401000000000038";
constexpr const char* kOtherDs2430aRom = "1402000000000061";
constexpr const char* kSwitchRom = "12AA000000000012";
constexpr const char* kBlankRom = "2D770000000000CA";

std::string sensor() { return slurp(fs::path(TEDSKIT_SOURCE_DIR) / "examples" / "sensor.bus"); }

std::string behindChannel(std::string device, int channel) {
  device.replace(device.find("  serial"), 0, "  channel " + std::to_string(channel) + "\n");
  return device;
}

std::string secondSensor() {
  std::string copy = sensor();
  const auto at = copy.find("serial 00000DE1A5E1");
  copy.replace(at, copy.find('\n', at) - at, "serial 000000000042");
  return copy;
}

// A triaxial cable: the switch, the sensor behind channel 2 and a blank DS2431 behind 3.
std::string triaxial() {
  return "device DS2406\n  serial 0000000000AA\nend\n" + behindChannel(sensor(), 2) +
         behindChannel("device DS2431\n  serial 000000000077\nend\n", 3);
}

Result tool(const fs::path& bus, std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.end(), {"--bus", bus.string()});
  return runTeds(args, input);
}

TEST(Choice, SeveralTedsChipsAreListedOrRefusedUntilOneIsNamed) {
  Scratch scratch;
  const fs::path bus = scratch.write("two.bus", sensor() + secondSensor());
  const std::string before = slurp(bus);

  const Result listed = tool(bus, {"read"});
  EXPECT_EQ(listed.status, 1);
  EXPECT_EQ(listed.out, std::string(kSecondRom) + "  DS2431 (family 2Dh)  template 25\n" + kSensorRom +
                            "  DS2431 (family 2Dh)  template 25\n");
  EXPECT_NE(listed.err.find("teds: 2 TEDS chips on the bus"), std::string::npos) << listed.err;
  EXPECT_NE(listed.err.find("choose one with --device ROM"), std::string::npos) << listed.err;

  const Result refused = tool(bus, {"write", "--yes", example("accelerometer.hex")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("2 TEDS chips"), std::string::npos) << refused.err;
  EXPECT_EQ(slurp(bus), before);

  // The ROM ID in either case; the other chip keeps every byte.
  const Result otherBefore = tool(bus, {"read", "--raw", "--device", kSensorRom});
  std::string lower = kSecondRom;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const Result written = tool(bus, {"write", "--yes", "--device", lower, example("loadcell.hex")});
  ASSERT_EQ(written.status, 0) << written.err;
  EXPECT_NE(written.out.find(kSecondRom), std::string::npos) << written.out;
  EXPECT_EQ(tool(bus, {"read", "--raw", "--device", kSensorRom}).out, otherBefore.out);
  const Json back = parseJson(tool(bus, {"read", "--json", "--device", kSecondRom}).out);
  EXPECT_EQ(back["rom"].text, kSecondRom);
  EXPECT_EQ(back["template"]["id"].number,
            parseJson(runTeds({"decode", "--json", example("loadcell.hex")}).out)["template"]["id"].number);
}

TEST(Choice, DeviceFailures) {
  Scratch scratch;
  const fs::path bus = scratch.write("triax.bus", triaxial());
  const std::string before = slurp(bus);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  } cases[] = {
      {{"read", "--device", "2DE1A5E1"}, 2, "16 hex digits family first"},
      {{"read", "--device", "2DE1A5E10D0000FF"}, 2, "the CRC of 2DE1A5E10D0000FF does not check"},
      {{"read", "--device", kSecondRom}, 1, std::string("no chip ") + kSecondRom + " on the bus"},
      {{"read", "--device", kSwitchRom}, 1, "DS2406 switch 12AA000000000012 holds no TEDS"},
      {{"read", "--device", kSensorRom, "--channel", "3"}, 1, "behind channel 2 is not behind channel 3"},
      {{"read", "--all", "--device", kSensorRom}, 2, "--all reads every chip"},
      {{"write", "--yes", "--device", kSwitchRom, example("accelerometer.hex")}, 1, "holds no TEDS"},
  };
  for (const Case& c : cases) {
    const Result r = tool(bus, c.args);
    EXPECT_EQ(r.status, c.status) << c.args[2] << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(slurp(bus), before);
}

TEST(Choice, TheChannelsOfASwitchAreNamedAndReachedByTheRomId) {
  Scratch scratch;
  const fs::path bus = scratch.write("triax.bus", triaxial());
  const std::string before = slurp(bus);
  const Result none = tool(bus, {"read"});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find(std::string("its DS2406 switch ") + kSwitchRom + " connects channel 2: DS2431 " +
                          kSensorRom + ", 3: DS2431 " + kBlankRom + "; choose one with --channel N"),
            std::string::npos)
      << none.err;

  const Result byRom = tool(bus, {"read", "--json", "--device", kSensorRom});
  ASSERT_EQ(byRom.status, 0) << byRom.err;
  EXPECT_EQ(parseJson(byRom.out)["rom"].text, kSensorRom);
  EXPECT_EQ(parseJson(byRom.out)["channel"].text, "2");

  // teds bus: what each chip holds and where each channel leads.
  const Result listing = tool(bus, {"bus"});
  EXPECT_NE(listing.out.find(std::string("Chips: 3\n  ") + kSwitchRom +
                             "  DS2406 switch (family 12h)  channels 2, 3 lead to chips\n  " + kSensorRom +
                             "  DS2431 (family 2Dh)  behind channel 2  TEDS template 25, serial 101010\n  " +
                             kBlankRom + "  DS2431 (family 2Dh)  behind channel 3  blank, no TEDS\n"),
            std::string::npos)
      << listing.out;
  const Json chips = parseJson(tool(bus, {"bus", "--json"}).out)["chips"];
  ASSERT_EQ(chips.items.size(), 3u);
  EXPECT_EQ(chips[0]["teds"].type, Json::Type::Null);
  EXPECT_EQ(chips[0]["channels"].items.size(), 2u);
  EXPECT_EQ(chips[1]["teds"]["template"].number, 25);
  EXPECT_EQ(chips[1]["teds"]["serial"].number, 101010);
  EXPECT_EQ(chips[1]["channel"].number, 2);
  EXPECT_TRUE(chips[2]["teds"]["blank"].boolean);
  EXPECT_EQ(slurp(bus), before);
}

// The DS2430A's commands are sent to every chip at once (Skip ROM): with a device
// chosen they reach that chip alone.
TEST(Choice, ADs2430aBesideOthersIsWrittenAndReadAlone) {
  Scratch scratch;
  const fs::path bus = scratch.write("mixed.bus",
                                     "device DS2430A\n  serial 000000000001\nend\n"
                                     "device DS2430A\n  serial 000000000002\nend\n" +
                                         sensor());
  const std::string sensorRaw = tool(bus, {"read", "--raw", "--device", kSensorRom}).out;
  const std::string otherRaw = tool(bus, {"read", "--raw", "--device", kOtherDs2430aRom}).out;
  const Result written = tool(bus, {"write", "--yes", "--device", kDs2430aRom, example("microphone.hex")});
  ASSERT_EQ(written.status, 0) << written.err;
  const Result back = tool(bus, {"read", "--hex", "--device", kDs2430aRom});
  ASSERT_EQ(back.status, 0) << back.err;
  EXPECT_EQ(back.out,
            "memory: 59114017240480AF29302899FE0218C2A564D2B46500000000000000000000000000000000000000\n"
            "register: 114017240480AF29\n");
  EXPECT_EQ(tool(bus, {"read", "--raw", "--device", kSensorRom}).out, sensorRaw);
  EXPECT_EQ(tool(bus, {"read", "--raw", "--device", kOtherDs2430aRom}).out, otherRaw);
}

TEST(ReadAll, EveryTedsOnTheBusOneByOne) {
  Scratch scratch;
  const fs::path bus = scratch.write("all.bus", secondSensor() + triaxial());
  const std::string before = slurp(bus);
  const Result all = tool(bus, {"read", "--all", "--json"});
  // The blank chip behind channel 3 is reported; the others are still read.
  EXPECT_EQ(all.status, 1);
  EXPECT_NE(all.err.find(std::string("teds: the DS2431 ") + kBlankRom + " behind channel 3"),
            std::string::npos)
      << all.err;
  const Json list = parseJson(all.out);
  ASSERT_EQ(list.items.size(), 3u) << all.out;
  EXPECT_EQ(list[0]["rom"].text, kSecondRom);
  EXPECT_EQ(list[0]["template"]["id"].number, 25);
  EXPECT_EQ(list[1]["rom"].text, kSensorRom);
  EXPECT_EQ(list[1]["channel"].text, "2");
  EXPECT_EQ(list[2]["rom"].text, kBlankRom);
  EXPECT_NE(list[2]["error"].text.find("blank"), std::string::npos);

  const Result text = tool(bus, {"read", "--all"});
  EXPECT_NE(text.out.find(std::string("ROM: ") + kSecondRom), std::string::npos) << text.out;
  EXPECT_NE(text.out.find(std::string("ROM: ") + kSensorRom), std::string::npos) << text.out;
  EXPECT_EQ(slurp(bus), before);
}

}  // namespace
}  // namespace teds_test
