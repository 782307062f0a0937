#include "field_diff.h"

#include <optional>
#include <utility>
#include <vector>

#include "tedskit/tedskit.h"

namespace teds {
namespace {

struct Decoded {
  int templateId = 0;
  std::vector<std::pair<std::string, std::string>> fields;  // label, value as shown
};

// Through libtedskit, the way every program sees the fields; nothing when it does not
// decode, with libtedskit's reason in why.
std::optional<Decoded> decoded(const std::filesystem::path& dir, const TedsImage& image, std::string& why) {
  const std::string text = formatImage(image);
  tedskit_teds* teds = nullptr;
  if (tedskit_teds_open(dir.c_str(), text.data(), text.size(), TEDSKIT_INPUT_TEXT, 0, &teds) != TEDSKIT_OK) {
    why = tedskit_last_error();
    return std::nullopt;
  }
  struct Release {
    tedskit_teds* teds;
    ~Release() { tedskit_teds_free(teds); }
  } release{teds};
  Decoded out;
  out.templateId = image.templateId();
  int32_t count = 0;
  tedskit_teds_field_count(teds, &count);
  for (int32_t i = 0; i < count; ++i) {
    const char* label = "";
    const char* shown = "";
    tedskit_field_label(teds, i, &label);
    tedskit_field_display(teds, i, &shown);
    // libtedskit's texts are UTF-8 already.
    out.fields.emplace_back(label, shown);
  }
  return out;
}

const std::string* valueOf(const Decoded& d, const std::string& label) {
  for (const auto& [l, v] : d.fields)
    if (l == label) return &v;
  return nullptr;
}

}  // namespace

std::string fieldDiff(const std::filesystem::path& templatesDir, const TedsImage& now,
                      const TedsImage& wanted) {
  std::string why;
  const std::optional<Decoded> after = decoded(templatesDir, wanted, why);
  if (!after) return "The image does not decode: " + why + "\n";
  std::optional<Decoded> before;
  std::string text;
  if (const auto blank = now.blankByte()) {
    text = "The chip is blank; every field is new:\n";
  } else if (before = decoded(templatesDir, now, why); !before) {
    text = "The chip holds no TEDS that decodes (" + why + "); every field is new:\n";
  } else {
    text = "Changes:\n";
    if (before->templateId != after->templateId)
      text += "  Template: " + std::to_string(before->templateId) + " -> " +
              std::to_string(after->templateId) + "\n";
  }
  std::size_t changes = 0;
  for (const auto& [label, value] : after->fields) {
    const std::string* old = before ? valueOf(*before, label) : nullptr;
    if (old != nullptr && *old == value) continue;
    text += "  " + label + ": " + (old != nullptr ? *old : "-") + " -> " + value + "\n";
    ++changes;
  }
  if (before) {
    for (const auto& [label, value] : before->fields) {
      if (valueOf(*after, label) != nullptr) continue;
      text += "  " + label + ": " + value + " -> -\n";
      ++changes;
    }
    if (changes == 0 && before->templateId == after->templateId)
      text = "No field changes: the chip holds this TEDS.\n";
  }
  return text;
}

}  // namespace teds
