// The diagnostics interface: the adapter of the session and the traffic sink.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raw_bus.h"
#include "temp_bus.h"

namespace {

struct Seen {
  std::vector<std::string> lines;
  std::vector<int32_t> kinds;
};

void collect(void* context, const owbus_traffic* event) {
  auto* seen = static_cast<Seen*>(context);
  seen->lines.emplace_back(event->text);
  seen->kinds.push_back(event->kind);
}

TEST(Diagnostics, TheSinkSeesResetsBytesAndSearchesAsTheyHappen) {
  TempBus sim("device DS2431\n  serial 000000000001\n  memory 0000 5A\nend\n");
  RawBus bus;
  Seen seen;
  owbus_set_traffic_sink(collect, &seen);
  bus.reset();
  bus.send({0xCC, 0xF0, 0x00, 0x00});
  EXPECT_EQ(bus.read(), 0x5A);
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
  ASSERT_EQ(TMNext(bus.handle, state.data()), 1);
  owbus_set_traffic_sink(nullptr, nullptr);
  bus.reset();

  const std::vector<std::string> expected{
      "reset: presence",
      "sent     CC\nreceived CC",
      "sent     F0\nreceived F0",
      "sent     00\nreceived 00",
      "sent     00\nreceived 00",
      "sent     FF\nreceived 5A",
      "search: found 2D 01 00 00 00 00 00 " +
          [] {
            const unsigned char rom[] = {0x2D, 0x01, 0, 0, 0, 0, 0};
            char crc[8];
            std::snprintf(crc, sizeof crc, "%02X", TMCRC(7, rom, 0, OWBUS_CRC8));
            return std::string(crc);
          }(),
  };
  EXPECT_EQ(seen.lines, expected);
  EXPECT_EQ(seen.kinds, (std::vector<int32_t>{OWBUS_TRAFFIC_RESET, OWBUS_TRAFFIC_BYTES, OWBUS_TRAFFIC_BYTES,
                                              OWBUS_TRAFFIC_BYTES, OWBUS_TRAFFIC_BYTES, OWBUS_TRAFFIC_BYTES,
                                              OWBUS_TRAFFIC_SEARCH}));
}

TEST(Diagnostics, NoPresenceAndAnEmptySearchAreReported) {
  TempBus sim("device DS2431\n  serial 000000000001\nend\n");
  RawBus bus;
  Seen seen;
  owbus_set_traffic_sink(collect, &seen);
  owbus_set_fault(OWBUS_FAULT_NO_PRESENCE, 0, 1);
  EXPECT_FALSE(bus.reset());
  std::array<unsigned char, OWBUS_STATE_BUFFER_SIZE> state{};
  owbus_set_fault(OWBUS_FAULT_NO_PRESENCE, 0, 1);
  EXPECT_EQ(TMNext(bus.handle, state.data()), 0);
  owbus_set_traffic_sink(nullptr, nullptr);
  EXPECT_EQ(seen.lines, (std::vector<std::string>{"reset: no presence", "search: nobody answered"}));
}

TEST(Diagnostics, TheAdapterOfTheSimulatedBus) {
  TempBus sim("device DS2431\n  serial 000000000001\nend\n");
  owbus_adapter_info info{};
  EXPECT_EQ(owbus_get_adapter_info(&info), -1) << "before a session";
  EXPECT_STREQ(owbus_adapter_description(), "");
  RawBus bus;
  ASSERT_EQ(owbus_get_adapter_info(&info), 0);
  EXPECT_STREQ(info.kind, "sim");
  EXPECT_EQ(info.port, sim.path());
  EXPECT_EQ(info.revision, -1);
  EXPECT_EQ(info.baud, 0);
  EXPECT_EQ(std::string(owbus_adapter_description()), "simulated bus " + sim.path());
  EXPECT_EQ(owbus_get_adapter_info(nullptr), -1);
}

}  // namespace
