// The two emulated adapters under any host traffic: the DS2480B's byte stream and the
// DS2490's requests and bulk transfers, in front of a bus holding every chip model.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "owbus/backend.h"
#include "owbus/busfile.h"
#include "owbus/ds2480b_emulator.h"
#include "owbus/ds2490_emulator.h"

namespace {

constexpr const char* kBus =
    "device DS2430A\n serial 000000000001\nend\n"
    "device DS2431\n serial 000000000002\nend\n"
    "device DS2433\n serial 000000000003\nend\n"
    "device DS28EC20\n serial 000000000004\nend\n"
    "device DS2406\n serial 000000000005\nend\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace owbus;
  Clock own;
  SimBus bus(own);
  std::string error;
  if (!parseBusFile(kBus, "fuzz", bus.chips, error)) std::abort();
  bus.chips.push_back(makeAdapterIdChip());
  if (size == 0) return 0;
  if (data[0] & 1) {
    Ds2480bEmulator adapter(bus);
    std::vector<uint8_t> answers;
    for (size_t i = 1; i < size; ++i) adapter.feed(data[i], answers);
    return 0;
  }
  Ds2490Emulator bridge(bus, own);
  size_t i = 1;
  auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
  while (i < size) {
    const uint8_t op = next();
    try {
      switch (op & 3) {
        case 0: {
          const uint16_t value = static_cast<uint16_t>(next() | (next() << 8));
          const uint16_t index = static_cast<uint16_t>(next() | (next() << 8));
          bridge.control(op >> 6, value, index);
          break;
        }
        case 1: {
          std::vector<uint8_t> out(next() % 80, 0xFF);
          for (uint8_t& b : out) b = next();
          bridge.bulkOut(out);
          break;
        }
        case 2: {
          std::vector<uint8_t> in(next() % 140);
          bridge.bulkIn(in);
          break;
        }
        default: {
          std::vector<uint8_t> status(next() % 40);
          bridge.readStatus(status);
          break;
        }
      }
    } catch (const AdapterError&) {
    }
  }
  return 0;
}
