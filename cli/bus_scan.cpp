#include "bus_scan.h"

#include "bus/bus_failure.h"

namespace teds {

BusChip chooseChip(const BusScan& scan, const Args& args, std::vector<BusChip>* several) {
  ChipRequest request;
  request.device = args.value("device");
  if (const auto given = args.value("channel")) request.channel = parseInt(*given, "--channel");
  try {
    return chooseChip(scan, request, several);
  } catch (const BusFailure& failure) {
    if (failure.fault() == BusFault::Request) throw UsageError(failure.what());
    throw;
  }
}

}  // namespace teds
