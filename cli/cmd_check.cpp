#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "base/bit_field.h"
#include "base/template_notes.h"
#include "bus_choice.h"
#include "bus_scan.h"
#include "check.h"
#include "bus/chip_read.h"
#include "commands.h"
#include "document.h"
#include "latin1.h"
#include "value_check.h"

namespace teds {
namespace {

struct Checked {
  std::string source;
  std::optional<BusChip> chip;  // where a TEDS read from a bus came from
  std::string templateText;  // "template 25 (Accelerometer & Force)"; empty when none decoded
  std::optional<uint64_t> serial;
  CheckResult result;
};

std::string shownSource(const std::string& source) { return source == "-" ? "standard input" : source; }

Checked checkImage(const Context& context, Checked checked, const TedsImage& image, bool forceV10,
                   int64_t today) {
  checked.serial = tedskit::base::readBits(std::span<const uint8_t>(image.basic), 40, 24);
  try {
    const Document document(context.templatesDir, image, forceV10);
    const auto& array = document.teds().fields->array;
    checked.templateText = "template " + std::to_string(array.templateID) + " (" +
                           latin1ToUtf8(tedskit::base::templateName(array.templateName)) + ")";
    checked.result = checkDocument(document, today);
  } catch (const MissingTemplate& missing) {
    checked.result.findings = imageFindings(image);
    checked.result.findings.push_back({Severity::Error, "no-layout", "", missing.what()});
  } catch (const Failure& failure) {
    checked.result.findings = imageFindings(image);
    checked.result.findings.push_back({Severity::Error, "decode", "", failure.what()});
  }
  return checked;
}

Checked failedSource(Checked checked, const char* code, const std::string& why) {
  checked.result.findings.push_back({Severity::Error, code, "", why});
  return checked;
}

Checked checkSource(const Context& context, const std::string& source, bool forceV10, int64_t today) {
  Checked checked;
  checked.source = shownSource(source);
  TedsImage image;
  try {
    image = imageFromArguments({source});
    refuseBlankInput(image);
  } catch (const ImageError& error) {
    return failedSource(std::move(checked), "input", error.what());
  } catch (const Failure& error) {  // a file that cannot be read
    return failedSource(std::move(checked), "input", error.what());
  }
  return checkImage(context, std::move(checked), image, forceV10, today);
}

// A chip that cannot be read, or holds nothing, is an error of its own line; the other
// chips are still checked.
Checked checkChip(const Context& context, const BusScan& scan, const std::string& busName, const BusChip& chip,
                  bool forceV10, int64_t today) {
  Checked checked;
  checked.source = chip.described() + " on " + scan.shown;
  checked.chip = chip;
  ChipRead read;
  try {
    read = readChipAt(busName, chip);
  } catch (const Failure& error) {
    return failedSource(std::move(checked), "read", error.what());
  }
  if (const auto blank = read.image.blankByte()) {
    return failedSource(std::move(checked), "blank",
                        std::string("the chip is blank (every byte ") + (*blank == 0 ? "00h" : "FFh") +
                            "): it holds no TEDS");
  }
  if (read.reg && !read.image.applicationRegister) read.image.applicationRegister = read.reg;
  return checkImage(context, std::move(checked), read.image, forceV10, today);
}

// The chips --bus names: with --all every TEDS chip (behind each channel of a switch too),
// else the one read would take. A bus that cannot be searched, or a choice that cannot be
// made, is an error line of the bus itself, so that the exit status still says "error".
std::vector<Checked> checkBus(const Context& context, const Args& args, int64_t today) {
  const TrafficEcho echo(args.has("verbose"));
  const std::string busName = busSpecification(args);
  BusScan scan;
  std::vector<BusChip> chips;
  try {
    scan = scanBus(busName);
    if (args.has("all")) {
      chips = scan.tedsChips();
      if (chips.empty()) throw Failure("no TEDS memory chip on the bus " + scan.shown);
    } else {
      chips.push_back(chooseChip(scan, args));
    }
  } catch (const Failure& failure) {
    Checked bus;
    bus.source = "bus " + busShownName(busName);
    return {failedSource(std::move(bus), "bus", failure.what())};
  }
  std::vector<Checked> checked;
  for (const BusChip& chip : chips) checked.push_back(checkChip(context, scan, busName, chip, args.has("v10"), today));
  return checked;
}

std::string countText(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

void printText(const Checked& checked) {
  std::cout << checked.source << ":";
  if (!checked.templateText.empty()) std::cout << " " << checked.templateText;
  if (checked.serial) std::cout << (checked.templateText.empty() ? " " : ", ") << "serial " << *checked.serial;
  std::cout << "\n";
  for (const auto& finding : checked.result.findings) {
    std::cout << "  " << severityName(finding.severity) << ": " << finding.message << " [" << finding.code << "]\n";
  }
  if (const auto& state = checked.result.calibration) {
    std::cout << "  calibration: " << isoDate(state->lastDay);
    if (state->periodDays > 0) {
      std::cout << ", every " << state->periodDays << " days, due " << isoDate(state->dueDay) << ": "
                << dueText(state->daysLeft);
    } else {
      std::cout << ", no calibration period";
    }
    std::cout << "\n";
  }
  const int errors = checked.result.count(Severity::Error);
  const int warnings = checked.result.count(Severity::Warning);
  std::cout << "  " << (errors + warnings == 0 ? std::string("clean")
                                                : countText(errors, "error") + ", " + countText(warnings, "warning"))
            << "\n";
}

nlohmann::json jsonOf(const Checked& checked) {
  nlohmann::json entry{{"source", checked.source}};
  if (checked.chip) {
    entry["rom"] = checked.chip->romText();
    entry["channel"] = checked.chip->channel;
  }
  entry["template"] = checked.templateText.empty() ? nlohmann::json() : nlohmann::json(checked.templateText);
  entry["serial"] = checked.serial ? nlohmann::json(*checked.serial) : nlohmann::json();
  auto& findings = entry["findings"] = nlohmann::json::array();
  for (const auto& finding : checked.result.findings) {
    findings.push_back({{"severity", severityName(finding.severity)},
                        {"code", finding.code},
                        {"field", finding.field.empty() ? nlohmann::json() : nlohmann::json(finding.field)},
                        {"message", finding.message}});
  }
  if (const auto& state = checked.result.calibration) {
    nlohmann::json calibration{{"date", isoDate(state->lastDay)}};
    if (state->periodDays > 0) {
      calibration["period_days"] = state->periodDays;
      calibration["due"] = isoDate(state->dueDay);
      calibration["days_left"] = state->daysLeft;
    }
    entry["calibration"] = calibration;
  } else {
    entry["calibration"] = nullptr;
  }
  return entry;
}

// Due within the window: a sensor without a due date is never listed.
bool dueWithin(const Checked& checked, std::optional<int> window) {
  if (!window) return true;
  const auto& state = checked.result.calibration;
  return state && state->periodDays > 0 && state->daysLeft <= *window;
}

}  // namespace

int runCheck(std::span<char* const> argv) {
  const Args args(argv, busOptions({{"on", 0, true},
                                    {"due-within", 0, true},
                                    {"v10", 0, false},
                                    {"all", 'a', false},
                                    {"device", 'd', true}}));
  if (args.has("help")) {
    printHelp(helpOf("check"));
    return 0;
  }
  const Context context = makeContext(args);
  const bool onBus = args.value("bus") || args.has("all") || args.value("device") || args.value("channel");
  if (args.has("all") && (args.value("device") || args.value("channel")))
    throw UsageError("--all checks every chip; it takes no --device or --channel");
  if (args.positional().empty() && !onBus) throw UsageError("no image given, and no --bus");
  int64_t today = todayOnTedsCalendar();
  if (const auto on = args.value("on")) {
    try {
      today = dayOfText("--on", *on);
    } catch (const ValueRefused& refused) {
      throw UsageError(refused.what());
    }
  }
  std::optional<int> window;
  if (const auto days = args.value("due-within")) {
    window = parseInt(*days, "--due-within");
    if (*window < 0) throw UsageError("--due-within takes a number of days, 0 or more");
  }

  std::vector<Checked> checked;
  for (const auto& source : args.positional()) checked.push_back(checkSource(context, source, args.has("v10"), today));
  if (onBus) {
    for (Checked& chip : checkBus(context, args, today)) checked.push_back(std::move(chip));
  }
  std::vector<Checked> listed;
  for (Checked& one : checked) {
    if (dueWithin(one, window)) listed.push_back(std::move(one));
  }

  Severity worst = Severity::Note;
  int withErrors = 0, withWarnings = 0;
  for (const auto& checked : listed) {
    const Severity own = checked.result.worst();
    worst = std::max(worst, own);
    withErrors += own == Severity::Error;
    withWarnings += own == Severity::Warning;
  }
  const int clean = static_cast<int>(listed.size()) - withErrors - withWarnings;
  if (context.json) {
    nlohmann::json out{{"schema", 1}, {"on", isoDate(today)}};
    auto& teds = out["teds"] = nlohmann::json::array();
    for (const auto& checked : listed) teds.push_back(jsonOf(checked));
    out["summary"] = {{"checked", listed.size()}, {"errors", withErrors}, {"warnings", withWarnings}, {"clean", clean}};
    std::cout << out.dump(2) << "\n";
  } else {
    for (const auto& checked : listed) printText(checked);
    if (listed.size() != 1) {
      std::cout << listed.size() << " TEDS checked";
      if (window) std::cout << " due within " << countText(*window, "day");
      std::cout << ": " << withErrors << " with errors, " << withWarnings << " with warnings, " << clean
                << " clean\n";
    }
  }
  return worst == Severity::Error ? 2 : worst == Severity::Warning ? 1 : 0;
}

}  // namespace teds
