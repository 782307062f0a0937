// A request the API answers with an error: the HTTP status, the message for the user and,
// when the error concerns one field, its label, so the page can show it beside that field.
#ifndef TEDSKIT_CLI_SERVE_API_ERROR_H
#define TEDSKIT_CLI_SERVE_API_ERROR_H

#include <stdexcept>
#include <string>

namespace teds::serve {

class ApiError : public std::runtime_error {
 public:
  ApiError(int status, const std::string& message, std::string field = "")
      : std::runtime_error(message), status_(status), field_(std::move(field)) {}
  int status() const { return status_; }
  const std::string& field() const { return field_; }

 private:
  int status_;
  std::string field_;
};

}  // namespace teds::serve

#endif
