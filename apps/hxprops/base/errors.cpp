#include "base/errors.h"

namespace hxprops {

namespace {

std::string compose(const SourceRef& at, const std::string& field, const std::string& message) {
  std::string text;
  if (!at.file.empty()) {
    text += at.file;
    if (at.line > 0) text += ":" + std::to_string(at.line);
    text += ": ";
  }
  if (!field.empty()) text += field + ": ";
  return text + message;
}

}  // namespace

InputError::InputError(const SourceRef& at, const std::string& field, const std::string& message)
    : std::runtime_error(compose(at, field, message)), at_(at), field_(field), message_(message) {}

}  // namespace hxprops
