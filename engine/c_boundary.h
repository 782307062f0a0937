// Keeps C++ exceptions from crossing the library's C interface.
#ifndef TEDSKIT_ENGINE_C_BOUNDARY_H
#define TEDSKIT_ENGINE_C_BOUNDARY_H

#include <new>

namespace dorvia {

// Runs body and returns its result; an exception (in practice only an allocation
// failure) becomes the given fallback result instead of unwinding into C code.
template <typename Result, typename Body>
Result guarded(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_C_BOUNDARY_H
