#include "module.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#  include <elf.h>
#  include <unistd.h>

#  include <climits>
#  include <cstring>
#  include <fstream>
#  include <iterator>
#endif

namespace hostcheck_driver {

#if defined(_WIN32)

Module::Module(const std::string& path) : path_(path) {
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

std::vector<std::string> Module::exported_names() const {
  std::vector<std::string> names;
  if (handle_ == nullptr) return names;
  const auto* base = static_cast<const unsigned char*>(handle_);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (dir.VirtualAddress == 0) return names;
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  const auto* rva = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.emplace_back(reinterpret_cast<const char*>(base + rva[i]));
  return names;
}

#else

Module::Module(const std::string& path) : path_(path) {
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

std::vector<std::string> Module::exported_names() const {
  // The defined symbols of the file's dynamic symbol table (.dynsym), read from the file.
  std::vector<std::string> names;
  std::ifstream file(path_, std::ios::binary);
  const std::vector<char> b((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto read = [&](auto& to, std::size_t at) {
    if (at > b.size() || b.size() - at < sizeof to) return false;
    std::memcpy(&to, b.data() + at, sizeof to);
    return true;
  };
  Elf64_Ehdr eh{};
  if (!read(eh, 0) || std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64) return names;
  for (std::size_t i = 0; i < eh.e_shnum; ++i) {
    Elf64_Shdr sh{}, strtab{};
    if (!read(sh, eh.e_shoff + i * eh.e_shentsize) || sh.sh_type != SHT_DYNSYM) continue;
    if (!read(strtab, eh.e_shoff + sh.sh_link * eh.e_shentsize) || sh.sh_entsize == 0) return names;
    for (std::size_t k = 1; k < sh.sh_size / sh.sh_entsize; ++k) {
      Elf64_Sym sym{};
      if (!read(sym, sh.sh_offset + k * sh.sh_entsize)) break;
      const std::size_t at = strtab.sh_offset + sym.st_name;
      if (sym.st_shndx == SHN_UNDEF || sym.st_name == 0 || at >= b.size()) continue;
      names.emplace_back(b.data() + at, strnlen(b.data() + at, b.size() - at));
    }
  }
  return names;
}

#endif

}  // namespace hostcheck_driver
