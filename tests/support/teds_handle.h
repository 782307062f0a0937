// A libtedskit TEDS handle that frees itself, for tests of the C interface.
#ifndef TEDSKIT_TESTS_SUPPORT_TEDS_HANDLE_H
#define TEDSKIT_TESTS_SUPPORT_TEDS_HANDLE_H

#include "tedskit/tedskit.h"

namespace tedskittest {

struct TedsHandle {
  tedskit_teds* teds = nullptr;
  TedsHandle() = default;
  TedsHandle(const TedsHandle&) = delete;
  TedsHandle& operator=(const TedsHandle&) = delete;
  ~TedsHandle() { tedskit_teds_free(teds); }
};

}  // namespace tedskittest

#endif
