#include "text_util.h"

#include <cstring>

namespace orlin_detail {

char* copyText(const char* text) {
  if (text == nullptr) return nullptr;
  return copyText(std::string_view(text));
}

char* copyText(std::string_view text) {
  char* copy = new char[text.size() + 1];
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void replaceText(char*& slot, const char* text) {
  char* copy = copyText(text);
  delete[] slot;
  slot = copy;
}

std::string withoutQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  // Whole runs between quotes at a time: most texts hold only the two around them.
  for (std::size_t quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"')) {
    out.append(text.substr(0, quote));
    text.remove_prefix(quote + 1);
  }
  out.append(text);
  return out;
}

}  // namespace orlin_detail
