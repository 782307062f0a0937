// Faults of a TDL file that the reader accepts without a word: a property type that is
// neither a data type nor an enumeration of its template, a number wider than 32 bits,
// a template ID that does not fit its width, and a file without VALIDATION_KEYCODE.
#ifndef TEDSKIT_CLI_TDL_CHECK_H
#define TEDSKIT_CLI_TDL_CHECK_H

#include <string>
#include <string_view>
#include <vector>

namespace teds {

struct TdlFault {
  int line;  // from 1
  std::string message;
};

// The faults of a TDL text, in line order. Statements that do not parse are left to the
// reader's own message.
std::vector<TdlFault> checkTdl(std::string_view text);

}  // namespace teds

#endif
