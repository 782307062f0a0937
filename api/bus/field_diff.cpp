#include "field_diff.h"

#include <utility>

#include "document.h"

namespace teds {
namespace {

struct Decoded {
  int templateId = 0;
  std::vector<std::pair<std::string, std::string>> fields;  // label, value as shown
};

// The fields as every program sees them; nothing when the image does not decode, with
// the reason in why.
std::optional<Decoded> decoded(const std::filesystem::path& dir, const TedsImage& image, std::string& why) {
  try {
    const Document document(dir, image, false);
    Decoded out;
    out.templateId = image.templateId();
    for (const FieldView& field : document.fields()) out.fields.emplace_back(field.model.label, field.value.display);
    return out;
  } catch (const std::exception& error) {
    why = error.what();
    return std::nullopt;
  }
}

const std::string* valueOf(const Decoded& d, const std::string& label) {
  for (const auto& [l, v] : d.fields)
    if (l == label) return &v;
  return nullptr;
}

}  // namespace

FieldDiff diffFields(const std::filesystem::path& templatesDir, const TedsImage& now, const TedsImage& wanted) {
  FieldDiff diff;
  std::string why;
  const std::optional<Decoded> after = decoded(templatesDir, wanted, why);
  if (!after) {
    diff.wantedUndecodable = why;
    return diff;
  }
  diff.afterTemplate = after->templateId;
  std::optional<Decoded> before;
  if (now.blankByte()) {
    diff.chip = FieldDiff::Chip::Blank;
  } else if (before = decoded(templatesDir, now, why); !before) {
    diff.chip = FieldDiff::Chip::Undecodable;
    diff.chipUndecodable = why;
  } else {
    diff.beforeTemplate = before->templateId;
  }
  for (const auto& [label, value] : after->fields) {
    const std::string* old = before ? valueOf(*before, label) : nullptr;
    if (old != nullptr && *old == value) continue;
    diff.changes.push_back({label, old != nullptr ? std::optional(*old) : std::nullopt, value});
  }
  if (before) {
    for (const auto& [label, value] : before->fields)
      if (valueOf(*after, label) == nullptr) diff.changes.push_back({label, value, std::nullopt});
  }
  return diff;
}

std::string fieldDiffText(const FieldDiff& diff) {
  if (diff.wantedUndecodable) return "The image does not decode: " + *diff.wantedUndecodable + "\n";
  std::string text;
  switch (diff.chip) {
    case FieldDiff::Chip::Blank:
      text = "The chip is blank; every field is new:\n";
      break;
    case FieldDiff::Chip::Undecodable:
      text = "The chip holds no TEDS that decodes (" + diff.chipUndecodable + "); every field is new:\n";
      break;
    case FieldDiff::Chip::Teds:
      if (diff.changes.empty() && diff.beforeTemplate == diff.afterTemplate)
        return "No field changes: the chip holds this TEDS.\n";
      text = "Changes:\n";
      if (diff.beforeTemplate != diff.afterTemplate)
        text += "  Template: " + std::to_string(diff.beforeTemplate) + " -> " + std::to_string(diff.afterTemplate) +
                "\n";
      break;
  }
  for (const FieldChange& change : diff.changes)
    text += "  " + change.label + ": " + change.before.value_or("-") + " -> " + change.after.value_or("-") + "\n";
  return text;
}

}  // namespace teds
