#include "state.h"

namespace quillon {

namespace {
// A namespace-scope object, so that the lists are reset when the library is loaded and
// the buffers and nodes freed when it is unloaded.
FrontEndState gState;
}  // namespace

FrontEndState& state() { return gState; }

}  // namespace quillon
