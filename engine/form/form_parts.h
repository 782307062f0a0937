// The comma-separated parts of one form text line.
#ifndef TEDSKIT_ENGINE_FORM_FORM_PARTS_H
#define TEDSKIT_ENGINE_FORM_FORM_PARTS_H

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dorvia {

struct Part {
  std::string_view text;  // without quotes and without trailing blanks or control bytes
  std::size_t start = 0;  // offset of the part (its opening quote, if quoted) in the line
  bool quoted = false;
};

// Reads parts in turn: blanks and commas before a part are skipped; a part in double
// quotes may contain commas; an unquoted part runs to the next comma.
class PartReader {
 public:
  explicit PartReader(std::string_view line) : line_(line) {}

  // The next part; an empty, unquoted part at the end of the line.
  Part next();
  // The next part without consuming it.
  Part peek() const { return PartReader(*this).next(); }
  bool atEnd() const;

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

// The datatype code of a form text type word (case-insensitive), or 0.
int32_t datatypeOf(std::string_view word);

}  // namespace dorvia

#endif  // TEDSKIT_ENGINE_FORM_FORM_PARTS_H
