#include "json_form.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "base/template_notes.h"
#include "capture.h"
#include "latin1.h"
#include "select_cases.h"
#include "tedskit/quillon.h"

namespace teds {
namespace {

using json = nlohmann::ordered_json;

const char* kindName(const Teds& teds) {
  if (teds.engine == EngineKind::Lms) return "lms";
  switch (teds.fields->kind) {
    case 1:
      return "manufacturer";
    case 3:
      return "lms";
    default:
      return "standard";
  }
}

const char* engineKey(EngineKind engine) {
  switch (engine) {
    case EngineKind::V10:
      return "tdl";
    case EngineKind::Lms:
      return "lms";
    case EngineKind::Description:
      break;
  }
  return "description";
}

const char* kindKey(ValueKind kind) {
  switch (kind) {
    case ValueKind::Real:
      return "real";
    case ValueKind::Text:
      return "text";
    case ValueKind::Date:
      return "date";
    case ValueKind::Enumeration:
      return "enumeration";
    case ValueKind::Integer:
      break;
  }
  return "integer";
}

json fieldJson(const FieldModel& model, const TypedValue& value) {
  json field = {{"label", model.label}, {"type", kindKey(model.kind)}};
  switch (model.kind) {
    case ValueKind::Integer:
      field["value"] = value.integer;
      break;
    case ValueKind::Real:
      // JSON has no NaN or infinity: such a value is null, its display says what it is.
      field["value"] = std::isfinite(value.real) ? json(value.real) : json(nullptr);
      break;
    case ValueKind::Text:
    case ValueKind::Date:
      field["value"] = value.text;
      break;
    case ValueKind::Enumeration:
      field["value"] = value.text;
      field["index"] = value.integer;
      break;
  }
  field["display"] = value.display;
  field["units"] = model.units;
  field["access"] = model.access;
  field["bits"] = model.bitWidth;
  return field;
}

std::string dumped(const json& document) {
  return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

// A number as the shortest text that reads back as the same double.
std::string numberText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The value a JSON member gives, as text for a set: strings as they are, numbers exactly.
std::string settingText(const json& value) {
  if (value.is_string()) return value.get<std::string>();
  if (value.is_number_integer()) return value.dump();
  if (value.is_number_float()) return numberText(value.get<double>());
  if (value.is_boolean()) return value.get<bool>() ? "1" : "0";
  return value.dump();
}

bool sameValue(const FieldView& field, const json& given) {
  const TypedValue& value = field.value;
  switch (field.model.kind) {
    case ValueKind::Integer:
      return given.is_number_integer() && given.get<int64_t>() == value.integer;
    case ValueKind::Real:
      if (!std::isfinite(value.real)) return given.is_null();
      return given.is_number() && given.get<double>() == value.real;
    case ValueKind::Text:
    case ValueKind::Date:
    case ValueKind::Enumeration:
      return given.is_string() && given.get<std::string>() == value.text;
  }
  return false;
}

}  // namespace

std::string manufacturerName(const Engine& engine, const Teds& teds) {
  CapturedOutput quiet(STDOUT_FILENO);  // the engine's note of a missing manufacturer file
  char name[256] = "";
  const int32_t result =
      QUILLON_GetTEDSManufacturerStr(teds.fields.get(), engine.templatesDir().c_str(), name, sizeof name);
  return result < 0 ? std::string{} : latin1ToUtf8(name);
}

std::string tedsJson(const Engine& engine, const Teds& teds, const TedsImage* image, const JsonFacts& facts) {
  const auto& array = teds.fields->array;
  const std::string name =
      latin1ToUtf8(std::string(array.templateName, strnlen(array.templateName, TEDS_TEMPLATE_NAME_SIZE)));
  const bool provisional = teds.engine == EngineKind::V10 &&
                           tedskit::base::provisionalNote(array.templateID, array.templateName).has_value();
  json document = {{"schema_version", kJsonSchemaVersion},
                   {"template",
                    {{"kind", kindName(teds)},
                     {"id", array.templateID},
                     {"name", name},
                     {"engine", engineKey(teds.engine)},
                     {"provisional", provisional}}},
                   {"manufacturer", manufacturerName(engine, teds)}};
  if (image != nullptr) {
    // The LMS layout carries no checksum.
    document["checksum_ok"] = teds.engine == EngineKind::Lms ? json(nullptr) : json(image->checksumOk);
  }
  for (const auto& [key, value] : facts) document[key] = value;
  if (image != nullptr) {
    document["image"] = {{"memory", toHex(memoryImage(*image))}, {"register", toHex(image->basic)}};
  }
  std::unique_ptr<Document> decoded;
  if (image != nullptr && teds.engine == EngineKind::V10) {
    decoded = std::make_unique<Document>(engine.templatesDir(), *image, true);
  }
  json fields = json::array();
  if (decoded != nullptr) {
    // The template's constants follow the engine's fields, and the fields of chained
    // templates come after them; each template names its run.
    for (const auto& field : decoded->fields()) fields.push_back(fieldJson(field.model, field.value));
  } else {
    for (const auto& model : fieldModels(teds)) fields.push_back(fieldJson(model, typedValue(teds, model)));
  }
  if (decoded != nullptr && !decoded->chained().empty()) {
    json templates = json::array();
    for (const auto& section : decoded->templates()) {
      templates.push_back({{"id", section.id},
                           {"name", section.name},
                           {"provisional", section.provisional},
                           {"first_field", section.firstField},
                           {"field_count", section.fieldCount}});
    }
    document["templates"] = std::move(templates);
  }
  document["fields"] = std::move(fields);
  // The select cases a TDL template met laying the image out, read from the image again.
  if (decoded != nullptr) {
    json cases = json::array();
    for (const auto& one : selectCasesOf(*decoded)) {
      cases.push_back({{"description", one.description},
                       {"case", one.caseText},
                       {"index", one.value},
                       {"by_field", one.field >= 0}});
    }
    if (!cases.empty()) document["select_cases"] = std::move(cases);
  }
  return dumped(document);
}

std::string tedsJson(const Document& document, const JsonFacts& facts) {
  JsonFacts all = {{"source", document.image().origin}};
  all.insert(all.end(), facts.begin(), facts.end());
  return tedsJson(document.engine(), document.teds(), &document.image(), all);
}

bool looksLikeJson(std::string_view content) {
  const auto first = content.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && content[first] == '{';
}

JsonInput readJsonInput(std::string_view content) {
  const json document = json::parse(content.begin(), content.end(), nullptr, false);
  if (document.is_discarded()) throw ImageError("the input is not valid JSON");
  if (!document.is_object()) throw ImageError("the JSON input is not an object");
  const auto version = document.find("schema_version");
  if (version != document.end() &&
      (!version->is_number_integer() || version->get<int64_t>() != kJsonSchemaVersion)) {
    throw ImageError("the JSON input has schema version " + version->dump() +
                     "; this library reads version " + std::to_string(kJsonSchemaVersion));
  }
  const auto images = document.find("image");
  if (images == document.end() || !images->is_object() || !images->contains("memory") ||
      !(*images)["memory"].is_string()) {
    throw ImageError("the JSON input has no \"image\" with a \"memory\" hex text");
  }
  JsonInput input;
  input.image = fromMemoryImage(parseHex((*images)["memory"].get<std::string>()));
  input.image.origin = "JSON";
  if (const auto reg = images->find("register"); reg != images->end()) {
    if (!reg->is_string()) throw ImageError("the JSON input's \"register\" is not a hex text");
    const auto basic = parseHex(reg->get<std::string>());
    if (basic.size() != 8) throw ImageError("the JSON input's \"register\" is not 8 bytes");
    if (!std::equal(basic.begin(), basic.end(), input.image.basic.begin())) {
      throw ImageError("the JSON input's \"register\" differs from the Basic TEDS in its \"memory\"");
    }
  }
  if (const auto tmpl = document.find("template"); tmpl != document.end() && tmpl->is_object()) {
    const auto engine = tmpl->find("engine");
    input.tdl = engine != tmpl->end() && engine->is_string() && engine->get<std::string>() == "tdl";
  }
  const auto fields = document.find("fields");
  if (fields == document.end()) return input;
  if (!fields->is_array()) throw ImageError("the JSON input's \"fields\" is not a list");
  for (std::size_t i = 0; i < fields->size(); ++i) {
    const json& field = (*fields)[i];
    const auto label = field.is_object() ? field.find("label") : field.end();
    if (!field.is_object() || label == field.end() || !label->is_string()) {
      throw ImageError("field " + std::to_string(i + 1) + " of the JSON input has no \"label\" text");
    }
    JsonInput::Field entry{label->get<std::string>(), "", ""};
    if (const auto value = field.find("value"); value != field.end() && !value->is_null()) {
      entry.value = value->dump();
    }
    if (const auto index = field.find("index"); index != field.end() && !index->is_null()) {
      entry.index = index->dump();
    }
    input.fields.push_back(std::move(entry));
  }
  return input;
}

std::vector<std::string> applyJsonFields(Document& document, const JsonInput& input) {
  std::vector<std::string> notes;
  for (std::size_t i = 0; i < input.fields.size(); ++i) {
    const auto& given = input.fields[i];
    // A label may occur twice: the field at the same place is the one meant.
    const auto& fields = document.fields();
    int at = i < fields.size() && fields[i].model.label == given.label ? static_cast<int>(i)
                                                                       : document.indexOf(given.label);
    if (at < 0) {
      // Leaves the message of an unknown label to the set.
      document.set(given.label, given.value.empty() ? "" : settingText(json::parse(given.value)));
      continue;
    }
    const FieldView& field = fields[static_cast<std::size_t>(at)];
    std::string setting;
    if (!given.value.empty()) {
      const json value = json::parse(given.value);
      if (!sameValue(field, value)) setting = settingText(value);
    }
    if (setting.empty() && !given.index.empty() && field.model.kind == ValueKind::Enumeration) {
      const json index = json::parse(given.index);
      if (!index.is_number_integer() || index.get<int64_t>() != field.value.integer)
        setting = settingText(index);
    }
    if (setting.empty()) continue;
    for (auto& note : document.set(given.label, setting)) notes.push_back(std::move(note));
  }
  return notes;
}

}  // namespace teds
