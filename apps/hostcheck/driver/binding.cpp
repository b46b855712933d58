#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "module.h"

namespace hostcheck_driver {

namespace {

std::vector<std::string> host_symbols() {
  std::istringstream in(KVT_HOST_SYMBOLS);
  std::vector<std::string> names;
  for (std::string name; in >> name;) names.push_back(name);
  return names;
}

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string base_name(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

}  // namespace

namespace {

// How a compiler decorated `name` into `exported`, and what to do about it; empty when it is no decoration of it.
struct Decoration {
  const char* what;
  const char* fix;
};

constexpr const char* kFortranFix = "Export them undecorated, in upper case: in Fortran with bind(C, name=\"GOSA_SRFTEN\")";
constexpr const char* kExactFix = "Export each under exactly its name in kvt/host.h (see the compiler's and linker's "
                                  "options for decorations)";

std::optional<Decoration> decoration(const std::string& name, const std::string& exported) {
  const std::string low = lower(name);
  if (exported == low + "_") return Decoration{"in lower case with a trailing underscore, as a Fortran compiler names "
                                               "a routine without bind(C, name=...)", kFortranFix};
  if (exported == low + "__") return Decoration{"in lower case with two trailing underscores, as some Fortran compilers "
                                                "name a routine whose name holds an underscore", kFortranFix};
  if (exported == low) return Decoration{"in lower case, as a Fortran compiler names a routine without bind(C, "
                                         "name=...)", kFortranFix};
  if (exported == name + "_") return Decoration{"with a trailing underscore", kExactFix};
  if (exported == "_" + name) return Decoration{"with a leading underscore, a C compiler's decoration on some "
                                                "platforms (32-bit Windows, macOS)", kExactFix};
  const std::string itanium = "_Z" + std::to_string(name.size()) + name;
  if (exported.rfind(itanium, 0) == 0 || exported.rfind("?" + name + "@@", 0) == 0) {
    return Decoration{"mangled as C++ names, with their argument types (declared without extern \"C\")",
                      "Declare and define them within extern \"C\" { ... }, as kvt/host.h declares them"};
  }
  if (exported.rfind(name + "@", 0) == 0 || exported.rfind("_" + name + "@", 0) == 0) {
    return Decoration{"with a stdcall decoration (@ and the bytes of the arguments)", kExactFix};
  }
  return std::nullopt;
}

}  // namespace

std::string missing_symbols(const Module& host, const std::string& path) {
  const std::vector<std::string> names = host_symbols();
  const std::vector<std::string> exported = host.exported_names();
  std::string missing;
  std::map<std::string, std::vector<std::string>> found;  // decoration -> the decorated names exported
  std::map<std::string, std::string> fixes;
  int count = 0;
  for (const std::string& name : names) {
    if (host.symbol(name.c_str()) != nullptr) continue;
    missing += (count++ == 0 ? "" : ", ") + name;
    for (const std::string& e : exported) {
      const std::optional<Decoration> d = decoration(name, e);
      if (!d) continue;
      found[d->what].push_back(e);
      fixes[d->what] = d->fix;
      break;
    }
  }
  if (count == 0) return {};
  std::string text = "the host module " + path + " lacks " + std::to_string(count) + " of the " +
                     std::to_string(names.size()) + " symbols the library binds by name (kvt/host.h): " + missing +
                     ". The host must export each of them under exactly that name.";
  for (const auto& [what, decorated] : found) {
    std::string shown;
    for (std::size_t i = 0; i < decorated.size() && i < 3; ++i) shown += (i == 0 ? "" : ", ") + decorated[i];
    if (decorated.size() > 3) shown += " and " + std::to_string(decorated.size() - 3) + " more";
    text += "\n  hint: it exports " + shown + " instead: the names " + what + ". " + fixes[what] + ".";
  }
  return text;
}

std::string binding_problem(const std::string& path) {
#if defined(_WIN32)
  const std::string name = base_name(path), bound = KVT_HOSTCHECK_HOST_MODULE;
  if (lower(name) == lower(bound)) return {};
  // A module of the bound name beside the host (a forwarder made from the package's .def) serves it.
  if (std::filesystem::exists(std::filesystem::path(path).parent_path() / bound)) return {};
  return "kvt_hostcheck.dll is bound to the host module " + bound + ", not to " + name + ": like kvt.dll, it imports "
         "the host symbols from one module name fixed when it is built (KVT_HOSTCHECK_HOST_MODULE), and Windows "
         "resolves them by that name. Copy the host to " + bound + ", put beside it a forwarding " + bound + " made from "
         "the package's lib\\kvt_host_forward.def, or build the checker with "
         "-DKVT_HOSTCHECK_HOST_MODULE=" + name + ".";
#else
  (void)path;
  (void)base_name;
  return {};
#endif
}

}  // namespace hostcheck_driver
