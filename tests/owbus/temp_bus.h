// A simulated bus for one test: the bus file lives in a fresh temporary folder and owbus
// is pointed at it; faults and counters start clean.
//
// TEDSKIT_TEST_BUS chooses the road to the simulated chips, so that the same tests run
// over each back end: "sim" (the default) the simulated bus itself, "ds2480b" the DS2480B
// back end over a pseudo-terminal to owbus-emulator, "usbsim" the DS2490 back end over
// its emulated transport. Faults go through setFault()/clearFaults(), which reach the
// chips wherever they are simulated.
#ifndef TEDSKIT_TESTS_OWBUS_TEMP_BUS_H
#define TEDSKIT_TESTS_OWBUS_TEMP_BUS_H

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "../support/scratch_dir.h"
#include "emulator_process.h"
#include "tedskit/owbus.h"

class TempBus {
 public:
  enum class Road { Sim, Ds2480b, UsbSim };
  static Road road() {
    const char* env = std::getenv("TEDSKIT_TEST_BUS");
    const std::string name = env ? env : "";
    if (name == "ds2480b") return Road::Ds2480b;
    if (name == "usbsim") return Road::UsbSim;
    return Road::Sim;
  }
  // true when the chips live in another process, behind a real serial driver.
  static bool behindSerialLine() { return road() == Road::Ds2480b; }

  explicit TempBus(const std::string& text) {
    path_ = dir_.file("test.bus");
    std::ofstream(path_) << text;
    owbus_clear_faults();
    std::string bus = "sim:" + path_;
    if (road() == Road::UsbSim) bus = "usbsim:" + path_;
    if (road() == Road::Ds2480b) {
      emulator_ = std::make_unique<EmulatorProcess>(path_);
      EXPECT_FALSE(emulator_->path().empty()) << "owbus-emulator did not start";
      bus = "ds2480b:" + emulator_->path() + ",timeout=400";
    }
    EXPECT_EQ(owbus_configure(bus.c_str()), 0) << owbus_last_error();
    owbus_reset_counters();
    current() = this;
  }
  ~TempBus() {
    current() = nullptr;
    owbus_clear_faults();
    owbus_configure(nullptr);
    emulator_.reset();
  }
  TempBus(const TempBus&) = delete;
  TempBus& operator=(const TempBus&) = delete;

  const std::string& path() const { return path_; }
  std::string text() const {
    std::ifstream in(path_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Switches a fault of the simulated chips (OWBUS_FAULT_*) as owbus_set_fault does.
  void fault(int32_t kind, int32_t skip, int32_t count) {
    if (!emulator_) {
      EXPECT_EQ(owbus_set_fault(kind, skip, count), 0);
      return;
    }
    static constexpr const char* kNames[] = {"",         "no-presence", "echo-mismatch",
                                             "flip-bit", "ds2406-crc",  "copy-fail",
                                             "vanish",   "lost",        "garble"};
    EXPECT_TRUE(emulator_->control("fault " + std::string(kNames[kind]) + " " + std::to_string(skip) + " " +
                                   std::to_string(count)));
  }
  void clearFaults() {
    owbus_clear_faults();
    if (emulator_) {
      EXPECT_TRUE(emulator_->control("clear"));
    }
  }

  static TempBus*& current() {
    static TempBus* bus = nullptr;
    return bus;
  }

 private:
  tedskittest::ScratchDir dir_{"tedskit-bus"};
  std::string path_;
  std::unique_ptr<EmulatorProcess> emulator_;
};

// Faults of the bus of the running test.
inline void setFault(int32_t kind, int32_t skip, int32_t count) {
  TempBus::current()->fault(kind, skip, count);
}
inline void clearFaults() { TempBus::current()->clearFaults(); }

#endif  // TEDSKIT_TESTS_OWBUS_TEMP_BUS_H
