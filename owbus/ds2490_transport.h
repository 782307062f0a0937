// What the DS2490 back end needs of USB: vendor requests, the two bulk pipes and the
// status pipe. libusb provides one; the emulator another, for tests without an adapter.
#ifndef TEDSKIT_OWBUS_DS2490_TRANSPORT_H
#define TEDSKIT_OWBUS_DS2490_TRANSPORT_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace owbus {

class Ds2490Transport {
 public:
  virtual ~Ds2490Transport() = default;
  // A vendor request without data stage (bmRequestType 40h). Each throws AdapterError
  // when the transfer fails.
  virtual void control(uint8_t request, uint16_t value, uint16_t index) = 0;
  // Bulk out to the 1-Wire side (EP2).
  virtual void bulkOut(std::span<const uint8_t> bytes) = 0;
  // Bulk in from the 1-Wire side (EP3); returns the bytes read.
  virtual size_t bulkIn(std::span<uint8_t> into) = 0;
  // One status packet from the interrupt pipe (EP1); returns its length.
  virtual size_t readStatus(std::span<uint8_t> into) = 0;
  // Saves what the transport keeps elsewhere (an emulator's bus file).
  virtual bool commit(std::string& error) {
    (void)error;
    return true;
  }
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_DS2490_TRANSPORT_H
