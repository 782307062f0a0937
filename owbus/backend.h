// The seam between the adapter calls and what carries the bytes: a simulated bus today,
// a real adapter later. Each back end gives raw bus operations; the search algorithm
// and session rules stay above it.
#ifndef TEDSKIT_OWBUS_BACKEND_H
#define TEDSKIT_OWBUS_BACKEND_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "wire.h"

namespace owbus {

class Backend {
 public:
  virtual ~Backend() = default;
  // true when a presence pulse answered.
  virtual bool reset() = 0;
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
};

// The back end a bus name gives ("sim:PATH"); nullptr with the reason on failure.
std::unique_ptr<Backend> openBackend(const std::string& bus, std::string& error);
// true when the bus name gives a back end that runs on the virtual clock.
bool isVirtualTime(const std::string& bus);

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_BACKEND_H
