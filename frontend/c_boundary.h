// Keeps C++ exceptions from crossing the library's C interface.
#ifndef TEDSKIT_FRONTEND_C_BOUNDARY_H
#define TEDSKIT_FRONTEND_C_BOUNDARY_H

#include <cstdint>

#include "tedskit/quillon.h"

namespace quillon {

// Runs body and returns its result; an exception (in practice only an allocation
// failure) becomes the missing-argument code rather than unwinding into C code.
template <typename Body>
int32_t guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return QUILLON_ERR_MISSING_ARGUMENT;
  }
}

}  // namespace quillon

#endif  // TEDSKIT_FRONTEND_C_BOUNDARY_H
