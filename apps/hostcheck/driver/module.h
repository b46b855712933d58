// Loading a shared library and finding a symbol in it: the program's one platform-dependent part.
#pragma once

#include <string>

namespace hostcheck_driver {

class Module {
 public:
  // Loads the library with its symbols visible to libraries loaded after it (a host module must
  // define the symbols the checker imports). On failure ok() is false and error() says why.
  explicit Module(const std::string& path);
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  // Modules stay loaded until the program ends: the host's streams live in them.
  ~Module() = default;

  bool ok() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }
  void* symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
  std::string error_;
};

// The directory of the running program, with a trailing separator.
std::string program_directory();
// The checker library's file name on this platform.
const char* checker_file_name();

}  // namespace hostcheck_driver
