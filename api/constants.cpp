#include "constants.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <unordered_map>

#include "base/bit_field.h"
#include "latin1.h"
#include "tdl_walk.h"
#include "tedskit/records.h"

namespace teds {
namespace {

bool sameText(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

ConstantField fieldOf(const TDLConstant& constant) {
  ConstantField field;
  FieldModel& model = field.model;
  model.label = latin1ToUtf8(constant.description);
  model.units = latin1ToUtf8(constant.units);
  const std::string access = constant.accessClass;
  model.access = access.empty() ? "ID" : access;
  model.identification = model.access == "ID";
  model.bitWidth = 0;
  const std::string written = latin1ToUtf8(constant.value);
  TypedValue& value = field.value;
  switch (constant.dataType) {
    case DT_ENUMERATION: {
      model.kind = ValueKind::Enumeration;
      model.datatype = TEDS_DT_ENUMERATION;
      if (constant.enumeration != nullptr) {
        for (const char* item : constant.enumeration->m_items) model.choices.push_back(latin1ToUtf8(item));
      }
      const auto named = std::find_if(model.choices.begin(), model.choices.end(),
                                      [&](const std::string& choice) { return sameText(choice, written); });
      value.integer =
          named != model.choices.end() ? named - model.choices.begin() : std::atoll(written.c_str());
      if (value.integer >= 0 && value.integer < static_cast<int64_t>(model.choices.size())) {
        value.text = model.choices[static_cast<std::size_t>(value.integer)];
      } else {
        value.text = written;
      }
      value.display = value.text;
      break;
    }
    case DT_CONRES:
    case DT_CONRELRES:
    case DT_SINGLE:
      model.kind = ValueKind::Real;
      value.real = std::strtod(written.c_str(), nullptr);
      value.display = formatNumber(model, value.real);
      break;
    case DT_UNINT:
      value.integer = std::atoll(written.c_str());
      value.display = std::to_string(value.integer);
      break;
    default:
      model.kind = ValueKind::Text;
      value.text = written;
      value.display = written;
      break;
  }
  value.kind = model.kind;
  model.minimum = model.maximum =
      value.kind == ValueKind::Real ? value.real : static_cast<double>(value.integer);
  return field;
}

// The constants of one list that the walk has not passed yet.
struct Pending {
  const void* owner;
  std::vector<TDLConstant> constants;
  std::size_t next = 0;
};

}  // namespace

std::vector<ConstantField> constantFields(const CTDLTemplate& tmpl, std::span<const uint8_t> memory) {
  std::vector<ConstantField> out;
  std::vector<Pending> active;
  std::unordered_map<const CTDLProperty*, std::pair<const void*, int>> places;
  const auto activate = [&](const void* owner, std::vector<TDLConstant> constants,
                            const std::vector<CTDLProperty*>& list) {
    for (int i = 0; i < static_cast<int>(list.size()); ++i)
      places[list[static_cast<std::size_t>(i)]] = {owner, i};
    active.push_back({owner, std::move(constants)});
  };
  const auto flush = [&](Pending& pending, int upTo, int64_t at) {
    while (pending.next < pending.constants.size() && pending.constants[pending.next].before <= upTo) {
      out.push_back(fieldOf(pending.constants[pending.next++]));
      out.back().engineBit = at;
    }
  };
  activate(&tmpl, tmpl.getConstants(), tmpl.m_properties);
  TdlWalk walk(
      memory,
      [&](const CTDLProperty* property, int64_t at) {
        if (const auto found = places.find(property); found != places.end()) {
          // A property of a list: that list's constants before it come first, and every
          // case entered since the list's last property has ended.
          for (std::size_t k = 0; k < active.size(); ++k) {
            if (active[k].owner != found->second.first) continue;
            for (std::size_t later = active.size(); later > k + 1; --later) {
              flush(active[later - 1], std::numeric_limits<int>::max(), at);
            }
            flush(active[k], found->second.second, at);
            break;
          }
        }
        // The model's getters are not const.
        auto* met = const_cast<CTDLProperty*>(property);
        if (met->getPropertyType() != PT_SELECTCASE) return;
        auto* select = static_cast<CTDLSelectCase*>(met);
        const uint64_t chosen = tedskit::base::readBits(memory, at, select->getBitWidth());
        if (chosen < select->m_cases.size() && select->m_cases[chosen] != nullptr) {
          const CTDLCase* c = select->m_cases[chosen];
          activate(c, c->getConstants(), c->m_properties);
        }
      },
      [](const CTDLSelectCase*) { return false; });
  walk.properties(tmpl.m_properties, true);
  for (std::size_t k = active.size(); k > 0; --k)
    flush(active[k - 1], std::numeric_limits<int>::max(), walk.cursor);
  return out;
}

}  // namespace teds
