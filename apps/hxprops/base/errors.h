// The two kinds of failure hxprops reports: bad input (exit status 2) and a calculation or output
// that could not be completed (exit status 1).
#pragma once

#include <stdexcept>
#include <string>

namespace hxprops {

// Where a piece of input came from: a file (or "<default case>", "command line") and a line (0 when
// not known).
struct SourceRef {
  std::string file;
  int line = 0;
};

// Bad input: an unknown component, a negative flow, a malformed case file, a temperature outside the
// databank's range, an unknown option. The message names the file, the line and the field where
// there is one: "case.toml:12: side0.flows.benzen: unknown component".
class InputError : public std::runtime_error {
 public:
  InputError(const SourceRef& at, const std::string& field, const std::string& message);
  const SourceRef& where() const { return at_; }
  const std::string& field() const { return field_; }
  // What is wrong, without the file, line and field.
  const std::string& message() const { return message_; }

 private:
  SourceRef at_;
  std::string field_;
  std::string message_;
};

// A calculation or an output that failed although the input was acceptable (a flash that did not
// converge, gnuplot missing, a file that cannot be written).
class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace hxprops
