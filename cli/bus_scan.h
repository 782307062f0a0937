// The tool's face of the bus scan: the chip of --device and --channel.
#ifndef TEDSKIT_CLI_BUS_SCAN_H
#define TEDSKIT_CLI_BUS_SCAN_H

#include <vector>

#include "args.h"
#include "bus/bus_scan.h"

namespace teds {

// chooseChip for --device and --channel; a ROM ID or channel that cannot be one is a
// UsageError.
BusChip chooseChip(const BusScan& scan, const Args& args, std::vector<BusChip>* several = nullptr);

}  // namespace teds

#endif
