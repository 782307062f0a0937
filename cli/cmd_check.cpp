#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "base/bit_field.h"
#include "base/template_notes.h"
#include "check.h"
#include "commands.h"
#include "document.h"
#include "latin1.h"
#include "value_check.h"

namespace teds {
namespace {

struct Checked {
  std::string source;
  std::string templateText;  // "template 25 (Accelerometer & Force)"; empty when none decoded
  std::optional<uint64_t> serial;
  CheckResult result;
};

std::string shownSource(const std::string& source) { return source == "-" ? "standard input" : source; }

Checked checkSource(const Context& context, const std::string& source, bool forceV10, int64_t today) {
  Checked checked;
  checked.source = shownSource(source);
  TedsImage image;
  try {
    image = imageFromArguments({source});
    refuseBlankInput(image);
  } catch (const ImageError& error) {
    checked.result.findings.push_back({Severity::Error, "input", "", error.what()});
    return checked;
  } catch (const Failure& error) {  // a file that cannot be read
    checked.result.findings.push_back({Severity::Error, "input", "", error.what()});
    return checked;
  }
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
  const Args args(argv, withCommonOptions({{"on", 0, true}, {"due-within", 0, true}, {"v10", 0, false}}));
  if (args.has("help")) {
    printHelp(helpOf("check"));
    return 0;
  }
  const Context context = makeContext(args);
  if (args.positional().empty()) throw UsageError("no image given");
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

  std::vector<Checked> listed;
  for (const auto& source : args.positional()) {
    Checked checked = checkSource(context, source, args.has("v10"), today);
    if (dueWithin(checked, window)) listed.push_back(std::move(checked));
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
