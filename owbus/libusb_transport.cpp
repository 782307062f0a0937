// usb and usb:N: the DS2490 back end over libusb, with the adapter taken from the
// kernel's ds2490 driver for the session and given back at its end.
#include <libusb.h>

#include <vector>

#include "backends.h"
#include "ds2490_backend.h"
#include "ds2490_protocol.h"

namespace owbus {

namespace {

using namespace ds2490;

constexpr unsigned kTransferTimeoutMs = 1000;
constexpr unsigned kStatusTimeoutMs = 100;
// bmRequestType of every command: vendor request, host to device, device recipient.
constexpr uint8_t kVendorOut = 0x40;

std::string usbError(int code) { return libusb_strerror(code); }

class LibusbTransport final : public Ds2490Transport {
 public:
  LibusbTransport(libusb_context* context, libusb_device_handle* handle, bool reattach)
      : context_(context), handle_(handle), reattach_(reattach) {}
  ~LibusbTransport() override {
    libusb_release_interface(handle_, kInterface);
    if (reattach_) libusb_attach_kernel_driver(handle_, kInterface);
    libusb_close(handle_);
    libusb_exit(context_);
  }
  LibusbTransport(const LibusbTransport&) = delete;
  LibusbTransport& operator=(const LibusbTransport&) = delete;

  void control(uint8_t request, uint16_t value, uint16_t index) override {
    const int r =
        libusb_control_transfer(handle_, kVendorOut, request, value, index, nullptr, 0, kTransferTimeoutMs);
    if (r < 0) throw AdapterError("the DS2490 refused a command: " + usbError(r));
  }

  void bulkOut(std::span<const uint8_t> bytes) override {
    int done = 0;
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());
    const int r = libusb_bulk_transfer(handle_, kBulkOutEndpoint, copy.data(), static_cast<int>(copy.size()),
                                       &done, kTransferTimeoutMs);
    if (r < 0 || done != static_cast<int>(copy.size()))
      throw AdapterError("the DS2490 took " + std::to_string(done) + " of " + std::to_string(copy.size()) +
                         " bytes: " + usbError(r));
  }

  size_t bulkIn(std::span<uint8_t> into) override {
    int done = 0;
    const int r = libusb_bulk_transfer(handle_, kBulkInEndpoint, into.data(), static_cast<int>(into.size()),
                                       &done, kTransferTimeoutMs);
    if (r < 0) throw AdapterError("cannot read from the DS2490: " + usbError(r));
    return static_cast<size_t>(done);
  }

  size_t readStatus(std::span<uint8_t> into) override {
    int done = 0;
    const int r = libusb_interrupt_transfer(handle_, kStatusEndpoint, into.data(),
                                            static_cast<int>(into.size()), &done, kStatusTimeoutMs);
    if (r < 0 && r != LIBUSB_ERROR_TIMEOUT)
      throw AdapterError("cannot read the DS2490's status: " + usbError(r));
    return static_cast<size_t>(done);
  }

 private:
  libusb_context* context_;
  libusb_device_handle* handle_;
  bool reattach_;
};

// The DS2490 adapters on the system, in libusb's order.
std::vector<libusb_device*> findAdapters(libusb_device** list, ssize_t count) {
  std::vector<libusb_device*> found;
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device_descriptor d{};
    if (libusb_get_device_descriptor(list[i], &d) == 0 && d.idVendor == kVendorId &&
        d.idProduct == kProductId)
      found.push_back(list[i]);
  }
  return found;
}

// Claims the adapter: kernel driver off, configuration 1, interface 0, alternate setting
// 3, clean pipes. "" on success, else the reason.
std::string claim(libusb_device_handle* handle, bool& reattach) {
  reattach = false;
  const int active = libusb_kernel_driver_active(handle, kInterface);
  if (active == 1) {
    const int r = libusb_detach_kernel_driver(handle, kInterface);
    if (r < 0) return "the kernel's ds2490 driver cannot be detached: " + usbError(r);
    reattach = true;
  }
  int configuration = 0;
  if (libusb_get_configuration(handle, &configuration) == 0 && configuration != 1) {
    if (const int r = libusb_set_configuration(handle, 1); r < 0)
      return "cannot set configuration 1: " + usbError(r);
  }
  if (const int r = libusb_claim_interface(handle, kInterface); r < 0) {
    return r == LIBUSB_ERROR_BUSY ? "it is in use by another program" : "cannot claim it: " + usbError(r);
  }
  if (const int r = libusb_set_interface_alt_setting(handle, kInterface, kAltSetting); r < 0) {
    libusb_release_interface(handle, kInterface);
    return "cannot select its alternate setting 3: " + usbError(r);
  }
  for (uint8_t endpoint : {kStatusEndpoint, kBulkOutEndpoint, kBulkInEndpoint})
    libusb_clear_halt(handle, endpoint);
  return "";
}

}  // namespace

std::unique_ptr<Backend> openUsbBackend(int index, std::string& error) {
  const std::string name = "usb:" + std::to_string(index);
  libusb_context* context = nullptr;
  if (const int r = libusb_init(&context); r < 0) {
    error = "no DS2490 adapter found: libusb cannot start (" + usbError(r) + ")";
    return nullptr;
  }
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context, &list);
  if (count < 0) {
    error = "no DS2490 adapter found: libusb cannot list the USB devices (" +
            usbError(static_cast<int>(count)) + ")";
    libusb_exit(context);
    return nullptr;
  }
  const std::vector<libusb_device*> adapters = findAdapters(list, count);
  if (adapters.empty() || static_cast<size_t>(index) >= adapters.size()) {
    error = adapters.empty() ? "no DS2490 adapter found (no USB device 04FA:2490 is attached)"
                             : "no DS2490 adapter found as " + name + " (" + std::to_string(adapters.size()) +
                                   " attached; usb:0 is the first)";
    libusb_free_device_list(list, 1);
    libusb_exit(context);
    return nullptr;
  }
  libusb_device* device = adapters[static_cast<size_t>(index)];
  const std::string port = name + " (USB bus " + std::to_string(libusb_get_bus_number(device)) + " device " +
                           std::to_string(libusb_get_device_address(device)) + ")";
  libusb_device_handle* handle = nullptr;
  const int opened = libusb_open(device, &handle);
  libusb_free_device_list(list, 1);
  if (opened < 0) {
    error = "the DS2490 adapter " + port + " cannot be opened: " + usbError(opened);
    if (opened == LIBUSB_ERROR_ACCESS)
      error += " (install the udev rule 60-tedskit-ds2490.rules, see the README)";
    libusb_exit(context);
    return nullptr;
  }
  bool reattach = false;
  if (const std::string reason = claim(handle, reattach); !reason.empty()) {
    error = "the DS2490 adapter " + port + ": " + reason;
    if (reattach) libusb_attach_kernel_driver(handle, kInterface);
    libusb_close(handle);
    libusb_exit(context);
    return nullptr;
  }
  auto backend =
      std::make_unique<Ds2490Backend>(std::make_unique<LibusbTransport>(context, handle, reattach), port);
  if (!backend->start(error)) return nullptr;
  return backend;
}

}  // namespace owbus
