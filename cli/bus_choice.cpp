#include "bus_choice.h"

#include <algorithm>
#include <cctype>
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
  // A bare path is a bus file of the simulated bus; "back-end:where" goes to owbus as it is.
  const auto colon = busName.find(':');
  const bool hasBackEnd = colon != std::string::npos && colon > 0 &&
                          std::all_of(busName.begin(), busName.begin() + colon, [](char c) {
                            return std::isalnum(static_cast<unsigned char>(c)) != 0;
                          });
  // "usb" alone is the first USB adapter, not a bus file of that name.
  return hasBackEnd || busName == "usb" ? busName : "sim:" + busName;
}

std::string busShownName(const std::string& busName) {
  return busName.starts_with("sim:") ? busName.substr(4) : busName;
}

std::vector<OptionSpec> busOptions(std::vector<OptionSpec> more) {
  more.push_back({"bus", 'b', true});
  more.push_back({"channel", 'c', true});
  more.push_back({"verbose", 'v', false});
  return withCommonOptions(std::move(more));
}

const tedskit::base::ChipModel& chipOf(int family) {
  namespace base = tedskit::base;
  static constexpr base::ChipModel kUnknown{0, "unknown chip", base::kMaxChipImage, base::kPage};
  const base::ChipModel* model = base::chipModel(family);
  return model != nullptr ? *model : kUnknown;
}

std::string familyText(int family) {
  // The switch of a triaxial sensor holds no TEDS, so it is no chip model of the table.
  const char* name = family == tedskit::base::kFamilyDs2406 ? "DS2406 switch" : chipOf(family).name;
  char text[48];
  std::snprintf(text, sizeof text, "%s (family %02Xh)", name, family & 0xFF);
  return text;
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
