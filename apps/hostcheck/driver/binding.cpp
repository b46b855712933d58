#include <algorithm>
#include <cctype>
#include <filesystem>
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

std::string missing_symbols(const Module& host, const std::string& path) {
  const std::vector<std::string> names = host_symbols();
  std::string missing, variants;
  int count = 0;
  for (const std::string& name : names) {
    if (host.symbol(name.c_str()) != nullptr) continue;
    missing += (count++ == 0 ? "" : ", ") + name;
    for (const std::string& v : {lower(name) + "_", lower(name), lower(name) + "__", name + "_", "_" + name}) {
      if (host.symbol(v.c_str()) == nullptr) continue;
      variants += (variants.empty() ? "" : ", ") + v;
      break;
    }
  }
  if (count == 0) return {};
  std::string text = "the host module " + path + " lacks " + std::to_string(count) + " of the " +
                     std::to_string(names.size()) + " symbols the library binds by name (kvt/host.h): " + missing +
                     ". The host must export each of them under exactly that name.";
  if (!variants.empty()) {
    text += "\n  hint: it exports " + variants + " instead: names decorated by a compiler (lower case, a trailing "
            "underscore). Export them undecorated, in upper case: in Fortran with bind(C, name=\"GOSA_SRFTEN\"), in "
            "C++ within extern \"C\".";
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
