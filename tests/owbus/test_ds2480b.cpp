// The DS2480B back end through the adapter calls: against owbus-emulator on a
// pseudo-terminal, and against devices that are not a working DS2480B.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <termios.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "../support/scratch_dir.h"
#include "emulator_process.h"
#include "raw_bus.h"

namespace {

constexpr const char* kTwoChips =
    "device DS2431\n  serial 000000000001\n  memory 0000 11 22 33 44\nend\n"
    "device DS2433\n  serial 000000000002\nend\n";

// A bus file and owbus-emulator in front of it, with owbus configured for it.
class Emulated {
 public:
  explicit Emulated(const std::string& text = kTwoChips, const std::string& options = ",timeout=400")
      : path_(dir_.file("ds2480b.bus")) {
    std::ofstream(path_) << text;
    emulator_ = std::make_unique<EmulatorProcess>(path_);
    owbus_clear_faults();
    EXPECT_EQ(owbus_configure(bus(options).c_str()), 0) << owbus_last_error();
  }
  ~Emulated() {
    owbus_configure(nullptr);
    emulator_.reset();
  }
  std::string bus(const std::string& options) const { return "ds2480b:" + emulator_->path() + options; }
  EmulatorProcess& emulator() { return *emulator_; }

 private:
  tedskittest::ScratchDir dir_{"tedskit-ds2480b"};
  std::string path_;
  std::unique_ptr<EmulatorProcess> emulator_;
};

std::string lastError() { return owbus_last_error(); }

TEST(Ds2480b, StartsTheAdapterAndReportsItsRevisionAndBaudRate) {
  struct Case {
    const char* options;
    int32_t baud;
  };
  for (const Case c : {Case{"", 115200}, Case{",baud=9600", 9600}, Case{",baud=57600", 57600}}) {
    Emulated emulated(kTwoChips, c.options);
    RawBus bus;
    ASSERT_GT(bus.handle, 0) << lastError();
    owbus_adapter_info info{};
    ASSERT_EQ(owbus_get_adapter_info(&info), 0);
    EXPECT_STREQ(info.kind, "DS2480B");
    EXPECT_EQ(info.port, emulated.emulator().path());
    EXPECT_EQ(info.revision, 3);
    EXPECT_EQ(info.baud, c.baud) << c.options;
    EXPECT_EQ(
        std::string(owbus_adapter_description()),
        "DS2480B revision 3 on " + emulated.emulator().path() + " at " + std::to_string(c.baud) + " baud");
    EXPECT_TRUE(bus.reset());
  }
  owbus_adapter_info info{};
  EXPECT_EQ(owbus_get_adapter_info(&info), -1) << "no session";
}

TEST(Ds2480b, CarriesBytesWithE3hAndSearchesThroughTheAccelerator) {
  Emulated emulated;
  RawBus bus;
  ASSERT_GT(bus.handle, 0) << lastError();
  // A scratchpad row full of the byte that switches modes comes back intact.
  bus.reset();
  std::array<int16_t, 8> rom{};
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
  ASSERT_EQ(TMFamilySearchSetup(bus.handle, state.data(), 0x2D), 1);
  ASSERT_EQ(TMNext(bus.handle, state.data()), 1);
  TMRom(bus.handle, state.data(), rom.data());
  EXPECT_EQ(rom[0], 0x2D);
  ASSERT_EQ(TMAccess(bus.handle, state.data()), 1);
  std::vector<uint8_t> write{0x0F, 0x00, 0x00, 0xE3, 0xE3, 0xE1, 0xE3, 0xF1, 0xE3, 0xE3, 0xE3};
  std::vector<uint8_t> sent = write;
  TMBlockStream(bus.handle, write.data(), static_cast<int16_t>(write.size()));
  EXPECT_EQ(write, sent) << "every byte echoed, none taken as a mode switch";
  ASSERT_EQ(TMAccess(bus.handle, state.data()), 1);
  bus.send({0xAA});
  EXPECT_EQ(bus.read(11),
            (std::vector<uint8_t>{0x00, 0x00, 0x07, 0xE3, 0xE3, 0xE1, 0xE3, 0xF1, 0xE3, 0xE3, 0xE3}));

  // Every device once, with discrepancies the search can follow.
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> all{};
  int found = 0;
  while (TMNext(bus.handle, all.data()) == 1) ++found;
  EXPECT_EQ(found, 2);
}

TEST(Ds2480b, ManySearchesAndResetsLoseNoByte) {
  Emulated emulated;
  RawBus bus;
  ASSERT_GT(bus.handle, 0) << lastError();
  for (int pass = 0; pass < 100; ++pass) {
    std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
    ASSERT_EQ(TMNext(bus.handle, state.data()), 1) << pass;
    ASSERT_EQ(TMNext(bus.handle, state.data()), 1) << pass;
    ASSERT_EQ(TMNext(bus.handle, state.data()), 0) << pass;
    ASSERT_TRUE(bus.reset()) << pass;
  }
}

TEST(Ds2480b, ALostOrGarbledAnswerFailsTheCallAndTheAdapterIsBroughtBack) {
  struct Case {
    const char* fault;
    const char* says;
  };
  const Case cases[] = {
      {"lost 0 1", "lost answers to a reset: 0 of 1 bytes came back"},
      {"garble 0 1", "answered a reset with 0Dh"},
  };
  for (const Case& c : cases) {
    Emulated emulated;
    RawBus bus;
    ASSERT_GT(bus.handle, 0) << lastError();
    ASSERT_TRUE(emulated.emulator().control(std::string("fault ") + c.fault));
    EXPECT_EQ(TMTouchReset(bus.handle), -1) << c.fault;
    EXPECT_NE(lastError().find(c.says), std::string::npos) << lastError();
    EXPECT_NE(lastError().find("it was brought back into step"), std::string::npos) << lastError();
    EXPECT_EQ(TMTouchReset(bus.handle), OWBUS_RESET_PRESENCE) << c.fault << ": in step again";
  }
}

TEST(Ds2480b, AnAdapterThatStopsAnsweringIsAClearFailure) {
  Emulated emulated;
  RawBus bus;
  ASSERT_GT(bus.handle, 0) << lastError();
  ASSERT_TRUE(emulated.emulator().control("fault lost 0 -1"));
  EXPECT_EQ(TMTouchByte(bus.handle, 0xFF), -1);
  EXPECT_NE(lastError().find("could not be brought back"), std::string::npos) << lastError();
  EXPECT_EQ(TMTouchReset(bus.handle), -1);
  EXPECT_NE(lastError().find("does not answer"), std::string::npos) << lastError();
  ASSERT_TRUE(emulated.emulator().control("clear"));
  EXPECT_EQ(TMTouchReset(bus.handle), OWBUS_RESET_PRESENCE) << "back once it answers";
}

// A pseudo-terminal whose far end the test plays: silent, or echoing every byte.
class FakeDevice {
 public:
  explicit FakeDevice(bool echo) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master_);
    ::unlockpt(master_);
    char name[64];
    ::ptsname_r(master_, name, sizeof name);
    path_ = name;
    if (echo) {
      echoer_ = std::thread([this] {
        std::array<uint8_t, 256> buf{};
        while (!stop_) {
          pollfd p{master_, POLLIN, 0};
          if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
          const ssize_t n = ::read(master_, buf.data(), buf.size());
          if (n > 0 && ::write(master_, buf.data(), static_cast<size_t>(n)) != n) break;
        }
      });
    }
  }
  ~FakeDevice() {
    stop_ = true;
    if (echoer_.joinable()) echoer_.join();
    ::close(master_);
  }
  const std::string& path() const { return path_; }

 private:
  int master_ = -1;
  std::string path_;
  std::atomic<bool> stop_{false};
  std::thread echoer_;
};

