#include "bus_choice.h"

#include <cstdio>
#include <cstdlib>

#include "app.h"
#include "tedskit/owbus.h"

namespace teds {

std::string busSpecification(const Args& args) {
  std::string busName = args.value("bus").value_or("");
  if (busName.empty()) {
    const char* environment = std::getenv("TEDSKIT_BUS");
    busName = environment != nullptr && *environment != '\0' ? environment : defaultBusFile().string();
  }
  return busNameOf(busName);
}

std::vector<OptionSpec> busOptions(std::vector<OptionSpec> more) {
  more.push_back({"bus", 'b', true});
  more.push_back({"channel", 'c', true});
  more.push_back({"verbose", 'v', false});
  return withCommonOptions(std::move(more));
}

namespace {

void echoTraffic(void*, const owbus_traffic* event) {
  std::string text = event->text != nullptr ? event->text : "";
  while (!text.empty() && text.back() == '\n') text.pop_back();
  std::string line = "1-Wire: ";
  for (char c : text) {
    line += c;
    if (c == '\n') line += "        ";
  }
  line += '\n';
  std::fputs(line.c_str(), stderr);
}

}  // namespace

TrafficEcho::TrafficEcho(bool wanted) : active_(wanted) {
  if (active_) owbus_set_traffic_sink(echoTraffic, nullptr);
}

TrafficEcho::~TrafficEcho() {
  if (active_) owbus_set_traffic_sink(nullptr, nullptr);
}

}  // namespace teds
