// usbsim:PATH: the DS2490 back end over an emulated DS2490 in front of a bus file.
#include "backends.h"
#include "busfile.h"
#include "ds2490_backend.h"
#include "ds2490_emulator.h"

namespace owbus {

namespace {

class EmulatedUsb final : public Ds2490Transport {
 public:
  explicit EmulatedUsb(std::string path)
      : file_(std::move(path)), bus_(clock_), device_(bus_, owbus::clock()) {}

  bool load(std::string& error) {
    if (!file_.load(bus_.chips, error)) return false;
    bus_.chips.push_back(makeAdapterIdChip());
    return true;
  }

  void control(uint8_t request, uint16_t value, uint16_t index) override {
    device_.control(request, value, index);
  }
  void bulkOut(std::span<const uint8_t> bytes) override { device_.bulkOut(bytes); }
  size_t bulkIn(std::span<uint8_t> into) override { return device_.bulkIn(into); }
  size_t readStatus(std::span<uint8_t> into) override { return device_.readStatus(into); }

  bool commit(std::string& error) override {
    if (!bus_.dirty()) return true;
    bus_.clearDirty();
    return file_.save(bus_.chips, error);
  }

 private:
  BusFile file_;
  Clock clock_;
  SimBus bus_;
  Ds2490Emulator device_;
};

}  // namespace

std::unique_ptr<Backend> openUsbSimBackend(const std::string& path, std::string& error) {
  auto transport = std::make_unique<EmulatedUsb>(path);
  if (!transport->load(error)) return nullptr;
  auto backend = std::make_unique<Ds2490Backend>(std::move(transport), "usbsim:" + path);
  if (!backend->start(error)) return nullptr;
  return backend;
}

}  // namespace owbus
