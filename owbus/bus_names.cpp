// Bus names and port numbers: which back end a session opens.
#include <charconv>
#include <optional>
#include <string_view>

#include "backends.h"
#include "ds2480b_backend.h"

namespace owbus {

namespace {

constexpr std::string_view kSim = "sim:";
constexpr std::string_view kUsbSim = "usbsim:";
constexpr std::string_view kDs2480b = "ds2480b:";
constexpr std::string_view kUsb = "usb";
constexpr int16_t kUsbPortType = 6;

constexpr const char* kExpected = "expected sim:PATH, ds2480b:DEVICE, usb, usb:N or usbsim:PATH";

}  // namespace

bool isVirtualTime(const std::string& bus) { return bus.starts_with(kSim) || bus.starts_with(kUsbSim); }

std::string serialDeviceForPort(int portNumber) {
  struct Range {
    int first;
    const char* prefix;
  };
  for (const Range r : {Range{1, "/dev/ttyS"}, Range{33, "/dev/ttyUSB"}, Range{65, "/dev/ttyACM"}}) {
    if (portNumber >= r.first && portNumber < r.first + 32)
      return r.prefix + std::to_string(portNumber - r.first);
  }
  return "";
}

std::string busForPort(int16_t portNumber, int16_t portType) {
  if (portType == kUsbPortType) return "usb:" + std::to_string(portNumber > 0 ? portNumber - 1 : 0);
  const std::string device = serialDeviceForPort(portNumber);
  return device.empty() ? "" : std::string(kDs2480b) + device;
}

namespace {

// What a bus name asks for, checked without opening anything.
struct BusName {
  enum class Kind { Sim, UsbSim, Ds2480b, Usb } kind;
  std::string where;  // path or device with options
  int usbIndex = 0;
};

std::optional<BusName> parseBusName(const std::string& bus, std::string& error) {
  if (bus.empty()) {
    error = "no 1-Wire bus configured: set TEDSKIT_BUS, for example sim:examples/sensor.bus";
    return std::nullopt;
  }
  auto needsPath = [&](std::string_view prefix, BusName::Kind kind) -> std::optional<BusName> {
    std::string path = bus.substr(prefix.size());
    if (path.empty()) {
      error = std::string(prefix) + " needs the path of a bus file";
      return std::nullopt;
    }
    return BusName{kind, std::move(path)};
  };
  if (bus.starts_with(kSim)) return needsPath(kSim, BusName::Kind::Sim);
  if (bus.starts_with(kUsbSim)) return needsPath(kUsbSim, BusName::Kind::UsbSim);
  if (bus.starts_with(kDs2480b)) {
    Ds2480bOptions options;
    if (!parseDs2480bOptions(bus.substr(kDs2480b.size()), options, error)) return std::nullopt;
    return BusName{BusName::Kind::Ds2480b, bus.substr(kDs2480b.size())};
  }
  if (bus == kUsb) return BusName{BusName::Kind::Usb, "", 0};
  if (bus.starts_with("usb:")) {
    const std::string_view number = std::string_view(bus).substr(4);
    int index = -1;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), index);
    if (ec != std::errc{} || end != number.data() + number.size() || index < 0) {
      error = "usb:N needs the number of the adapter, 0 for the first: '" + bus + "'";
      return std::nullopt;
    }
    return BusName{BusName::Kind::Usb, "", index};
  }
  error = "unknown 1-Wire bus '" + bus + "': " + kExpected;
  return std::nullopt;
}

}  // namespace

bool checkBusName(const std::string& bus, std::string& error) { return parseBusName(bus, error).has_value(); }

std::unique_ptr<Backend> openBackend(const std::string& bus, std::string& error) {
  const auto name = parseBusName(bus, error);
  if (!name) return nullptr;
  switch (name->kind) {
    case BusName::Kind::Sim:
      return openSimBackend(name->where, error);
    case BusName::Kind::UsbSim:
      return openUsbSimBackend(name->where, error);
    case BusName::Kind::Ds2480b:
      return openDs2480bBackend(name->where, error);
    case BusName::Kind::Usb:
      break;
  }
  return openUsbBackend(name->usbIndex, error);
}

}  // namespace owbus
