// Loading a shared library and finding a symbol in it: the program's one platform-dependent part.
#pragma once

#include <string>
#include <vector>

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
  // Every name the module exports (its dynamic symbol table, or its export directory on Windows).
  std::vector<std::string> exported_names() const;

 private:
  void* handle_ = nullptr;
  std::string path_;
  std::string error_;
};

// The directory of the running program, with a trailing separator.
std::string program_directory();
// The checker library's file name on this platform.
const char* checker_file_name();

// What keeps the checker from binding the host, as the message for the host's developer; empty when
// nothing does. On Windows the checker imports the host symbols from one module name, fixed when it
// is built: a host module named otherwise cannot be checked.
std::string binding_problem(const std::string& path);
// Every symbol of kvt/host.h the loaded host module lacks, at once, with a hint when it exports them
// decorated (naming the decoration found: a Fortran compiler's, a C++ mangled name, a leading underscore);
// empty when it has them all.
std::string missing_symbols(const Module& host, const std::string& path);

}  // namespace hostcheck_driver
