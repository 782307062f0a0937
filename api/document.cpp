#include "document.h"

#include <cstdlib>

#include "latin1.h"
#include "select_cases.h"
#include "value_check.h"

namespace teds {

Document::Document(std::filesystem::path templatesDir, TedsImage image, bool forceV10)
    : engine_(std::move(templatesDir)), image_(std::move(image)), teds_(engine_.decode(image_, forceV10)) {
  refresh();
}

void Document::refresh() {
  fields_.clear();
  for (auto& model : fieldModels(teds_)) {
    TypedValue value = typedValue(teds_, model);
    fields_.push_back({std::move(model), std::move(value)});
  }
}

int Document::indexOf(std::string_view label) const {
  for (const auto& field : fields_) {
    if (field.model.label == label) return field.model.index;
  }
  return -1;
}

std::vector<std::string> Document::set(std::string_view label, std::string_view value) {
  const int index = indexOf(label);
  if (index < 0) {
    // A select case that the template lays out from its stored selector has no field.
    if (auto laid = withLayoutCase(*this, label, value)) {
      teds_ = std::move(laid->teds);
      image_ = std::move(laid->image);
      refresh();
      if (!laid->identification) return {};
      return {"\"" + std::string(label) + "\" identifies the sensor: it is normally set by the sensor's maker"};
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
  image.origin = image_.origin;
  image.streamBits = image_.streamBits;
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
  teds_ = std::move(decoded);
  image_ = std::move(image);
  refresh();
  return checked.notes;
}

}  // namespace teds
