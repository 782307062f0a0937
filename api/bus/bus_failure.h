// Why a bus operation failed, so that callers can tell a missing chip from a dead adapter
// or a write the chip's state refuses. Each is a Failure with the message for the user.
#ifndef TEDSKIT_API_BUS_BUS_FAILURE_H
#define TEDSKIT_API_BUS_BUS_FAILURE_H

#include <string>

#include "failure.h"

namespace teds {

enum class BusFault {
  Request,      // a ROM ID or channel that cannot be one
  Unavailable,  // the bus cannot be opened or its adapter fails
  NoChip,       // no TEDS chip answers where asked
  SeveralChips, // more than one TEDS chip answers and none was named
  NoTeds,       // the chip is blank
  Refused,      // the write cannot succeed on the chip as it is: nothing was written
  WriteFailed,  // the write was started and did not end well
};

class BusFailure : public Failure {
 public:
  BusFailure(BusFault fault, const std::string& message) : Failure(message), fault_(fault) {}
  BusFault fault() const { return fault_; }

 private:
  BusFault fault_;
};

}  // namespace teds

#endif
