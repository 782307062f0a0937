// The diagnostics exports: the adapter of the session and the traffic sink.
#include <cstdio>

#include "session.h"
#include "tedskit/owbus.h"
#include "traffic.h"

static_assert(sizeof(owbus_adapter_info) == 264, "owbus_adapter_info is a fixed record");

using namespace owbus;

extern "C" {

void owbus_set_traffic_sink(owbus_traffic_sink function, void* context) { setTrafficSink(function, context); }

int32_t owbus_get_adapter_info(owbus_adapter_info* info) {
  return guarded<int32_t>(-1, [&]() -> int32_t {
    const Session& s = session();
    if (!info || !s.backend) return -1;
    const AdapterInfo a = s.backend->info();
    *info = owbus_adapter_info{};
    std::snprintf(info->kind, sizeof info->kind, "%s", a.kind.c_str());
    std::snprintf(info->port, sizeof info->port, "%s", a.port.c_str());
    info->revision = a.revision;
    info->baud = a.baud;
    return 0;
  });
}

const char* owbus_adapter_description(void) {
  static std::string text;
  text = guarded<std::string>("", []() -> std::string {
    const Session& s = session();
    if (!s.backend) return "";
    const AdapterInfo a = s.backend->info();
    if (a.kind == "sim") return "simulated bus " + a.port;
    std::string out = a.kind;
    if (a.revision >= 0) out += " revision " + std::to_string(a.revision);
    out += " on " + a.port;
    if (a.baud > 0) out += " at " + std::to_string(a.baud) + " baud";
    return out;
  });
  return text.c_str();
}

}  // extern "C"
