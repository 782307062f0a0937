// The back ends a bus name can open, one opener each; openBackend() chooses by prefix.
#ifndef TEDSKIT_OWBUS_BACKENDS_H
#define TEDSKIT_OWBUS_BACKENDS_H

#include <memory>
#include <string>

#include "backend.h"

namespace owbus {

// A simulated bus from the bus file at path.
std::unique_ptr<Backend> openSimBackend(const std::string& path, std::string& error);
// A DS2480B on a serial device: "DEVICE" or "DEVICE,baud=N".
std::unique_ptr<Backend> openDs2480bBackend(const std::string& where, std::string& error);
// The index-th DS2490 USB adapter (0 the first) through libusb.
std::unique_ptr<Backend> openUsbBackend(int index, std::string& error);
// The DS2490 back end driving an emulated DS2490 in front of the bus file at path.
std::unique_ptr<Backend> openUsbSimBackend(const std::string& path, std::string& error);

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_BACKENDS_H
