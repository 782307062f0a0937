#include "check.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <span>

#include "base/bit_field.h"
#include "base/calendar.h"
#include "base/template_notes.h"
#include "latin1.h"
#include "value_check.h"

namespace teds {
namespace {

namespace base = tedskit::base;

// Manufacturer IDs the standard keeps for itself: 0-16 for templates and tests, the top
// two for "no manufacturer".
bool isReservedManufacturer(uint64_t id) { return id <= 16 || id >= 16382; }

// The Basic TEDS is the first five fields of every decoded TEDS.
constexpr int kBasicFields = 5;
// The 2-bit selector and the 8-bit template ID between the Basic TEDS and the fields.
constexpr int kTemplateHeaderBits = 10;
// Body bytes of the shortest memory line the tool prints (40 bytes with checksum and Basic
// TEDS); a line that long may have lost only trailing zeros, a shorter one was cut.
constexpr std::size_t kShortestTextBody = 31;

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool labelHas(const FieldModel& field, std::string_view a, std::string_view b) {
  const std::string label = lower(field.label);
  return label.find(a) != std::string::npos && label.find(b) != std::string::npos;
}

// A field whose bits are all ones holds the standard's "not defined" code. Scaled numbers
// show it as the top of their range.
bool holdsAllOnes(const FieldView& field) {
  const FieldModel& model = field.model;
  if (model.bitWidth < 2) return false;
  switch (model.kind) {
    case ValueKind::Integer:
    case ValueKind::Date:
      return static_cast<double>(field.value.integer) == model.maximum;
    case ValueKind::Real:
      if (model.scale == NumberScale::Single) return std::isnan(field.value.real);
      if (model.scale == NumberScale::None) return false;
      return std::fabs(field.value.real - model.maximum) <= resolutionAt(model, model.maximum) / 2;
    case ValueKind::Text:
    case ValueKind::Enumeration:
      return false;
  }
  return false;
}

bool isCount(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

double numberOf(const FieldView& field) {
  return field.model.kind == ValueKind::Real ? field.value.real : static_cast<double>(field.value.integer);
}

bool isNumber(const FieldView& field) {
  return field.model.kind == ValueKind::Real || field.model.kind == ValueKind::Integer;
}

// "Min physical value" and "Max physical value", "Min electrical value" and ...
void checkRanges(const std::vector<FieldView>& fields, std::vector<Finding>& out) {
  for (const auto& low : fields) {
    if (!isNumber(low) || !low.model.label.starts_with("Min")) continue;
    const std::string highLabel = "Max" + low.model.label.substr(3);
    for (const auto& high : fields) {
      if (high.model.label != highLabel || !isNumber(high)) continue;
      if (numberOf(low) >= numberOf(high)) {
        out.push_back({Severity::Error, "range", low.model.label,
                       quotedLabel(low.model) + " (" + low.value.display + ") is not below " +
                           quotedLabel(high.model) + " (" + high.value.display + ")"});
      }
    }
  }
}

void checkFields(const Teds& teds, const std::vector<FieldView>& fields, std::vector<Finding>& out) {
  for (const auto& field : fields) {
    const FieldModel& model = field.model;
    // A select case may hold a case the choices do not list; the engine then gives the
    // case's own text in place of a number, and the value has a layout.
    // Only the engine's own fields have a raw text; chained templates' fields follow them.
    const bool engineField = model.index < std::clamp(teds.fields->array.numItems, 0, TEDS_MAX_ITEMS);
    if (model.kind == ValueKind::Enumeration && field.value.text.empty() && engineField &&
        isCount(rawValueText(teds, model.index))) {
      out.push_back({Severity::Error, "enumeration", model.label,
                     quotedLabel(model) + " holds " + std::to_string(field.value.integer) + ", which is not one of its " +
                         std::to_string(model.choices.size()) + " choices"});
    } else if (model.kind == ValueKind::Text &&
               std::any_of(field.value.text.begin(), field.value.text.end(),
                           [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
      out.push_back({Severity::Error, "text", model.label, quotedLabel(model) + " holds text that is not 7-bit ASCII"});
    } else if (holdsAllOnes(field)) {
      out.push_back({Severity::Warning, "not-defined", model.label,
                     quotedLabel(model) + " holds its \"not defined\" code (every bit set)"});
    }
  }
}

// The fields' bits against what the chip holds.
void checkRoom(const Document& document, std::vector<Finding>& out) {
  const auto& room = document.image().chipRoom;
  if (!room || document.teds().engine == EngineKind::Lms) return;
  const int64_t bits = templateBits(document);
  const int64_t held = static_cast<int64_t>(*room) * 8;
  if (bits > held) {
    out.push_back({Severity::Error, "past-end", "",
                   "the template's fields take " + std::to_string(bits) + " bits after the Basic TEDS; the chip holds " +
                       std::to_string(held)});
  }
}

}  // namespace

int64_t templateBits(const Document& document) {
  int64_t bits = kTemplateHeaderBits;
  const auto& fields = document.fields();
  for (std::size_t i = kBasicFields; i < fields.size(); ++i) bits += std::max(fields[i].model.bitWidth, 0);
  // Each chained template starts with its own selector and template ID.
  return bits + static_cast<int64_t>(document.chained().size()) * kTemplateHeaderBits;
}

std::size_t tedStreamBits(const Document& document) {
  if (document.teds().engine == EngineKind::Lms) return 0;
  return static_cast<std::size_t>(64 + templateBits(document));
}

std::optional<Finding> shortImageFinding(const Document& document) {
  const TedsImage& image = document.image();
  if (image.chipRoom || document.teds().engine == EngineKind::Lms) return std::nullopt;
  const int64_t needed = templateBits(document);
  int64_t given = 0;
  if (image.streamBits > 0) {
    given = static_cast<int64_t>(image.streamBits) - 64;
  } else if (image.body.size() < kShortestTextBody) {
    given = static_cast<int64_t>(image.body.size()) * 8;
  } else {
    return std::nullopt;  // the text form may have dropped trailing zero bytes
  }
  if (given >= needed) return std::nullopt;
  return Finding{Severity::Error, "short", "",
                 "the image ends " + std::to_string(needed - given) + " bits before its template's fields do (" +
                     std::to_string(given) + " of " + std::to_string(needed) +
                     " bits after the Basic TEDS): the missing bits read as zeros"};
}

namespace {

std::optional<CalibrationState> calibrationOf(const std::vector<FieldView>& fields, int64_t today,
                                              std::vector<Finding>& out) {
  const FieldView* date = nullptr;
  const FieldView* period = nullptr;
  for (const auto& field : fields) {
    if (date == nullptr && field.model.kind == ValueKind::Date && labelHas(field.model, "cal", "date")) date = &field;
    if (period == nullptr && field.model.kind == ValueKind::Integer && labelHas(field.model, "cal", "period"))
      period = &field;
  }
  if (date == nullptr || holdsAllOnes(*date)) return std::nullopt;
  CalibrationState state;
  state.lastDay = date->value.integer;
  if (state.lastDay > today) {
    out.push_back({Severity::Warning, "date", date->model.label,
                   quotedLabel(date->model) + " (" + isoDate(state.lastDay) + ") lies in the future"});
  }
  if (period == nullptr || holdsAllOnes(*period)) return state;
  state.periodDays = period->value.integer;
  if (state.periodDays == 0) {
    out.push_back({Severity::Warning, "period", period->model.label,
                   quotedLabel(period->model) + " is 0: the sensor would be due the day it was calibrated"});
    return std::nullopt;
  }
  state.dueDay = state.lastDay + state.periodDays;
  state.daysLeft = state.dueDay - today;
  return state;
}

}  // namespace

const char* severityName(Severity severity) {
  switch (severity) {
    case Severity::Note:
      return "note";
    case Severity::Warning:
      return "warning";
    case Severity::Error:
      break;
  }
  return "error";
}

int CheckResult::count(Severity severity) const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [severity](const Finding& f) { return f.severity == severity; }));
}

Severity CheckResult::worst() const {
  Severity worst = Severity::Note;
  for (const auto& finding : findings) worst = std::max(worst, finding.severity);
  return worst;
}

std::vector<Finding> imageFindings(const TedsImage& image) {
  std::vector<Finding> out;
  if (!image.checksumOk) {
    out.push_back({Severity::Error, "checksum", "",
                   "the checksum of the " + image.origin + " is wrong: the data is not what was written"});
  }
  if (image.applicationRegister && *image.applicationRegister != image.basic) {
    out.push_back({Severity::Warning, "register", "",
                   "the application register (" + toHex(*image.applicationRegister) +
                       ") disagrees with the Basic TEDS in memory (" + toHex(image.basic) + ")"});
  }
  const uint64_t manufacturer = base::readBits(std::span<const uint8_t>(image.basic), 0, 14);
  if (isReservedManufacturer(manufacturer)) {
    out.push_back({Severity::Error, "manufacturer", "Manufacturer",
                   "manufacturer ID " + std::to_string(manufacturer) +
                       " is reserved (0-16 and 16382-16383 name no maker of a physical sensor)"});
  }
  return out;
}

CheckResult checkDocument(const Document& document, int64_t today) {
  CheckResult result;
  result.findings = imageFindings(document.image());
  const auto& array = document.teds().fields->array;
  if (document.teds().engine == EngineKind::V10) {
    if (auto note = base::provisionalNote(array.templateID, array.templateName))
      result.findings.push_back({Severity::Warning, "provisional", "", latin1ToUtf8(*note)});
  }
  checkRoom(document, result.findings);
  if (auto cut = shortImageFinding(document)) result.findings.push_back(std::move(*cut));
  checkRanges(document.fields(), result.findings);
  checkFields(document.teds(), document.fields(), result.findings);
  result.calibration = calibrationOf(document.fields(), today, result.findings);
  return result;
}

int64_t todayOnTedsCalendar() {
  using namespace std::chrono;
  const year_month_day date{floor<days>(system_clock::now())};
  const int64_t year = static_cast<int>(date.year());
  const int month = static_cast<int>(static_cast<unsigned>(date.month()));
  return base::daysBeforeYear(year) + base::daysBeforeMonth(month, year) + static_cast<unsigned>(date.day()) - 1;
}

int64_t dayOfText(const std::string& what, const std::string& text) {
  FieldModel model;
  model.label = what;
  model.kind = ValueKind::Date;
  const CheckedValue checked = checkValue(model, text);
  return base::daysOfDateText(checked.engineText, base::DateReading::Strict).value_or(0);
}

std::string isoDate(int64_t days) { return base::isoDateText(days); }

std::string dueText(int64_t daysLeft) {
  const auto plural = [](int64_t n) { return std::to_string(n) + (n == 1 ? " day" : " days"); };
  if (daysLeft == 0) return "due today";
  return daysLeft > 0 ? "due in " + plural(daysLeft) : "overdue by " + plural(-daysLeft);
}

}  // namespace teds
