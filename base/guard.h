// The C boundary of every library: an export's body runs inside guard(), which turns any
// exception (in practice an allocation that failed) into the export's failure result, so
// that nothing unwinds into a C caller.
#ifndef TEDSKIT_BASE_GUARD_H
#define TEDSKIT_BASE_GUARD_H

#include <type_traits>

namespace tedskit::base {

template <typename Result, typename Body>
Result guard(Result fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

// For an export with no result: a failure leaves what the body had done by then.
template <typename Body>
void guard(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace tedskit::base

#endif  // TEDSKIT_BASE_GUARD_H
