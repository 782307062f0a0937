#include "session.h"

#include <cstdlib>

namespace owbus {

Session& session() {
  static Session instance;
  return instance;
}

std::string currentBus() {
  const Session& s = session();
  if (s.configured) return *s.configured;
  const char* env = std::getenv("TEDSKIT_BUS");
  return env ? env : "";
}

Backend* backendFor(int32_t handle) {
  Session& s = session();
  return handle > 0 && handle == s.handle ? s.backend.get() : nullptr;
}

bool commit() {
  Session& s = session();
  if (!s.backend) return true;
  std::string error;
  if (s.backend->commit(error)) return true;
  s.lastError = error;
  return false;
}

}  // namespace owbus
