// The sim back end: a SimBus loaded from a bus file and saved back to it.
#include "backends.h"
#include "busfile.h"
#include "simbus.h"

namespace owbus {

namespace {

class SimBackend final : public Backend {
 public:
  explicit SimBackend(std::string path) : file_(std::move(path)) {}
  bool load(std::string& error) { return file_.load(bus_.chips, error); }

  ResetResult reset() override { return bus_.reset(); }
  uint8_t touchByte(uint8_t byte) override { return bus_.adapterTouch(byte); }
  SearchPass search(const Rom& preferred) override { return bus_.search(preferred); }

  bool commit(std::string& error) override {
    if (!bus_.dirty()) return true;
    bus_.clearDirty();
    return file_.save(bus_.chips, error);
  }

  AdapterInfo info() const override { return AdapterInfo{"sim", file_.path(), -1, 0}; }

 private:
  BusFile file_;
  SimBus bus_;
};

}  // namespace

std::unique_ptr<Backend> openSimBackend(const std::string& path, std::string& error) {
  if (path.empty()) {
    error = "sim: needs the path of a bus file";
    return nullptr;
  }
  auto backend = std::make_unique<SimBackend>(path);
  if (!backend->load(error)) return nullptr;
  return backend;
}

}  // namespace owbus
