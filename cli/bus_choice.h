// Which 1-Wire bus a command talks to, the options every bus command shares, and the
// echo of the bus traffic that --verbose asks for.
#ifndef TEDSKIT_CLI_BUS_CHOICE_H
#define TEDSKIT_CLI_BUS_CHOICE_H

#include <string>
#include <vector>

#include "args.h"
#include "bus/chip_names.h"

namespace teds {

// --bus, else TEDSKIT_BUS, else the bundled simulated sensor, as a bus name for owbus.
std::string busSpecification(const Args& args);

// --bus, --channel, --verbose and the common options, with the command's own.
std::vector<OptionSpec> busOptions(std::vector<OptionSpec> more);

// While it lives, every reset, byte and adapter event goes to standard error as a
// "1-Wire: ..." line, so a user can see what a misbehaving cable did.
class TrafficEcho {
 public:
  explicit TrafficEcho(bool wanted);
  ~TrafficEcho();
  TrafficEcho(const TrafficEcho&) = delete;
  TrafficEcho& operator=(const TrafficEcho&) = delete;

 private:
  bool active_;
};

}  // namespace teds

#endif
