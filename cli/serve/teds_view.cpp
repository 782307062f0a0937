#include "teds_view.h"

#include <cmath>

#include "api_error.h"

namespace teds::serve {

namespace {

using nlohmann::json;

struct OwnedText {
  char* text = nullptr;
  size_t size = 0;
  ~OwnedText() { tedskit_string_free(text); }
};

struct OwnedCheck {
  tedskit_check* check = nullptr;
  ~OwnedCheck() { tedskit_check_free(check); }
};

[[noreturn]] void refused(int status, const std::string& field = "") {
  throw ApiError(status, tedskit_last_error(), field);
}

std::string ownedString(int32_t (*get)(const tedskit_teds*, char**), const TedsHandle& teds) {
  OwnedText out;
  if (get(teds.get(), &out.text) != TEDSKIT_OK) refused(500);
  return out.text;
}

const char* kindName(tedskit_value_kind kind) {
  switch (kind) {
    case TEDSKIT_VALUE_INTEGER:
      return "integer";
    case TEDSKIT_VALUE_REAL:
      return "real";
    case TEDSKIT_VALUE_TEXT:
      return "text";
    case TEDSKIT_VALUE_DATE:
      return "date";
    case TEDSKIT_VALUE_ENUMERATION:
      return "enumeration";
  }
  return "integer";
}

// JSON has no infinity: an open end of a range is left out.
void putFinite(json& out, const char* name, double value) {
  if (std::isfinite(value)) out[name] = value;
}

void addFieldDetails(const TedsHandle& teds, json& fields) {
  int32_t count = 0;
  tedskit_teds_field_count(teds.get(), &count);
  for (int32_t i = 0; i < count && static_cast<std::size_t>(i) < fields.size(); ++i) {
    json& field = fields[static_cast<std::size_t>(i)];
    tedskit_value_kind kind = TEDSKIT_VALUE_INTEGER;
    tedskit_field_kind(teds.get(), i, &kind);
    field["type"] = kindName(kind);
    int32_t offset = -1;
    tedskit_field_bit_offset(teds.get(), i, &offset);
    field["offset"] = offset;
    double minimum = 0, maximum = 0, resolution = 0;
    if (kind != TEDSKIT_VALUE_TEXT && kind != TEDSKIT_VALUE_ENUMERATION &&
        tedskit_field_range(teds.get(), i, &minimum, &maximum, &resolution) == TEDSKIT_OK) {
      putFinite(field, "minimum", minimum);
      putFinite(field, "maximum", maximum);
      putFinite(field, "resolution", resolution);
    }
    int32_t choices = 0;
    if (kind == TEDSKIT_VALUE_ENUMERATION && tedskit_field_choice_count(teds.get(), i, &choices) == TEDSKIT_OK) {
      json list = json::array();
      for (int32_t c = 0; c < choices; ++c) {
        const char* text = "";
        tedskit_field_choice(teds.get(), i, c, &text);
        list.push_back(text);
      }
      field["choices"] = list;
    }
    const std::string access = field.value("access", "");
    field["read_only"] = access.find('W') == std::string::npos && access.find('w') == std::string::npos;
  }
}

json findingsOf(const TedsHandle& teds) {
  OwnedCheck check;
  json findings = json::array();
  if (tedskit_teds_check(teds.get(), nullptr, &check.check) != TEDSKIT_OK) return findings;
  int32_t count = 0;
  tedskit_check_count(check.check, &count);
  static const char* const kSeverity[] = {"note", "warning", "error"};
  for (int32_t i = 0; i < count; ++i) {
    tedskit_severity severity = TEDSKIT_SEVERITY_NOTE;
    const char* code = "";
    const char* field = "";
    const char* message = "";
    tedskit_check_finding(check.check, i, &severity, &code, &field, &message);
    findings.push_back({{"severity", kSeverity[severity]}, {"code", code}, {"field", field}, {"message", message}});
  }
  return findings;
}

}  // namespace

TedsHandle openTeds(const Templates& templates, const std::string& input, bool v10) {
  tedskit_teds* teds = nullptr;
  if (tedskit_teds_open(templates.dir.c_str(), input.data(), input.size(), TEDSKIT_INPUT_AUTO, v10 ? 1 : 0,
                        &teds) != TEDSKIT_OK) {
    refused(422);
  }
  return TedsHandle(teds);
}

TedsHandle newTeds(const Templates& templates, const std::string& kind, int templateId, int manufacturer,
                   bool v10) {
  const int32_t code = kind == "standard" ? 0 : kind == "manufacturer" ? 1 : kind == "lms" ? 3 : -1;
  if (code < 0) throw ApiError(400, "kind is standard, manufacturer or lms, not '" + kind + "'");
  tedskit_teds* teds = nullptr;
  if (tedskit_teds_new(templates.dir.c_str(), code, templateId, manufacturer, v10 ? 1 : 0, &teds) != TEDSKIT_OK) {
    refused(422);
  }
  return TedsHandle(teds);
}

std::string setField(TedsHandle& teds, const std::string& label, const std::string& value) {
  const char* note = "";
  const int32_t result = tedskit_teds_set(teds.get(), label.c_str(), value.c_str(), &note);
  if (result == TEDSKIT_ERR_LABEL) refused(404, label);
  if (result != TEDSKIT_OK) refused(422, label);
  return note != nullptr ? note : "";
}

json viewOf(const TedsHandle& teds) {
  json view = json::parse(ownedString(tedskit_teds_json, teds));
  view["text"] = ownedString(tedskit_teds_text, teds);
  addFieldDetails(teds, view["fields"]);
  view["findings"] = findingsOf(teds);
  const char* note = "";
  tedskit_teds_note(teds.get(), &note);
  view["note"] = note != nullptr ? note : "";
  return view;
}

std::string encodeTeds(const TedsHandle& teds, const std::string& format) {
  if (format == "hex") return ownedString(tedskit_teds_text, teds);
  if (format == "json") return ownedString(tedskit_teds_json, teds);
  if (format == "ted") {
    OwnedText out;
    if (tedskit_teds_ted(teds.get(), &out.text, &out.size) != TEDSKIT_OK) refused(422);
    return std::string(out.text, out.size);
  }
  throw ApiError(400, "format is hex, ted or json, not '" + format + "'");
}

}  // namespace teds::serve
