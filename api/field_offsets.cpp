#include "field_offsets.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "base/bit_field.h"
#include "tedskit/orlin.hpp"
#include "tedskit/tedsinfo.hpp"

namespace teds {
namespace {

using tedskit::base::readBits;

// The TDL engine's memory is the checksum byte and then the template data: the Basic TEDS
// sits in the application register. In the memory image it follows the checksum byte.
constexpr int kChecksumBits = 8;
constexpr int kBasicTedsBits = 64;
constexpr int kBasicFieldWidths[] = {14, 15, 5, 6, 24};
constexpr int kBasicFields = 5;
constexpr int64_t kTemplateDataStart = 18;  // after the selector and the template ID
constexpr int kUserMarkBits = 3;
constexpr uint64_t kUserTextMark = 7;
constexpr uint64_t kEndWithoutText = 3;
constexpr int kUserCharacterBits = 7;

int imagePosition(int64_t engineBit) {
  return static_cast<int>(engineBit < kChecksumBits ? engineBit : engineBit + kBasicTedsBits);
}

// Walks the template over the engine's memory as the decoder does, noting where each
// property that is a field begins.
class TdlWalk {
 public:
  TdlWalk(std::span<const uint8_t> memory, const std::unordered_map<const CTDLProperty*, int>& fields,
          std::vector<int>& offsets)
      : memory_(memory), fields_(fields), offsets_(offsets) {}

  void properties(const std::vector<CTDLProperty*>& list) {
    for (CTDLProperty* property : list) {
      if (property != nullptr && !done()) one(property);
    }
  }

  int64_t cursor = kTemplateDataStart;

 private:
  bool done() const { return cursor >= kTedsTemplateDataEndBit; }

  void note(const CTDLProperty* property) {
    const auto at = fields_.find(property);
    if (at != fields_.end()) offsets_[static_cast<std::size_t>(at->second)] = imagePosition(cursor);
  }

  uint64_t take(int64_t bits) {
    const uint64_t value = readBits(memory_, cursor, std::min<int64_t>(bits, 64));
    cursor += std::max<int64_t>(bits, 0);
    return value;
  }

  bool zerosFrom(int64_t at) const {
    for (; at < kTedsTemplateDataEndBit; at += 56) {
      if (readBits(memory_, at, std::min<int64_t>(56, kTedsTemplateDataEndBit - at)) != 0) return false;
    }
    return true;
  }

  static CTDLCase* caseOf(CTDLSelectCase* selectCase, uint64_t value) {
    return value < selectCase->m_cases.size() ? selectCase->m_cases[static_cast<std::size_t>(value)] : nullptr;
  }

  void one(CTDLProperty* property) {
    note(property);
    if (property->getPropertyType() == PT_SELECTCASE) {
      auto* selectCase = static_cast<CTDLSelectCase*>(property);
      CTDLCase* chosen = caseOf(selectCase, take(selectCase->getBitWidth()));
      if (chosen == nullptr) return;
      if (fields_.count(selectCase) != 0) {
        // A select case the user chooses: its case's properties are read as plain bits.
        for (CTDLProperty* inner : chosen->m_properties) {
          if (inner == nullptr) continue;
          note(inner);
          take(inner->getBitWidth());
        }
      } else {
        properties(chosen->m_properties);
      }
      return;
    }
    int64_t bits = property->getBitWidth();
    if (bits == -1) bits = kTedsTemplateDataEndBit - cursor;
    if (property->getPropertyType() == PT_USER) {
      userData(bits);
    } else {
      take(bits);
    }
  }

  // A mark announces 7-bit text ending at a zero; the end selector alone holds none.
  void userData(int64_t bits) {
    const int64_t start = cursor;
    const uint64_t mark = take(kUserMarkBits);
    if (mark == kUserTextMark) {
      while (!done() && take(kUserCharacterBits) != 0) {
      }
    } else if (mark == kEndWithoutText && zerosFrom(cursor)) {
      cursor = start + 2;
    } else {
      cursor = start + bits;
    }
  }

  std::span<const uint8_t> memory_;
  const std::unordered_map<const CTDLProperty*, int>& fields_;
  std::vector<int>& offsets_;
};

void tdlOffsets(const Document& document, std::vector<int>& offsets) {
  int at = kChecksumBits;
  for (int i = 0; i < kBasicFields && i < static_cast<int>(offsets.size()); ++i) {
    offsets[static_cast<std::size_t>(i)] = at;
    at += kBasicFieldWidths[i];
  }
  // The engine holds the properties of its last decode only.
  Engine engine(document.engine().templatesDir());
  engine.decode(document.image(), true);
  CTEDSInfo* info = gTedsinfoptr;
  if (info == nullptr || info->currentTemplate == nullptr) return;
  std::unordered_map<const CTDLProperty*, int> fields;
  for (int i = kBasicFields; i < static_cast<int>(offsets.size()); ++i) {
    if (const CTDLProperty* property = info->getPropertyByIndex(i - kBasicFields)) fields.emplace(property, i);
  }
  const auto memory = v10Memory(document.image());
  TdlWalk walk(memory, fields, offsets);
  walk.properties(info->currentTemplate->m_properties);
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
