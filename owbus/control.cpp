// Back-end choice, the clock and the test hooks of the public interface.
#include <algorithm>
#include <ctime>

#include "crc.h"
#include "runtime.h"
#include "session.h"
#include "tedskit/owbus.h"

using namespace owbus;

extern "C" {

int32_t owbus_configure(const char* bus) {
  return guard<int32_t>(-2, [&]() -> int32_t {
    Session& s = session();
    if (!bus) {
      s.configured.reset();
      s.lastError.clear();
      return 0;
    }
    std::string error;
    if (!checkBusName(bus, error)) {
      s.lastError = error;
      return -1;
    }
    // A bus file is read now to report its errors early; an adapter is opened only by
    // the session.
    if (isVirtualTime(bus) && !openBackend(bus, error)) {
      s.lastError = error;
      return -2;
    }
    s.configured = bus;
    s.lastError.clear();
    return 0;
  });
}

const char* owbus_last_error(void) {
  return guard<const char*>("", [] { return session().lastError.c_str(); });
}

void owbus_sleep_ms(uint32_t ms) {
  guard([&] {
    if (guard<bool>(false, [] { return isVirtualTime(currentBus()); })) {
      owbus::clock().nowUs += static_cast<uint64_t>(ms) * 1000;
      return;
    }
    timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000L};
    while (nanosleep(&wait, &wait) != 0) {
    }
    // A real adapter's bus time counts the waits as well as its traffic.
    owbus::clock().nowUs += static_cast<uint64_t>(ms) * 1000;
  });
}

uint64_t owbus_bus_time_us(void) {
  return guard<uint64_t>(0, [] { return owbus::clock().nowUs - owbus::clock().originUs; });
}

uint64_t owbus_transactions(void) {
  return guard<uint64_t>(0, [] { return owbus::clock().transactions; });
}

void owbus_reset_counters(void) {
  guard([] {
    // The clock itself runs on, so chips that are programming finish on time.
    owbus::clock().originUs = owbus::clock().nowUs;
    owbus::clock().transactions = 0;
  });
}

void owbus_last_port(int16_t* port_number, int16_t* port_type) {
  guard([&] {
    if (port_number) *port_number = session().portNumber;
    if (port_type) *port_type = session().portType;
  });
}

int32_t owbus_set_fault(int32_t kind, int32_t skip, int32_t count) {
  return guard<int32_t>(-1, [&] { return faults().set(kind, skip, count) ? 0 : -1; });
}

void owbus_clear_faults(void) {
  guard([] { faults().clear(); });
}

int32_t owbus_choose_device(const uint8_t* rom) {
  return guard<int32_t>(-1, [&]() -> int32_t {
    Session& s = session();
    if (!rom) {
      s.chosen.reset();
      return 0;
    }
    Rom chosen{};
    std::copy(rom, rom + chosen.size(), chosen.begin());
    if (crc8(chosen) != 0) return -1;
    s.chosen = chosen;
    return 0;
  });
}

}  // extern "C"
