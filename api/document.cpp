#include "document.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "base/ascii_case.h"
#include "base/template_notes.h"
#include "constants.h"
#include "latin1.h"
#include "select_cases.h"
#include "value_check.h"

namespace teds {
namespace {

// The TDL engine's memory starts with the checksum byte; the image's body after it.
constexpr int64_t kEngineChecksumBits = 8;

}  // namespace

Document::Document(std::filesystem::path templatesDir, TedsImage image, bool forceV10)
    : engine_(std::move(templatesDir)), image_(std::move(image)), base_(image_), teds_(splitAndDecode(forceV10)) {
  refresh();
}

void Document::refresh() {
  fields_.clear();
  auto models = fieldModels(teds_);
  fields_.reserve(models.size());
  for (auto& model : models) {
    TypedValue value = typedValue(teds_, model);
    fields_.push_back({std::move(model), std::move(value)});
  }
  engineFields_ = static_cast<int>(fields_.size());
  constantPlaces_.clear();
  if (const CTDLTemplate* tmpl = teds_.engine == EngineKind::V10 ? loadedTemplate(teds_.fields->array.templateID) : nullptr) {
    for (auto& constant : constantFields(*tmpl, v10Memory(base_))) {
      constant.model.index = static_cast<int>(fields_.size());
      constantPlaces_.push_back(constant.engineBit - kEngineChecksumBits);
      fields_.push_back({std::move(constant.model), std::move(constant.value)});
    }
  }
  chainFirst_ = static_cast<int>(fields_.size());
  if (chain_.templates.empty()) return;
  std::size_t chainFields = 0;
  for (const auto& chained : chain_.templates) chainFields += chained.items.size();
  // Reserved first: the sorted list of every label so far looks at them in place.
  fields_.reserve(fields_.size() + chainFields);
  std::vector<std::string_view> labels;
  labels.reserve(fields_.capacity());
  for (const auto& field : fields_) labels.push_back(field.model.label);
  std::sort(labels.begin(), labels.end());
  for (const auto& chained : chain_.templates) {
    for (const auto& item : chained.items) {
      FieldView view{item.model, item.value};
      view.model.index = static_cast<int>(fields_.size());
      // Two calibration templates may share a label: the later one is told by its template.
      if (std::binary_search(labels.begin(), labels.end(), std::string_view(view.model.label)))
        view.model.label += " (template " + std::to_string(chained.id) + ")";
      fields_.push_back(std::move(view));
      const std::string_view label = fields_.back().model.label;
      labels.insert(std::lower_bound(labels.begin(), labels.end(), label), label);
    }
  }
}

std::vector<TemplateSection> Document::templates() const {
  const auto& array = teds_.fields->array;
  const std::string name = latin1ToUtf8(std::string(array.templateName, strnlen(array.templateName, TEDS_TEMPLATE_NAME_SIZE)));
  std::vector<TemplateSection> sections;
  sections.push_back({array.templateID, name,
                      teds_.engine == EngineKind::V10 && tedskit::base::provisionalNote(array.templateID, array.templateName).has_value(),
                      0, chainFirst_});
  int first = chainFirst_;
  for (const auto& chained : chain_.templates) {
    const int count = static_cast<int>(chained.items.size());
    sections.push_back({chained.id, chained.name, chained.provisional.has_value(), first, count});
    first += count;
  }
  return sections;
}

int Document::indexOf(std::string_view label) const {
  for (const auto& field : fields_) {
    if (field.model.label == label) return field.model.index;
  }
  return -1;
}

std::vector<std::string> Document::set(std::string_view label, std::string_view value) {
  const int index = indexOf(label);
  if (index >= chainFirst_) return setChained(fields_[static_cast<std::size_t>(index)], value);
  if (index >= engineFields_) {
    const FieldView& constant = fields_[static_cast<std::size_t>(index)];
    // Giving a constant the value it holds changes nothing.
    const std::string given = trim(value);
    const bool same = tedskit::base::equalsIgnoreCase(given, constant.value.display) ||
                      (constant.model.kind == ValueKind::Real && !given.empty() &&
                       std::strtod(given.c_str(), nullptr) == constant.value.real &&
                       given.find_first_not_of("+-0123456789.eE") == std::string::npos);
    if (same) return {};
    throw ValueRefused(quotedLabel(constant.model) + " is a constant of the template: it takes no bits and is always " +
                       constant.value.display);
  }
  if (index < 0) {
    // A select case that the template lays out from its stored selector has no field.
    if (auto laid = withLayoutCase(*this, label, value)) {
      image_ = joined(laid->image, chain_.bits, cut_);
      teds_ = std::move(laid->teds);
      base_ = std::move(laid->image);
      refresh();
      if (!laid->identification) return {};
      // Built piece by piece: g++ 12 warns falsely (-Wrestrict) of "\"" + a moved string.
      std::string note = "\"";
      note.append(label).append("\" identifies the sensor: it is normally set by the sensor's maker");
      return {note};
    }
    std::string labels;
    for (const auto& field : fields_) labels += (labels.empty() ? "\"" : ", \"") + field.model.label + "\"";
    throw Failure("no field labelled \"" + std::string(label) + "\" in template \"" +
                  latin1ToUtf8(teds_.fields->array.templateName) + "\"; its fields are " + labels);
  }
  const FieldModel& field = fields_[static_cast<std::size_t>(index)].model;
  CheckedValue checked = checkValue(field, trim(value));
  // Set on a copy and take it through an image and back, so that what is kept is what
  // the image holds, and a select case that changes the layout lays it out anew.
  Teds edited;
  *edited.fields = *teds_.fields;
  edited.engine = teds_.engine;
  edited.formText = teds_.formText;
  engine_.setField(edited, std::string(label), checked.engineText);
  TedsImage image = engine_.encode(edited);
  image.origin = base_.origin;
  image.streamBits = base_.streamBits;
  Teds decoded = engine_.decode(image, teds_.engine == EngineKind::V10);
  const auto models = fieldModels(decoded);
  for (const auto& model : models) {
    if (model.label != field.label) continue;
    const TypedValue stored = typedValue(decoded, model);
    if (model.kind == ValueKind::Real) {
      const std::string wanted = formatNumber(model, std::strtod(checked.engineText.c_str(), nullptr));
      if (stored.display != wanted) {
        checked.notes.push_back(quotedLabel(model) + " is stored as " + stored.display +
                                (model.units.empty() ? "" : " " + model.units) + ", not " +
                                std::string(trim(value)));
      }
    } else if (model.kind == ValueKind::Text && trim(stored.text) != trim(checked.engineText)) {
      throw ValueRefused(quotedLabel(model) + " has no room for " +
                         std::to_string(checked.engineText.size()) + " characters: it keeps \"" +
                         trim(stored.text) + "\"");
    } else if (model.kind != ValueKind::Text && model.kind != ValueKind::Real) {
      // A field the encoder does not take from the array (a select case laid out by the
      // template) would be left as it was, with the set reported as done.
      const TypedValue asked = typedValue(edited, field);
      if (asked.integer != stored.integer) {
        throw ValueRefused(quotedLabel(model) + " does not keep " + std::string(trim(value)) +
                           ": the image reads back " + stored.display + "; nothing changed");
      }
    }
    break;
  }
  if (field.identification) {
    checked.notes.push_back(quotedLabel(field) +
                            " identifies the sensor: it is normally set by the sensor's maker");
  }
  image_ = joined(image, chain_.bits, cut_);
  teds_ = std::move(decoded);
  base_ = std::move(image);
  refresh();
  return checked.notes;
}

}  // namespace teds
