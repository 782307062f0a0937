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

namespace {
unsigned char foldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }
}  // namespace

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldAscii(static_cast<unsigned char>(a[i])) != foldAscii(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
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
