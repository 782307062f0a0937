// A failure the user should read, and the libraries' result codes in words.
#ifndef TEDSKIT_API_FAILURE_H
#define TEDSKIT_API_FAILURE_H

#include <stdexcept>
#include <string>

namespace teds {

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that cannot be read, written or replaced; the message names the file.
class FileFailure : public Failure {
 public:
  using Failure::Failure;
};

// The TEDS cannot be encoded in the form asked for (it does not fit the chip).
class EncodeFailure : public Failure {
 public:
  using Failure::Failure;
};

std::string describeCode(int code);

}  // namespace teds

#endif
