// The select cases of a TDL template that shaped a TEDS's layout, with the case in force.
#ifndef TEDSKIT_API_SELECT_CASES_H
#define TEDSKIT_API_SELECT_CASES_H

#include <string>
#include <vector>

#include "document.h"

namespace teds {

struct SelectCase {
  std::string description;  // UTF-8
  int value = 0;            // the case in force, by its position
  std::string caseText;     // its description ("" when the template gives none)
  int field = -1;           // the field that chooses it, or -1 when the data choose it
};

// None for a TEDS of the description engine or LMS. Decodes the image again, since the
// engine keeps the select-case values of its last decode only.
std::vector<SelectCase> selectCasesOf(const Document& document);

}  // namespace teds

#endif
