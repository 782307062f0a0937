// The one adapter session of the process, and the back-end choice that opens it.
#ifndef TEDSKIT_OWBUS_SESSION_H
#define TEDSKIT_OWBUS_SESSION_H

#include <memory>
#include <optional>
#include <string>

#include "backend.h"
#include "base/guard.h"

namespace owbus {

struct Session {
  std::unique_ptr<Backend> backend;
  int32_t handle = 0;
  int32_t nextHandle = 1;
  int16_t portNumber = -1;
  int16_t portType = -1;
  std::optional<std::string> configured;  // set by owbus_configure; else TEDSKIT_BUS
  std::string lastError;
  // The one device a caller works with (owbus_choose_device), and whether the last bus
  // operation was a reset, so that the ROM command after it can be addressed to it.
  std::optional<Rom> chosen;
  bool afterReset = false;
};

Session& session();
// The bus name in force: the configured one, else TEDSKIT_BUS, else "".
std::string currentBus();
// The back end of a valid handle, else nullptr.
Backend* backendFor(int32_t handle);
// Saves what the last call changed: false when it could not be saved, the reason kept
// for owbus_last_error.
bool commit();

using tedskit::base::guard;

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_SESSION_H
