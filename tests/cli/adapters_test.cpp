// teds read and write over each road to the simulated chips: the simulated bus itself,
// the DS2480B back end over a pseudo-terminal to owbus-emulator, and the DS2490 back end
// over its emulated transport. Every road must give the same output and leave the same
// bus file.
#include <gtest/gtest.h>

#include <memory>

#include "emulator_process.h"
#include "run_tool.h"

namespace teds_test {
namespace {

enum class Road { Sim, Ds2480b, UsbSim };
constexpr Road kRoads[] = {Road::Sim, Road::Ds2480b, Road::UsbSim};
const char* name(Road r) { return r == Road::Sim ? "sim" : r == Road::Ds2480b ? "ds2480b" : "usbsim"; }

// One bus file reached over one road, for the length of a case.
class RoadBus {
 public:
  RoadBus(Road road, const fs::path& file) : file_(file) {
    if (road == Road::Ds2480b) {
      emulator_ = std::make_unique<EmulatorProcess>(file.string());
      bus_ = "ds2480b:" + emulator_->path();
    } else {
      bus_ = (road == Road::Sim ? "sim:" : "usbsim:") + file.string();
    }
  }
  const std::string& bus() const { return bus_; }
  // Output with the bus's own name taken out, so that roads compare.
  std::string plain(std::string text) const {
    for (const std::string& n : {bus_, file_.string()}) {
      for (size_t at = text.find(n); at != std::string::npos; at = text.find(n, at))
        text.replace(at, n.size(), "BUS");
    }
    return text;
  }

