// A simulated bus for one test: the bus file lives in a fresh temporary folder and owbus
// is pointed at it; faults and counters start clean.
#ifndef TEDSKIT_TESTS_OWBUS_TEMP_BUS_H
#define TEDSKIT_TESTS_OWBUS_TEMP_BUS_H

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tedskit/owbus.h"

class TempBus {
 public:
  explicit TempBus(const std::string& text) {
    static int serial = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("tedskit-bus-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "test.bus").string();
    std::ofstream(path_) << text;
    owbus_clear_faults();
    EXPECT_EQ(owbus_configure(("sim:" + path_).c_str()), 0) << owbus_last_error();
    owbus_reset_counters();
  }
  ~TempBus() {
    owbus_clear_faults();
    owbus_configure(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
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

 private:
  std::filesystem::path dir_;
  std::string path_;
};

#endif  // TEDSKIT_TESTS_OWBUS_TEMP_BUS_H
