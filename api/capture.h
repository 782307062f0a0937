// Catches what the libraries print on a standard stream (the engine's notes on standard
// output, the TDL reader's syntax errors on standard error) while it is in scope, so
// that the tool's own output stays clean and the text can be reported as the tool's.
#ifndef TEDSKIT_API_CAPTURE_H
#define TEDSKIT_API_CAPTURE_H

#include <cstdio>
#include <string>

namespace teds {

class CapturedOutput {
 public:
  explicit CapturedOutput(int fd);
  ~CapturedOutput();
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  // Puts the stream back and returns what was written to it.
  std::string finish();

 private:
  void restore();
  int fd_;
  std::FILE* file_;
  int saved_ = -1;
};

}  // namespace teds

#endif
