// The select cases of a TDL template that shaped a TEDS's layout, with the case in force,
// and the choice of a case that the template lays out from a stored selector.
#ifndef TEDSKIT_API_SELECT_CASES_H
#define TEDSKIT_API_SELECT_CASES_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document.h"

namespace teds {

struct SelectCase {
  std::string description;  // UTF-8
  int value = 0;            // the case in force, by its position
  std::string caseText;     // its description ("" when the template gives none)
  int field = -1;           // the field that chooses it, or -1 when the data choose it
  std::vector<std::string> cases;  // every case's description, UTF-8
};

// None for a TEDS of the description engine or LMS. Decodes the image again, since the
// engine keeps the select-case values of its last decode only.
std::vector<SelectCase> selectCasesOf(const Document& document);

// A TEDS laid out anew with another case of a select case that no field chooses.
struct LaidOutCase {
  TedsImage image;
  Teds teds;  // the image decoded
  bool identification = false;  // the select case is of the ID class
};

// Chooses case `value` (its text in any letter case, or its number) of the select case
// with this description (UTF-8) that the template lays out from a stored selector: the
// fields of the new case are laid out, and every field that stays keeps its value.
// std::nullopt when the TEDS has no such select case. Throws ValueRefused for a case the
// select case does not have or one the image does not keep, Failure when the engine fails.
std::optional<LaidOutCase> withLayoutCase(const Document& document, std::string_view description,
                                          std::string_view value);

}  // namespace teds

#endif
