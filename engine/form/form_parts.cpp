#include "form/form_parts.h"

#include "common/text_util.h"

namespace dorvia {

namespace {

// Trailing blanks and control bytes go; bytes above 0x7F (the degree sign) stay.
std::string_view trimTail(std::string_view text) {
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.back());
    if (c > 0x20 && c != 0x7F) break;
    text.remove_suffix(1);
  }
  return text;
}

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

}  // namespace

bool PartReader::atEnd() const {
  std::size_t at = pos_;
  while (at < line_.size() && isSeparator(line_[at])) ++at;
  return at >= line_.size();
}

Part PartReader::next() {
  while (pos_ < line_.size() && isSeparator(line_[pos_])) ++pos_;
  Part part;
  part.start = pos_;
  if (pos_ >= line_.size()) return part;
  if (line_[pos_] == '"') {
    part.quoted = true;
    const std::size_t from = pos_ + 1;
    std::size_t close = line_.find('"', from);
    if (close == std::string_view::npos) close = line_.size();
    part.text = trimTail(line_.substr(from, close - from));
    pos_ = close < line_.size() ? close + 1 : close;
    return part;
  }
  std::size_t comma = line_.find(',', pos_);
  if (comma == std::string_view::npos) comma = line_.size();
  part.text = trimTail(line_.substr(pos_, comma - pos_));
  pos_ = comma;
  return part;
}

int32_t datatypeOf(std::string_view word) {
  static constexpr std::string_view kWords[] = {"Manufacturer", "UNINT",  "Chr5",      "DATE",
                                                "ConRelRes",    "ConRes", "Direction", "ASCII"};
  for (int32_t code = 1; code <= 8; ++code) {
    if (equalsNoCase(word, kWords[code - 1])) return code;
  }
  return 0;
}

}  // namespace dorvia
