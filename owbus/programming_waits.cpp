// Which programming waits the memory library uses: the data sheets' or the long ones.
#include <cstdlib>
#include <string_view>

#include "base/guard.h"
#include "tedskit/owbus.h"

namespace {
// -1 until set: then TEDSKIT_WAITS decides.
int32_t chosen = -1;
}  // namespace

extern "C" {

int32_t owbus_set_programming_waits(int32_t waits) {
  return tedskit::base::guard(-1, [&] {
    if (waits != -1 && waits != OWBUS_WAITS_DATASHEET && waits != OWBUS_WAITS_LONG) return -1;
    chosen = waits;
    return 0;
  });
}

int32_t owbus_programming_waits(void) {
  return tedskit::base::guard(OWBUS_WAITS_DATASHEET, [] {
    if (chosen != -1) return chosen;
    const char* env = std::getenv("TEDSKIT_WAITS");
    return env && std::string_view(env) == "long" ? OWBUS_WAITS_LONG : OWBUS_WAITS_DATASHEET;
  });
}

}  // extern "C"
