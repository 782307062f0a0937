// The sim back end: a SimBus loaded from a bus file and saved back to it.
#include "backend.h"
#include "busfile.h"
#include "simbus.h"

namespace owbus {

namespace {

constexpr std::string_view kSimPrefix = "sim:";

class SimBackend final : public Backend {
 public:
  explicit SimBackend(std::string path) : path_(std::move(path)) {}
  bool load(std::string& error) { return loadBusFile(path_, bus_.chips, error); }

  bool reset() override { return bus_.reset(); }

  uint8_t touchByte(uint8_t byte) override {
    uint8_t back = bus_.touch(byte);
    // The adapter's view of the slot, where the faults that corrupt it strike.
    if (byte != 0xFF && faults().fire(Fault::EchoMismatch)) back ^= 0x01;
    if (byte == 0xFF && faults().fire(Fault::FlipBit)) back ^= 0x01;
    return back;
  }

  SearchPass search(const Rom& preferred) override { return bus_.search(preferred); }

  bool commit(std::string& error) override {
    if (!bus_.dirty()) return true;
    bus_.clearDirty();
    return saveBusFile(path_, bus_.chips, error);
  }

 private:
  std::string path_;
  SimBus bus_;
};

}  // namespace

bool isVirtualTime(const std::string& bus) { return bus.starts_with(kSimPrefix); }

std::unique_ptr<Backend> openBackend(const std::string& bus, std::string& error) {
  if (bus.empty()) {
    error = "no 1-Wire bus configured: set TEDSKIT_BUS, for example sim:examples/sensor.bus";
    return nullptr;
  }
  if (!isVirtualTime(bus)) {
    error = "unknown 1-Wire bus '" + bus + "': expected sim:PATH";
    return nullptr;
  }
  const std::string path = bus.substr(kSimPrefix.size());
  if (path.empty()) {
    error = "sim: needs the path of a bus file";
    return nullptr;
  }
  auto backend = std::make_unique<SimBackend>(path);
  if (!backend->load(error)) return nullptr;
  return backend;
}

}  // namespace owbus
