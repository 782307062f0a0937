#include "text_util.h"

#include <cstring>

namespace orlin_detail {

char* copyText(const char* text) {
  if (text == nullptr) return nullptr;
  const std::size_t n = std::strlen(text);
  char* copy = new char[n + 1];
  std::memcpy(copy, text, n + 1);
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
  for (char c : text) {
    if (c != '"') out.push_back(c);
  }
  return out;
}

}  // namespace orlin_detail
