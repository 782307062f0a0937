// The chip models under any host traffic: resets, bytes, searches and waits in any order
// on a bus holding every model, including one behind a switch channel.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "owbus/busfile.h"
#include "owbus/simbus.h"

namespace {

constexpr const char* kBus =
    "device DS2430A\n serial 000000000001\nend\n"
    "device DS2431\n serial 000000000002\n memory 0080 00 AA 55 00 00\nend\n"
    "device DS2433\n serial 000000000003\nend\n"
    "device DS28EC20\n serial 000000000004\nend\n"
    "device DS2406\n serial 000000000005\nend\n"
    "device DS2431\n serial 000000000006\n channel 2\nend\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  owbus::SimBus bus;
  std::string error;
  if (!owbus::parseBusFile(kBus, "fuzz", bus.chips, error)) std::abort();
  size_t i = 0;
  auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0xFF; };
  while (i < size) {
    const uint8_t op = next();
    switch (op & 3) {
      case 0:
        bus.reset();
        break;
      case 1:
        bus.touch(next());
        break;
      case 2: {
        owbus::Rom preferred{};
        for (uint8_t& b : preferred) b = next();
        bus.search(preferred);
        break;
      }
      default:
        owbus::clock().nowUs += (op >> 2) * 1000u;
        break;
    }
  }
  return 0;
}
