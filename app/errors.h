// Errors that a handler does not handle travel as RuntimeError to the form
// runtime, which reports them and ends the program.
#pragma once

#include <stdexcept>
#include <string>

namespace qvl {

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }

 private:
  int number_;
};

// The numbers and texts of the program's own error policy.
inline RuntimeError TypeMismatch() {
  return RuntimeError(13, "Type mismatch");
}
inline RuntimeError InvalidCall() {
  return RuntimeError(5, "Invalid procedure call or argument");
}
inline RuntimeError FileNotFound() {
  return RuntimeError(53, "File not found");
}

// The text of the message box that reports an unhandled error.
inline std::string UnhandledErrorText(int number, const std::string& description) {
  return "Run-time error '" + std::to_string(number) + "':\n\n" + description;
}

}  // namespace qvl