// Opens and ends a session on the bus; the reason of a failure stays in `opened`.
std::string opened;
int32_t openBus(const std::string& bus) {
  EXPECT_EQ(owbus_configure(bus.c_str()), 0) << owbus_last_error();
  const int32_t handle = TMExtendedStartSession(1, 5, nullptr);
  opened = owbus_last_error();
  if (handle > 0) TMEndSession(handle);
  owbus_configure(nullptr);
  return handle;
}

TEST(Ds2480b, EveryWayOfNotReachingAnAdapterHasItsMessage) {
  EXPECT_EQ(openBus("ds2480b:/nonexistent/ttyUSB9"), 0);
  EXPECT_NE(opened.find("cannot open the serial port /nonexistent/ttyUSB9: No such file or directory"),
            std::string::npos)
      << opened;

  EXPECT_EQ(openBus("ds2480b:/dev/null"), 0);
  EXPECT_NE(opened.find("/dev/null is not a serial port"), std::string::npos) << opened;

  {
    FakeDevice silent(false);
    EXPECT_EQ(openBus("ds2480b:" + silent.path() + ",timeout=50"), 0);
    EXPECT_NE(opened.find("no DS2480B adapter answers on " + silent.path()), std::string::npos) << opened;
  }
  {
    FakeDevice echo(true);
    EXPECT_EQ(openBus("ds2480b:" + echo.path() + ",timeout=300"), 0);
    EXPECT_NE(opened.find("the device on " + echo.path() + " answers, but not as a DS2480B"),
              std::string::npos)
        << opened;
  }
  {
    Emulated emulated;
    const int taken = ::open(emulated.emulator().path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(taken, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(openBus(emulated.bus("")), 0);
    EXPECT_NE(opened.find("the serial port " + emulated.emulator().path() + " is in use by another program"),
              std::string::npos)
        << opened;
    ::close(taken);
    EXPECT_GT(openBus(emulated.bus(",timeout=400")), 0) << "free again: " << opened;
  }
}

TEST(Ds2480b, MalformedOptionsAreRefusedByName) {
  struct Case {
    const char* bus;
    const char* says;
  };
  const Case cases[] = {
      {"ds2480b:", "needs a serial device"},
      {"ds2480b:/dev/ttyUSB0,baud=4800", "baud takes 9600, 19200, 57600 or 115200"},
      {"ds2480b:/dev/ttyUSB0,speed=fast", "'speed=fast' is not an option"},
      {"ds2480b:/dev/ttyUSB0,parity=1", "unknown option 'parity'"},
      {"ds2480b:/dev/ttyUSB0,timeout=0", "timeout takes 1 to 60000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(owbus_configure(c.bus), -1) << c.bus;
    EXPECT_NE(lastError().find(c.says), std::string::npos) << lastError();
  }
  EXPECT_EQ(owbus_configure("ds2480b:/dev/ttyUSB0,baud=19200,timeout=900"), 0) << "nothing opened yet";
  owbus_configure(nullptr);
}

}  // namespace
