// A serial line as the DS2480B back end needs it: bytes out, bytes back within a
// deadline, a BREAK and a baud rate. The terminal device is one; tests and the fuzzer
// plug in others.
#ifndef TEDSKIT_OWBUS_SERIAL_LINK_H
#define TEDSKIT_OWBUS_SERIAL_LINK_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace owbus {

class SerialLink {
 public:
  virtual ~SerialLink() = default;
  // Sends every byte; throws AdapterError when the line refuses them.
  virtual void write(std::span<const uint8_t> bytes) = 0;
  // Reads into `into` until it is full or timeoutMs has passed; returns the bytes read.
  virtual size_t read(std::span<uint8_t> into, int timeoutMs) = 0;
  // Waits until what was written has left (on a pseudo-terminal this returns at once).
  virtual void drain() = 0;
  virtual void sendBreak() = 0;
  virtual void setBaud(int baud) = 0;
  virtual void pause(int ms) = 0;
  // The device file, for messages.
  virtual const std::string& name() const = 0;
};

// Opens a terminal device raw at 9600 baud 8N1 and takes an exclusive lock on it, as
// serial tools do. nullptr with the reason when it cannot be opened, is not a terminal
// or is locked by another program.
std::unique_ptr<SerialLink> openTty(const std::string& path, std::string& error);

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_SERIAL_LINK_H
