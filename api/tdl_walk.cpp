#include "tdl_walk.h"

#include <algorithm>

#include "base/bit_field.h"
#include "tedskit/tedsinfo.hpp"

namespace teds {
namespace {

using tedskit::base::readBits;

constexpr int kUserMarkBits = 3;
constexpr uint64_t kUserTextMark = 7;
constexpr uint64_t kEndWithoutText = 3;
constexpr int kUserCharacterBits = 7;

CTDLCase* caseOf(CTDLSelectCase* selectCase, uint64_t value) {
  return value < selectCase->m_cases.size() ? selectCase->m_cases[static_cast<std::size_t>(value)] : nullptr;
}

}  // namespace

TdlWalk::TdlWalk(std::span<const uint8_t> memory,
                 std::function<void(const CTDLProperty*, int64_t)> onProperty,
                 std::function<bool(const CTDLSelectCase*)> readAsPlain)
    : memory_(memory), onProperty_(std::move(onProperty)), readAsPlain_(std::move(readAsPlain)) {}

void TdlWalk::properties(const std::vector<CTDLProperty*>& list, bool untilUserData) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    CTDLProperty* property = list[i];
    if (property == nullptr || done()) continue;
    if (untilUserData && i + 1 == list.size() && property->getPropertyType() == PT_USER &&
        property->getBitWidth() == -1) {
      return;
    }
    one(property);
  }
}

bool TdlWalk::done() const { return cursor >= kTedsTemplateDataEndBit; }

uint64_t TdlWalk::take(int64_t bits) {
  const uint64_t value = readBits(memory_, cursor, std::min<int64_t>(bits, 64));
  cursor += std::max<int64_t>(bits, 0);
  return value;
}

bool TdlWalk::zerosFrom(int64_t at) const {
  for (; at < kTedsTemplateDataEndBit; at += 56) {
    if (readBits(memory_, at, std::min<int64_t>(56, kTedsTemplateDataEndBit - at)) != 0) return false;
  }
  return true;
}

void TdlWalk::one(CTDLProperty* property) {
  onProperty_(property, cursor);
  if (property->getPropertyType() == PT_SELECTCASE) {
    auto* selectCase = static_cast<CTDLSelectCase*>(property);
    CTDLCase* chosen = caseOf(selectCase, take(selectCase->getBitWidth()));
    if (chosen == nullptr) return;
    if (readAsPlain_(selectCase)) {
      for (CTDLProperty* inner : chosen->m_properties) {
        if (inner == nullptr) continue;
        onProperty_(inner, cursor);
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
void TdlWalk::userData(int64_t bits) {
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

}  // namespace teds
