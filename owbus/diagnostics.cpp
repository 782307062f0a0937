// The diagnostics exports: the adapter of the session and the traffic sink.
#include <string>

#include "base/fixed_field.h"
#include "session.h"
#include "tedskit/owbus.h"
#include "traffic.h"

static_assert(sizeof(owbus_adapter_info) == 264, "owbus_adapter_info is a fixed record");

using namespace owbus;

namespace {

std::string describeAdapter() {
  const Session& s = session();
  if (!s.backend) return "";
  const AdapterInfo a = s.backend->info();
  if (a.kind == "sim") return "simulated bus " + a.port;
  std::string out = a.kind;
  if (a.revision >= 0) out += " revision " + std::to_string(a.revision);
  out += " on " + a.port;
  if (a.baud > 0) out += " at " + std::to_string(a.baud) + " baud";
  return out;
}

}  // namespace

extern "C" {

void owbus_set_traffic_sink(owbus_traffic_sink function, void* context) {
  guard([&] { setTrafficSink(function, context); });
}

int32_t owbus_get_adapter_info(owbus_adapter_info* info) {
  return guard<int32_t>(-1, [&]() -> int32_t {
    const Session& s = session();
    if (!info || !s.backend) return -1;
    const AdapterInfo a = s.backend->info();
    *info = owbus_adapter_info{};
    tedskit::base::copyToField(info->kind, a.kind);
    tedskit::base::copyToField(info->port, a.port);
    info->revision = a.revision;
    info->baud = a.baud;
    return 0;
  });
}

const char* owbus_adapter_description(void) {
  return guard<const char*>("", [] {
    static std::string text;
    text = describeAdapter();
    return text.c_str();
  });
}

}  // extern "C"
