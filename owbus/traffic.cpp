// The traffic sink: each event in words and bytes, handed to the caller's function.
#include "traffic.h"

#include <cstdio>
#include <cstring>

#include "base/hex.h"

namespace owbus {

namespace {

struct Sink {
  owbus_traffic_sink function = nullptr;
  void* context = nullptr;
};

Sink& sink() {
  static Sink instance;
  return instance;
}

std::string hex(std::span<const uint8_t> bytes) {
  std::string out;
  tedskit::base::appendHex(out, bytes, ' ');
  return out;
}

void deliver(owbus_traffic& event, const std::string& text) {
  event.text = text.c_str();
  // The sink is the caller's; nothing it throws may cross back.
  try {
    sink().function(sink().context, &event);
  } catch (...) {
  }
}

}  // namespace

int32_t resetCode(ResetResult r) {
  switch (r) {
    case ResetResult::Presence:
      return OWBUS_RESET_PRESENCE;
    case ResetResult::Alarm:
      return OWBUS_RESET_ALARM;
    case ResetResult::Short:
      return OWBUS_RESET_SHORT;
    case ResetResult::NoPresence:
      break;
  }
  return OWBUS_RESET_NO_PRESENCE;
}

bool tracing() { return sink().function != nullptr; }

void setTrafficSink(owbus_traffic_sink function, void* context) {
  sink() = Sink{function, function ? context : nullptr};
}

void traceReset(ResetResult result) {
  if (!tracing()) return;
  static constexpr const char* kNames[] = {"no presence", "presence", "alarming presence", "short"};
  owbus_traffic event{OWBUS_TRAFFIC_RESET, resetCode(result), 0, nullptr, nullptr, nullptr};
  deliver(event, std::string("reset: ") + kNames[static_cast<int>(result)]);
}

void traceBytes(std::span<const uint8_t> sent, std::span<const uint8_t> received) {
  if (!tracing()) return;
  owbus_traffic event{OWBUS_TRAFFIC_BYTES, 0,      static_cast<int32_t>(sent.size()), sent.data(),
                      received.data(),     nullptr};
  deliver(event, "sent    " + hex(sent) + "\nreceived" + hex(received));
}

void traceSearch(const Rom& preferred, const SearchPass& pass) {
  if (!tracing()) return;
  owbus_traffic event{OWBUS_TRAFFIC_SEARCH, pass.found ? 1 : 0, 8,
                      preferred.data(),     pass.rom.data(),    nullptr};
  deliver(event, pass.found ? "search: found" + hex(pass.rom) : std::string("search: nobody answered"));
}

void traceAdapter(const std::string& text) {
  if (!tracing()) return;
  owbus_traffic event{OWBUS_TRAFFIC_ADAPTER, 0, 0, nullptr, nullptr, nullptr};
  deliver(event, "adapter: " + text);
}

}  // namespace owbus