 private:
  fs::path file_;
  std::string bus_;
  std::unique_ptr<EmulatorProcess> emulator_;
};

struct Outcome {
  std::string outputs;
  std::string busFile;
};

// Runs each command (its last element the standard input) on a fresh copy of `bus`.
Outcome run(Road road, const std::string& bus, const std::vector<std::vector<std::string>>& commands) {
  Scratch scratch;
  const fs::path file = scratch.write(std::string(name(road)) + ".bus", bus);
  Outcome outcome;
  {
    RoadBus road_(road, file);
    for (std::vector<std::string> command : commands) {
      const std::string input = command.back();
      command.pop_back();
      command.insert(command.begin() + 1, {"--bus", road_.bus()});
      const Result r = runTeds(command, input);
      outcome.outputs += road_.plain(command[0] + " -> " + std::to_string(r.status) + "\n" + r.out + r.err);
    }
  }
  outcome.busFile = slurp(file);
  return outcome;
}

std::string chip(const std::string& type, const std::string& extra = "") {
  return "device " + type + "\n  serial 00000000C0DE\n" + extra + "end\n";
}

void expectTheSameOnEveryRoad(const std::string& what, const std::string& bus,
                              const std::vector<std::vector<std::string>>& commands) {
  const Outcome sim = run(Road::Sim, bus, commands);
  EXPECT_EQ(sim.outputs.find("-> 1"), std::string::npos) << what << ": " << sim.outputs;
  for (Road road : kRoads) {
    if (road == Road::Sim) continue;
    const Outcome other = run(road, bus, commands);
    EXPECT_EQ(other.outputs, sim.outputs) << what << " over " << name(road);
    EXPECT_EQ(other.busFile, sim.busFile) << what << " over " << name(road);
  }
}

TEST(Roads, WriteAndReadEveryChipModelAlike) {
  const std::string v10 = runTeds({"read", "--hex"}).out;  // the bundled sensor: template 25, V1.0
  const std::string lms = runTeds({"new", "lms-free", "--set", "Serial no.=321"}).out;
  struct Case {
    const char* what;
    std::string bus;
    std::string image;  // a file, or "-" for `input`
    std::string input;
  };
  const Case cases[] = {
      {"DS2430A, layout A", chip("DS2430A"), example("accelerometer.hex"), ""},
      {"DS2430A, V1.0 with the register locked", chip("DS2430A"), "-", v10},
      {"DS2431, layout A", chip("DS2431"), "-", v10},
      {"DS2431, unchecked LMS layout", chip("DS2431"), "-", lms},
      {"DS2433, layout B", chip("DS2433"), example("loadcell.hex"), ""},
      {"DS28EC20, layout B", chip("DS28EC20"), example("microphone.hex"), ""},
  };
  for (const Case& c : cases) {
    expectTheSameOnEveryRoad(
        c.what, c.bus, {{"write", "--yes", c.image, c.input}, {"read", "--json", ""}, {"read", "--raw", ""}});
  }
}

TEST(Roads, TheSwitchSelectsTheSameChannelOnEveryRoad) {
  std::string sensor = slurp(fs::path(TEDSKIT_SOURCE_DIR) / "examples" / "sensor.bus");
  sensor.replace(sensor.find("  serial"), 0, "  channel 2\n");
  const std::string triax = chip("DS2406") + sensor;
  expectTheSameOnEveryRoad("DS2406", triax,
                           {{"read", "--channel", "2", "--json", ""},
                            {"write", "--yes", "--channel", "2", example("accelerometer.hex"), ""},
                            {"read", "--channel", "2", "--hex", ""}});
  // A channel with nothing behind it fails alike.
  for (Road road : kRoads) {
    const Outcome o = run(road, triax, {{"read", "--channel", "1", ""}});
    EXPECT_NE(o.outputs.find("read -> 1\nteds: no TEDS memory chip behind channel 1 on the bus BUS"),
              std::string::npos)
        << name(road) << ": " << o.outputs;
  }
}

// What `teds bus` prints after "Adapter: " on each road.
std::string adapterLine(const std::string& out) {
  const size_t at = out.find("Adapter: ");
  return at == std::string::npos ? "" : out.substr(at + 9, out.find('\n', at) - at - 9);
}

TEST(Roads, BusListsTheSameChipsAndNamesTheAdapter) {
  const std::string bus = chip("DS2431") + "device DS2433\n  serial 0000000000AB\nend\n" + chip("DS2406");
  Scratch scratch;
  const fs::path file = scratch.write("listed.bus", bus);
  for (Road road : kRoads) {
    RoadBus onRoad(road, file);
    const Result r = runTeds({"bus", "--bus", onRoad.bus()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Chips: 3\n"
                         "  12DEC00000000074  DS2406 switch (family 12h)\n"
                         "  2DDEC00000000022  DS2431 (family 2Dh)  blank, no TEDS\n"
                         "  23AB00000000000C  DS2433 (family 23h)  blank, no TEDS\n"),
              std::string::npos)
        << name(road) << ": " << r.out;
    const Result json = runTeds({"bus", "--json", "--bus", onRoad.bus()});
    EXPECT_NE(json.out.find("\"chips\": [{\"rom\": \"12DEC00000000074\", \"family\": 18, \"chip\": \"DS2406 "
                            "switch\", \"channel\": 0, \"teds\": null, \"channels\": []}"),
              std::string::npos)
        << json.out;
    const std::string adapter = adapterLine(r.out);
    if (road == Road::Ds2480b) {
      EXPECT_TRUE(adapter.starts_with("DS2480B revision ")) << adapter;
      EXPECT_NE(adapter.find(" baud"), std::string::npos) << adapter;
    } else if (road == Road::UsbSim) {
      EXPECT_NE(adapter.find("DS2490"), std::string::npos) << adapter;
    } else {
      EXPECT_EQ(adapter, "simulated bus " + file.string());
    }
  }
}

TEST(Roads, VerboseShowsTheTrafficOnStandardErrorOnly) {
  Scratch scratch;
  const fs::path file = scratch.write("traffic.bus", chip("DS2431"));
  RoadBus onRoad(Road::Ds2480b, file);
  const Result quiet = runTeds({"read", "--hex", "--bus", onRoad.bus()});
  const Result verbose = runTeds({"read", "--hex", "--verbose", "--bus", onRoad.bus()});
  ASSERT_EQ(verbose.status, 0) << verbose.err;
  EXPECT_EQ(verbose.out, quiet.out);
  EXPECT_EQ(quiet.err, "");
  EXPECT_NE(verbose.err.find("1-Wire: reset: presence\n"), std::string::npos) << verbose.err;
  EXPECT_NE(verbose.err.find("1-Wire: sent "), std::string::npos) << verbose.err;
  EXPECT_NE(verbose.err.find("received"), std::string::npos) << verbose.err;
}

TEST(Roads, UsbWithoutAnAdapterSaysSo) {
  for (const char* bus : {"usb", "usb:0"}) {
    const Result r = runTeds({"read", "--bus", bus});
    EXPECT_EQ(r.status, 1) << bus;
    EXPECT_NE(r.err.find("no DS2490 adapter found"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace teds_test
