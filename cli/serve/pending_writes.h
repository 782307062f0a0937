// The two steps of a bus write: prepare shows the user the diff and the chip and keeps
// the plan under a fresh random ID; only a confirmation naming that ID and the chip's ROM
// ID writes it, once. A page that was not shown the plan cannot guess the ID. An image
// that came with a bad checksum is written (with a new one) only when the confirmation
// also says so.
#ifndef TEDSKIT_CLI_SERVE_PENDING_WRITES_H
#define TEDSKIT_CLI_SERVE_PENDING_WRITES_H

#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "bus_access.h"

namespace teds::serve {

struct PendingWrite {
  std::string bus;
  std::string text;  // the image to write
  WritePlan plan;
  bool renewsChecksum = false;  // the image came with a checksum that did not match
};

class PendingWrites {
 public:
  // Keeps the write and returns its ID.
  std::string add(PendingWrite write);
  // The write of that ID and ROM, taken out so it runs at most once. An unknown or
  // expired ID is an ApiError 404; another ROM ID is 409 and drops the write. A write
  // that renews a bad checksum without forced is 422 and stays, to be confirmed again.
  PendingWrite take(const std::string& id, const std::string& rom, bool forced);

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr auto kLifetime = std::chrono::minutes(10);
  void dropExpired(Clock::time_point now);

  std::mutex lock_;
  std::map<std::string, std::pair<Clock::time_point, PendingWrite>> writes_;
};

}  // namespace teds::serve

#endif
