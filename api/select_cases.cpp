#include "select_cases.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "latin1.h"
#include "tedskit/dorvia.h"
#include "tedskit/orlin.hpp"
#include "tedskit/tedsinfo.hpp"
#include "value_check.h"

namespace teds {
namespace {

constexpr int kMaxLevels = 16;  // values a select-case record holds

std::string unquotedText(const char* text) {
  std::string s = text != nullptr ? text : "";
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
  return s;
}

std::string caseText(CTDLSelectCase& select, int value) {
  if (value < 0 || static_cast<std::size_t>(value) >= select.m_cases.size() || select.m_cases[value] == nullptr)
    return {};
  return unquotedText(select.m_cases[static_cast<std::size_t>(value)]->getDescription());
}

struct Visit {
  CTDLSelectCase* select;
  int value;
};

// A select case with more than two cases that a field of the TEDS chooses: the engine
// lays it out as that field and leaves the cases' own select cases to their fields.
bool chosenByField(CTDLSelectCase& select, const Document& document) {
  return !select.IsBinary() && document.indexOf(latin1ToUtf8(unquotedText(select.getDescription()))) >= 0;
}

// The select cases in the order the engine meets them laying the template out: each
// takes the next value of the record, and the engine goes on into the chosen case of one
// that no field chooses. valueOf gives the value of the next one, or -1 when the record
// holds no more (the engine then leaves that select case and its cases out).
void walk(const std::vector<CTDLProperty*>& list, const Document& document,
          const std::function<int(CTDLSelectCase&)>& valueOf, std::vector<Visit>& out) {
  for (CTDLProperty* property : list) {
    if (property == nullptr || property->getPropertyType() != PT_SELECTCASE) continue;
    auto& select = static_cast<CTDLSelectCase&>(*property);
    if (out.size() >= kMaxLevels) return;
    const int value = valueOf(select);
    if (value < 0) return;
    out.push_back({&select, value});
    if (chosenByField(select, document)) continue;
    if (static_cast<std::size_t>(value) < select.m_cases.size() && select.m_cases[value] != nullptr)
      walk(select.m_cases[static_cast<std::size_t>(value)]->m_properties, document, valueOf, out);
  }
}

// The engine's current template and the select cases its last decode met.
std::vector<Visit> decodedVisits(const Document& document, CTDLTemplate*& tmpl) {
  tmpl = gTedsinfoptr != nullptr ? gTedsinfoptr->getCurrentTemplate() : nullptr;
  sccontrolstruct scc{};
  if (tmpl == nullptr || getTemplateSCC(&scc) != 1) return {};
  std::vector<Visit> visits;
  walk(tmpl->m_properties, document,
       [&](CTDLSelectCase&) {
         const auto level = static_cast<int>(visits.size());
         return level < std::min(scc.count, kMaxLevels) ? scc.values[level] : -1;
       },
       visits);
  return visits;
}

bool allDigits(std::string_view text) {
  return !text.empty() && text.size() < 6 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::vector<SelectCase> selectCasesOf(const Document& document) {
  if (document.teds().engine != EngineKind::V10) return {};
  Engine engine(document.engine().templatesDir());
  engine.decode(document.engineImage(), true);
  CTDLTemplate* tmpl = nullptr;
  std::vector<SelectCase> cases;
  for (const Visit& visit : decodedVisits(document, tmpl)) {
    SelectCase one;
    one.description = latin1ToUtf8(unquotedText(visit.select->getDescription()));
    one.value = visit.value;
    one.caseText = latin1ToUtf8(caseText(*visit.select, visit.value));
    for (int i = 0; i < static_cast<int>(visit.select->m_cases.size()); ++i)
      one.cases.push_back(latin1ToUtf8(caseText(*visit.select, i)));
    if (chosenByField(*visit.select, document)) {
      one.field = document.indexOf(one.description);
      one.caseText = document.fields()[static_cast<std::size_t>(one.field)].value.display;
    }
    cases.push_back(std::move(one));
  }
  return cases;
}

std::optional<LaidOutCase> withLayoutCase(const Document& document, std::string_view description,
                                          std::string_view value) {
  if (document.teds().engine != EngineKind::V10) return std::nullopt;
  Engine engine(document.engine().templatesDir());
  const Teds current = engine.decode(document.engineImage(), true);
  CTDLTemplate* tmpl = nullptr;
  const std::vector<Visit> before = decodedVisits(document, tmpl);
  const std::string latin = utf8ToLatin1(std::string(description));
  const auto target = std::find_if(before.begin(), before.end(), [&](const Visit& visit) {
    return unquotedText(visit.select->getDescription()) == latin && !chosenByField(*visit.select, document);
  });
  if (target == before.end()) return std::nullopt;

  CTDLSelectCase& select = *target->select;
  const std::string wanted = utf8ToLatin1(std::string(trim(value)));
  int chosen = -1;
  std::string choices;
  for (int i = 0; i < static_cast<int>(select.m_cases.size()); ++i) {
    const std::string text = caseText(select, i);
    if (chosen < 0 && (equalsIgnoreCase(text, wanted) || (allDigits(wanted) && std::stoi(wanted) == i))) chosen = i;
    choices += (i == 0 ? "" : ", ") + latin1ToUtf8(text);
  }
  if (chosen < 0) {
    throw ValueRefused("\"" + std::string(description) + "\" takes one of " + choices + " (or its number, 0 to " +
                       std::to_string(select.m_cases.size() - 1) + "), not \"" + std::string(trim(value)) + "\"");
  }

  // The new record: the chosen case here, and every other select case met keeps its case
  // (a select case of the new branch takes the case of one of the same description
  // before it, else its first).
  std::vector<bool> used(before.size(), false);
  std::vector<Visit> after;
  walk(tmpl->m_properties, document,
       [&](CTDLSelectCase& met) {
         if (&met == &select) return chosen;
         const auto take = [&](std::size_t i) {
           used[i] = true;
           return before[i].value;
         };
         for (std::size_t i = 0; i < before.size(); ++i) {
           if (!used[i] && before[i].select == &met) return take(i);
         }
         for (std::size_t i = 0; i < before.size(); ++i) {
           if (!used[i] && before[i].select != &select &&
               unquotedText(before[i].select->getDescription()) == unquotedText(met.getDescription())) {
             return take(i);
           }
         }
         return 0;
       },
       after);
  sccontrolstruct scc{};
  scc.count = static_cast<int32_t>(after.size());
  for (std::size_t i = 0; i < after.size(); ++i) scc.values[i] = after[i].value;
  if (setTemplateSCC(&scc) != 1) throw Failure("cannot choose a case of \"" + std::string(description) + "\"");

  TemplateChoice choice;
  choice.templateId = current.fields->array.templateID;
  choice.v10 = true;
  Teds laid = engine.layout(choice);
  auto& to = laid.fields->array;
  const auto& from = current.fields->array;
  for (int i = 0; i < std::min(to.numItems, TEDS_MAX_ITEMS); ++i) {
    for (int j = 0; j < std::min(from.numItems, TEDS_MAX_ITEMS); ++j) {
      if (std::strncmp(to.items[i].label, from.items[j].label, TEDS_LABEL_SIZE) != 0) continue;
      std::memcpy(to.items[i].value, from.items[j].value, sizeof to.items[i].value);
      break;
    }
  }
  LaidOutCase result{engine.encode(laid), Teds{}, std::strcmp(select.getAccessClass(), "ID") == 0};
  result.image.origin = document.engineImage().origin;
  result.image.streamBits = document.engineImage().streamBits;
  result.teds = engine.decode(result.image, true);
  for (const Visit& visit : decodedVisits(document, tmpl)) {
    if (unquotedText(visit.select->getDescription()) != latin || chosenByField(*visit.select, document)) continue;
    if (visit.value != chosen) {
      throw ValueRefused("\"" + std::string(description) + "\" does not keep " + std::string(trim(value)) +
                         ": the image reads back " + latin1ToUtf8(caseText(*visit.select, visit.value)) +
                         "; nothing changed");
    }
    break;
  }
  return result;
}

}  // namespace teds
