// The DS2490 back end: a USB 1-Wire bridge (DS9490R) driven through a Ds2490Transport
// with immediate commands, bounded status polls, recovery by RESET DEVICE, and the
// search done bit by bit, so that every discrepancy is exact.
#ifndef TEDSKIT_OWBUS_DS2490_BACKEND_H
#define TEDSKIT_OWBUS_DS2490_BACKEND_H

#include <memory>
#include <string>
#include <vector>

#include "backend.h"
#include "ds2490_protocol.h"
#include "ds2490_transport.h"

namespace owbus {

class Ds2490Backend final : public Backend {
 public:
  // Status polls before an unfinished command counts as stuck.
  static constexpr int kMaxPolls = 100;

  Ds2490Backend(std::unique_ptr<Ds2490Transport> transport, std::string port);
  // RESET DEVICE and the mode settings, then one status packet to show it answers.
  bool start(std::string& error);

  ResetResult reset() override;
  uint8_t touchByte(uint8_t byte) override;
  void block(std::span<uint8_t> bytes) override;
  // A search pass; one that ends on the adapter's own ID chip goes on to the next device.
  SearchPass search(const Rom& preferred) override;
  bool commit(std::string& error) override { return transport_->commit(error); }
  AdapterInfo info() const override { return AdapterInfo{"DS2490", port_, -1, 0}; }

 private:
  void setModes();
  void comm(uint16_t value, uint16_t index);
  // Polls until the bridge is idle with `wanted` bytes waiting on EP3, then reads them;
  // returns the result bytes posted meanwhile.
  std::vector<uint8_t> finish(std::span<uint8_t> into, const char* what);
  [[noreturn]] void recover(const std::string& what);
  bool bit(bool value);
  SearchPass searchOnce(const Rom& preferred);

  std::unique_ptr<Ds2490Transport> transport_;
  std::string port_;
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_DS2490_BACKEND_H
