#include "common/text_util.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace dorvia {

namespace {
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

bool containsNoCase(std::string_view text, std::string_view word) {
  if (word.size() > text.size()) return false;
  for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
    if (equalsNoCase(text.substr(i, word.size()), word)) return true;
  }
  return false;
}

int32_t copyOut(std::string_view text, char* buffer, int32_t size) {
  const auto length = static_cast<int32_t>(text.size());
  if (buffer == nullptr) return -21;
  if (size < 0) {
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    return length;
  }
  if (size == 0) return -21;
  const auto room = static_cast<std::size_t>(size - 1);
  const std::size_t n = text.size() < room ? text.size() : room;
  text.copy(buffer, n);
  buffer[n] = '\0';
  return n < text.size() ? -21 : length;
}

std::string trimmedDirectory(const char* dir) {
  std::string result = dir != nullptr ? dir : "";
  if (!result.empty() && (result.back() == '/' || result.back() == '\\')) result.pop_back();
  return result;
}

std::string joinPath(const std::string& dir, const std::string& name) {
  return dir.empty() ? name : dir + "/" + name;
}

bool parseCInteger(std::string_view text, long long& value, std::size_t* used) {
  // strtoll needs a terminated string; literals are short, so a bounded copy suffices.
  char buffer[64];
  std::size_t skip = 0;
  while (skip < text.size() && (text[skip] == ' ' || text[skip] == '\t')) ++skip;
  const std::size_t n = std::min<std::size_t>(text.size() - skip, sizeof buffer - 1);
  std::memcpy(buffer, text.data() + skip, n);
  buffer[n] = '\0';
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(buffer, &end, 0);
  if (end == buffer) return false;
  if (used != nullptr) *used = skip + static_cast<std::size_t>(end - buffer);
  return true;
}

}  // namespace dorvia
