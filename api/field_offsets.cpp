#include "field_offsets.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "tdl_walk.h"
#include "tedskit/orlin.hpp"
#include "tedskit/tedsinfo.hpp"

namespace teds {
namespace {

// The TDL engine's memory is the checksum byte and then the template data: the Basic TEDS
// sits in the application register. In the memory image it follows the checksum byte.
constexpr int kChecksumBits = 8;
constexpr int kBasicTedsBits = 64;
constexpr int kBasicFieldWidths[] = {14, 15, 5, 6, 24};
constexpr int kBasicFields = 5;

int imagePosition(int64_t engineBit) {
  return static_cast<int>(engineBit < kChecksumBits ? engineBit : engineBit + kBasicTedsBits);
}

// The fields after the engine's: the template's constants, and the chained templates, which
// stand between the first template's fields and what follows them (its user data).
void laterOffsets(const Document& document, std::vector<int>& offsets) {
  // A constant takes no bits: its place is that of what follows it.
  std::size_t constant = static_cast<std::size_t>(document.engineFieldCount());
  for (const int64_t place : document.constantPlaces()) {
    if (constant < offsets.size()) offsets[constant++] = static_cast<int>(kChecksumBits + kBasicTedsBits + place);
  }
  if (document.chained().empty()) return;
  const int64_t start = kChecksumBits + kBasicTedsBits + document.chainStart();
  const auto firstChained = static_cast<std::size_t>(document.templates().at(1).firstField);
  for (std::size_t i = 0; i < firstChained && i < offsets.size(); ++i) {
    int& at = offsets[i];
    if (at >= start) at += static_cast<int>(document.chainBits());
  }
  std::size_t field = firstChained;
  for (const auto& chained : document.chained()) {
    for (const auto& item : chained.items) {
      if (field < offsets.size()) offsets[field++] = static_cast<int>(start + item.offset);
    }
  }
}

void tdlOffsets(const Document& document, std::vector<int>& offsets) {
  int at = kChecksumBits;
  for (int i = 0; i < kBasicFields && i < static_cast<int>(offsets.size()); ++i) {
    offsets[static_cast<std::size_t>(i)] = at;
    at += kBasicFieldWidths[i];
  }
  // The engine holds the properties of its last decode only, and sees the first template.
  Engine engine(document.engine().templatesDir());
  engine.decode(document.engineImage(), true);
  CTEDSInfo* info = gTedsinfoptr;
  if (info == nullptr || info->currentTemplate == nullptr) return;
  std::unordered_map<const CTDLProperty*, int> fields;
  for (int i = kBasicFields; i < document.engineFieldCount(); ++i) {
    if (const CTDLProperty* property = info->getPropertyByIndex(i - kBasicFields)) fields.emplace(property, i);
  }
  const auto memory = v10Memory(document.engineImage());
  TdlWalk walk(
      memory,
      [&](const CTDLProperty* property, int64_t at) {
        const auto found = fields.find(property);
        if (found != fields.end()) offsets[static_cast<std::size_t>(found->second)] = imagePosition(at);
      },
      // A select case the user chooses is a field: its case's properties are read as plain bits.
      [&](const CTDLSelectCase* selectCase) { return fields.count(selectCase) != 0; });
  walk.properties(info->currentTemplate->m_properties);
  laterOffsets(document, offsets);
}

// The description engine's form text keeps the description's lines in order: field
// lines ("label","access","width","type",...) and the words that move the position.
void descriptionOffsets(const std::string& form, std::vector<int>& offsets) {
  int64_t position = 0;
  std::size_t field = 0;
  std::size_t start = 0;
  while (start < form.size() && field < offsets.size()) {
    std::size_t end = form.find('\n', start);
    if (end == std::string::npos) end = form.size();
    const std::string_view line(form.data() + start, end - start);
    start = end + 1;
    if (line.starts_with('"')) {
      // The width is the third quoted item, the type the fourth.
      std::vector<std::string_view> items;
      std::size_t at = 0;
      while (items.size() < 4) {
        const auto open = line.find('"', at);
        if (open == std::string_view::npos) break;
        const auto close = line.find('"', open + 1);
        if (close == std::string_view::npos) break;
        items.push_back(line.substr(open + 1, close - open - 1));
        at = close + 1;
      }
      offsets[field++] = static_cast<int>(position);
      if (items.size() < 4) continue;
      const std::string_view type = items[3];
      const int64_t width = std::strtoll(std::string(items[2]).c_str(), nullptr, 0);
      // Text runs on from where it starts; a type the engine does not know takes no bits.
      const bool placed = type == "UNINT" || type == "Direction" || type == "Manufacturer" || type == "Chr5" ||
                          type == "DATE" || type == "ConRelRes" || type == "ConRes";
      if (placed && width > 0) position += width;
    } else if (line.starts_with("selector")) {
      position += std::max<int64_t>(0, std::strtoll(std::string(line.substr(8)).c_str(), nullptr, 0));
    } else if (line.starts_with("crc8")) {
      position += 8;
    } else if (line.starts_with("align")) {
      position = (position + 7) / 8 * 8;
    } else if (line.starts_with("EndTemplate")) {
      break;
    }
  }
}

}  // namespace

std::vector<int> fieldBitOffsets(const Document& document) {
  std::vector<int> offsets(document.fields().size(), -1);
  switch (document.teds().engine) {
    case EngineKind::V10:
      tdlOffsets(document, offsets);
      break;
    case EngineKind::Description:
      descriptionOffsets(document.teds().formText, offsets);
      break;
    case EngineKind::Lms:
      break;
  }
  return offsets;
}

}  // namespace teds
