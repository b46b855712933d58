#include "module.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#  include <unistd.h>

#  include <climits>
#endif

namespace hostcheck_driver {

#if defined(_WIN32)

Module::Module(const std::string& path) {
  handle_ = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
  if (handle_ == nullptr) error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
}

void* Module::symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::string program_directory() {
  char buf[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  std::string p(buf, n);
  return p.substr(0, p.find_last_of("\\/") + 1);
}

const char* checker_file_name() { return "kvt_hostcheck.dll"; }

#else

Module::Module(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (handle_ == nullptr) error_ = dlerror();
}

void* Module::symbol(const char* name) const { return dlsym(handle_, name); }

std::string program_directory() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
  if (n <= 0) return "./";
  std::string p(buf, static_cast<std::size_t>(n));
  return p.substr(0, p.find_last_of('/') + 1);
}

const char* checker_file_name() { return "libkvt_hostcheck.so"; }

#endif

}  // namespace hostcheck_driver
