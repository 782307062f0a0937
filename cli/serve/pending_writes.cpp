#include "pending_writes.h"

#include "api_error.h"
#include "http_guard.h"

namespace teds::serve {

void PendingWrites::dropExpired(Clock::time_point now) {
  std::erase_if(writes_, [&](const auto& entry) { return now - entry.second.first > kLifetime; });
}

std::string PendingWrites::add(PendingWrite write) {
  const std::lock_guard hold(lock_);
  const auto now = Clock::now();
  dropExpired(now);
  std::string id = randomToken();
  writes_.emplace(id, std::make_pair(now, std::move(write)));
  return id;
}

PendingWrite PendingWrites::take(const std::string& id, const std::string& rom, bool forced) {
  const std::lock_guard hold(lock_);
  dropExpired(Clock::now());
  const auto at = writes_.find(id);
  if (at == writes_.end()) {
    throw ApiError(404, "no prepared write '" + id + "' (each is written once and kept 10 minutes)");
  }
  if (rom != at->second.second.plan.chip.rom) {
    const std::string prepared = at->second.second.plan.chip.rom;
    writes_.erase(at);
    throw ApiError(409, "the write was prepared for " + prepared + ", not '" + rom +
                            "'; nothing written, prepare it again");
  }
  if (at->second.second.renewsChecksum) refuseUnforcedChecksum(forced);
  PendingWrite write = std::move(at->second.second);
  writes_.erase(at);
  return write;
}

}  // namespace teds::serve
