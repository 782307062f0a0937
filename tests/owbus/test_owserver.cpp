// owbus-emulator proven against an independent DS2480B host: Debian's owserver drives
// it over the pseudo-terminal, and ow-shell's owdir, owread and owwrite go through it.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "child_process.h"
#include "../support/scratch_dir.h"
#include "emulator_process.h"
#include "raw_bus.h"

namespace {

// A free port on the loopback address (the server binds it right after).
int freePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  const bool ok = ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) == 0;
  ::close(s);
  return ok ? ntohs(a.sin_port) : 0;
}

std::vector<uint8_t> pattern(size_t n) {
  std::vector<uint8_t> b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(0x30 + i * 11);
  return b;
}

std::string memoryLines(const std::vector<uint8_t>& bytes) {
  std::string out;
  char buf[24];
  for (size_t a = 0; a < bytes.size(); a += 16) {
    std::snprintf(buf, sizeof buf, "%04zX", a);
    out += "  memory " + std::string(buf);
    for (size_t i = a; i < a + 16; ++i) {
      std::snprintf(buf, sizeof buf, " %02X", bytes[i]);
      out += buf;
    }
    out += "\n";
  }
  return out;
}

// The DS2431's 128 data bytes as the bus file holds them, read through our own sim.
std::vector<uint8_t> busFileMemory(const std::string& path) {
  EXPECT_EQ(owbus_configure(("sim:" + path).c_str()), 0) << owbus_last_error();
  std::vector<uint8_t> memory;
  {
    RawBus bus;
    bus.skipRom();
    bus.send({0xF0, 0x00, 0x00});
    memory = bus.read(128);
  }
  owbus_configure(nullptr);
  return memory;
}

bool installed(const char* program) {
  return runProgram({"sh", "-c", std::string("command -v ") + program}).status == 0;
}

TEST(Owserver, ListsReadsAndWritesTheEmulatedChips) {
  for (const char* program : {"owserver", "owdir", "owread", "owwrite"})
    ASSERT_TRUE(installed(program)) << program << " is missing: install owserver and ow-shell (make deps)";
  const tedskittest::ScratchDir scratch("tedskit-owserver");
  const std::string& dir = scratch.path();
  // The owserver log goes into the output of a failure, before the directory is removed.
  struct ShowLogOnFailure {
    std::string log;
    ~ShowLogOnFailure() {
      if (!testing::Test::HasFailure()) return;
      std::ifstream in(log);
      std::cerr << "owserver said:\n" << in.rdbuf() << "\n";
    }
  } showLog{dir + "/owserver.log"};
  const std::string busFile = dir + "/interop.bus";
  const std::vector<uint8_t> memory = pattern(128);
  std::ofstream(busFile) << "device DS2431\n  serial 665544332211\n" + memoryLines(memory) + "end\n"
                         << "device DS2433\n  serial 000000000A0B\nend\n";

  EmulatorProcess emulator(busFile);
  ASSERT_FALSE(emulator.path().empty());
  const int port = freePort();
  ASSERT_GT(port, 0);
  const std::string server = "127.0.0.1:" + std::to_string(port);
  BackgroundProgram owserver({"owserver", "-d", emulator.path(), "-p", server, "--foreground", "--nozero"},
                             dir + "/owserver.log", {"LD_PRELOAD=" PTY_FLUSH_SHIM});
  ASSERT_GT(owserver.pid(), 0);

  // The listing, once the server is up.
  RunResult listing;
  for (int tries = 0; tries < 100; ++tries) {
    listing = runProgram({"owdir", "-s", server, "/"});
    if (listing.status == 0 && listing.out.find("/2D.") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_NE(listing.out.find("/2D.112233445566"), std::string::npos) << listing.out;
  EXPECT_NE(listing.out.find("/23.0B0A00000000"), std::string::npos) << listing.out;

  const RunResult read = runProgram({"owread", "-s", server, "/uncached/2D.112233445566/memory"});
  ASSERT_EQ(read.status, 0);
  EXPECT_EQ(std::vector<uint8_t>(read.out.begin(), read.out.end()), memory);

  // From a row boundary: the host checks what it wrote against the start of the row.
  const RunResult write = runProgram({"owwrite", "-s", server, "/2D.112233445566/pages/page.1", "ABCDEFGH"});
  ASSERT_EQ(write.status, 0);
  std::vector<uint8_t> expected = memory;
  const std::string text = "ABCDEFGH";
  std::copy(text.begin(), text.end(), expected.begin() + 32);
  EXPECT_EQ(busFileMemory(busFile), expected) << "the bus file changed exactly at page 1's first row";

  const RunResult again = runProgram({"owread", "-s", server, "/uncached/2D.112233445566/pages/page.1"});
  EXPECT_EQ(again.out.substr(0, 8), text);
}

}  // namespace
