// Windows: the databank is the file databank.toml beside the host's DLL, wherever the DLL was put.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "kvt_reference/reference_host.h"

namespace kvt::reference {

namespace {
const char anchor = 0;  // an address inside this DLL
}  // namespace

std::filesystem::path default_databank_path() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&anchor), &self);
  std::wstring file(MAX_PATH, L'\0');
  DWORD n = 0;
  while ((n = GetModuleFileNameW(self, file.data(), static_cast<DWORD>(file.size()))) == file.size()) {
    file.resize(file.size() * 2);
  }
  file.resize(n);
  return std::filesystem::path(file).parent_path() / "databank.toml";
}

}  // namespace kvt::reference
