// The 1-Wire traffic sink of the diagnostics interface: resets, bytes, search passes
// and what an adapter's back end did to stay in step, handed to the caller's sink.
#ifndef TEDSKIT_OWBUS_TRAFFIC_H
#define TEDSKIT_OWBUS_TRAFFIC_H

#include <span>
#include <string>

#include "tedskit/owbus.h"
#include "wire.h"

namespace owbus {

// true while a sink listens, so that callers copy nothing for nobody.
bool tracing();
// The TMTouchReset result of a reset.
int32_t resetCode(ResetResult result);

void setTrafficSink(owbus_traffic_sink function, void* context);
void traceReset(ResetResult result);
void traceBytes(std::span<const uint8_t> sent, std::span<const uint8_t> received);
void traceSearch(const Rom& preferred, const SearchPass& pass);
void traceAdapter(const std::string& text);

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_TRAFFIC_H
