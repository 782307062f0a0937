#include "line_reader.h"

namespace quillon {

File openForReading(const std::string& path) { return File(std::fopen(path.c_str(), "r")); }

bool readLine(std::FILE* file, std::string& line) {
  line.clear();
  int c = std::getc(file);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = std::getc(file)) {
    if (line.size() < kMaxLineLength) line.push_back(static_cast<char>(c));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace quillon
