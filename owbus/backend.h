// The seam between the adapter calls and what carries the bytes: the simulated bus, a
// DS2480B serial adapter or a DS2490 USB adapter. Each back end gives raw bus
// operations; the search algorithm and session rules stay above it.
#ifndef TEDSKIT_OWBUS_BACKEND_H
#define TEDSKIT_OWBUS_BACKEND_H

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include "wire.h"

namespace owbus {

// An adapter that failed to carry an operation: it did not answer, answered garbage or
// lost bytes. The operation's result is unknown; the back end has tried to bring the
// adapter back into step before throwing (what() says whether that worked).
class AdapterError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the adapter (and the back end behind it) is, for diagnostics.
struct AdapterInfo {
  std::string kind;   // "sim", "DS2480B", "DS2490"
  std::string port;   // bus file, device file or USB address
  int revision = -1;  // chip revision the adapter reports, -1 when it has none
  int baud = 0;       // serial rate; 0 without a serial line
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual ResetResult reset() = 0;
  virtual uint8_t touchByte(uint8_t byte) = 0;
  virtual void block(std::span<uint8_t> bytes) {
    for (uint8_t& b : bytes) b = touchByte(b);
  }
  // Reset, Search ROM and one 64-bit search pass with the preferred directions.
  virtual SearchPass search(const Rom& preferred) = 0;
  // Called after every adapter call: a back end that keeps state elsewhere saves it.
  // false, with the reason in error, when that failed.
  virtual bool commit(std::string& error) {
    (void)error;
    return true;
  }
  virtual AdapterInfo info() const = 0;
};

// The back end a bus name gives ("sim:PATH", "ds2480b:DEVICE", "usb", "usb:N",
// "usbsim:PATH"); nullptr with the reason on failure.
std::unique_ptr<Backend> openBackend(const std::string& bus, std::string& error);
// Whether a bus name is well formed, without opening anything; false with the reason.
bool checkBusName(const std::string& bus, std::string& error);
// true when the bus name gives a back end that runs on the virtual clock.
bool isVirtualTime(const std::string& bus);
// The bus a port number opens when no bus is configured: 101 the first USB adapter,
// N a DS2480B on the serial device of port N.
std::string busForPort(int16_t portNumber, int16_t portType);
// The serial device file of port N (1-32 /dev/ttyS0-31, 33-64 /dev/ttyUSB0-31, 65-96
// /dev/ttyACM0-31); "" for any other number.
std::string serialDeviceForPort(int portNumber);

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_BACKEND_H
