// The DS2480B back end: a serial 1-Wire line driver (DS9097U-style adapters) on a
// SerialLink, in flexible speed, with bounded waits for every answer and
// resynchronisation after a lost or garbled one.
#ifndef TEDSKIT_OWBUS_DS2480B_BACKEND_H
#define TEDSKIT_OWBUS_DS2480B_BACKEND_H

#include <memory>
#include <string>
#include <vector>

#include "backend.h"
#include "serial_link.h"

namespace owbus {

struct Ds2480bOptions {
  std::string device;
  int baud = 115200;          // asked for once the adapter answers at 9600; 9600 stays
  int answerTimeoutMs = 500;  // beyond the time the traffic itself takes
};

// "DEVICE[,baud=N][,timeout=MS]"; false with the reason when malformed.
bool parseDs2480bOptions(const std::string& where, Ds2480bOptions& options, std::string& error);

class Ds2480bBackend final : public Backend {
 public:
  Ds2480bBackend(std::unique_ptr<SerialLink> link, Ds2480bOptions options);
  // Power-up: BREAK, the timing reset, the configuration read back and checked, the
  // switch to the asked-for baud rate. false with the reason when no DS2480B answers.
  bool start(std::string& error);

  ResetResult reset() override;
  uint8_t touchByte(uint8_t byte) override;
  void block(std::span<uint8_t> bytes) override;
  SearchPass search(const Rom& preferred) override;
  AdapterInfo info() const override;

 private:
  enum class Mode { Command, Data };

  bool configure(std::string& error);
  bool configureOnce(int quietMs, bool& answered, std::string& error);
  void switchBaud();
  // Sends out, reads `expected` answer bytes; on a short answer resynchronises and throws.
  std::vector<uint8_t> exchange(const std::vector<uint8_t>& out, size_t expected, uint64_t wireUs,
                                const char* what);
  void toCommandMode(std::vector<uint8_t>& out);
  void toDataMode(std::vector<uint8_t>& out);
  // Reads until the line has been quiet for quietMs; returns how many bytes came.
  size_t readOff(int quietMs);
  [[noreturn]] void failAndResync(const std::string& what);
  bool resync(std::string& error);
  uint64_t serialUs(size_t bytes) const;

  std::unique_ptr<SerialLink> link_;
  Ds2480bOptions options_;
  Mode mode_ = Mode::Command;
  int baud_ = 9600;
  int revision_ = -1;
  bool inStep_ = false;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_DS2480B_BACKEND_H
