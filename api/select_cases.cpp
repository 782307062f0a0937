#include "select_cases.h"

#include <algorithm>
#include <array>

#include "latin1.h"
#include "tedskit/dorvia.h"

namespace teds {

std::vector<SelectCase> selectCasesOf(const Document& document) {
  if (document.teds().engine != EngineKind::V10) return {};
  Engine engine(document.engine().templatesDir());
  engine.decode(document.image(), true);
  sccontrolstruct scc{};
  if (getTemplateSCC(&scc) != 1) return {};
  const int rows = getSCCStructure();
  std::vector<SelectCase> cases;
  // The engine's table lists each select case with its first two cases; a case chosen by
  // a field (templates 33 and 39) has no case texts there, and its field holds the text.
  for (int i = 0; i < std::min({rows, scc.count, 16}); ++i) {
    std::array<char, 256> description{}, case0{}, case1{};
    if (getSCCData(i, description.data(), case0.data(), case1.data()) != 0) break;
    SelectCase one;
    one.description = latin1ToUtf8(description.data());
    one.value = scc.values[i];
    if (one.value == 0) one.caseText = latin1ToUtf8(case0.data());
    if (one.value == 1) one.caseText = latin1ToUtf8(case1.data());
    one.field = document.indexOf(one.description);
    if (one.field >= 0) one.caseText = document.fields()[static_cast<std::size_t>(one.field)].value.display;
    cases.push_back(std::move(one));
  }
  return cases;
}

}  // namespace teds
