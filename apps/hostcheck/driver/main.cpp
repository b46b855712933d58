// kvt-hostcheck HOST_MODULE [--checker LIBRARY] [--timeout SECONDS] [--json FILE]
//
// Loads a host module (a shared library defining the symbols of kvt/host.h), checks that it exports
// every one of them, then loads the checker library beside it, asks the module's kvt_hostcheck_setup
// for its streams and layout, and prints the report as the checks finish.
// Exit status: 0 every check passed, 1 some check failed, 2 the module or the checker could not be used.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "kvt/hostcheck.h"
#include "module.h"

namespace {

void print_usage(std::FILE* to) {
  std::fprintf(to,
               "usage: kvt-hostcheck HOST_MODULE [--checker LIBRARY] [--timeout SECONDS] [--json FILE]\n"
               "  HOST_MODULE  the host as a shared library; it must export %s (see kvt/hostcheck.h)\n"
               "  --checker    the checker library (default: %s beside this program, or in %s)\n"
               "  --timeout    time limit of one host call, in seconds (default 10): a call that takes\n"
               "               longer is a finding and its check stops\n"
               "  --json       also write the report to FILE as JSON, for a host's CI (docs/hostcheck.md)\n"
               "  --help       this text\n",
               KVT_HOSTCHECK_SETUP_NAME, hostcheck_driver::checker_file_name(), KVT_HOSTCHECK_LIBDIR);
}

int usage() {
  print_usage(stderr);
  return 2;
}

int fail(const std::string& what) {
  std::fprintf(stderr, "kvt-hostcheck: %s\n", what.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using hostcheck_driver::Module;
  std::string host_path, checker_path, json_path;
  double timeout = 0.0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      print_usage(stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--checker") == 0 && i + 1 < argc) {
      checker_path = argv[++i];
    } else if (std::strcmp(argv[i], "--json") == 0 && i + 1 < argc) {
      json_path = argv[++i];
    } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      char* end = nullptr;
      timeout = std::strtod(argv[++i], &end);
      if (end == argv[i] || *end != '\0' || !(timeout > 0.0)) return fail(std::string("--timeout: expected a number "
                                                                                     "of seconds above 0; found ") +
                                                                         argv[i]);
    } else if (argv[i][0] == '-' || !host_path.empty()) {
      return usage();
    } else {
      host_path = argv[i];
    }
  }
  if (host_path.empty()) return usage();

  // The host first, so that its symbols are there when the checker binds them.
  const Module host(host_path);
  if (!host.ok()) return fail("cannot load the host module " + host_path + ": " + host.error());
  const std::string missing = hostcheck_driver::missing_symbols(host, host_path);
  if (!missing.empty()) return fail(missing);
  const auto setup = reinterpret_cast<kvt_hostcheck_setup_fn>(host.symbol(KVT_HOSTCHECK_SETUP_NAME));
  if (setup == nullptr) {
    return fail(host_path + " does not export " KVT_HOSTCHECK_SETUP_NAME ": a host module supplies its streams and "
                "layout through it (kvt/hostcheck.h); otherwise call kvt_hostcheck_run from the host's own program");
  }
  // A host named otherwise than the module the checker imports from cannot be checked (Windows).
  const std::string binding = hostcheck_driver::binding_problem(host_path);
  if (!binding.empty()) return fail(binding);
  const std::string dir = hostcheck_driver::program_directory();
  const std::string name = hostcheck_driver::checker_file_name();
  auto checker = std::make_unique<Module>(checker_path.empty() ? dir + name : checker_path);
  if (!checker->ok() && checker_path.empty()) {
    auto installed = std::make_unique<Module>(dir + KVT_HOSTCHECK_LIBDIR + "/" + name);
    if (installed->ok()) checker = std::move(installed);
  }
  if (!checker->ok()) return fail("cannot load the checker library: " + checker->error());
  const auto run = reinterpret_cast<decltype(&kvt_hostcheck_run)>(checker->symbol("kvt_hostcheck_run"));
  if (run == nullptr) return fail("the checker library does not export kvt_hostcheck_run");

  kvt_hostcheck_input input{};
  const int rc = setup(&input);
  if (rc != 0) return fail(host_path + ": " KVT_HOSTCHECK_SETUP_NAME " returned " + std::to_string(rc));
  if (timeout > 0.0) input.call_seconds = timeout;
  if (!json_path.empty()) input.json_file = json_path.c_str();
  std::printf("host module: %s\n", host_path.c_str());
  std::fflush(stdout);
  const int64_t failed = run(&input, nullptr, nullptr);
  // A host's CI reads the JSON report: without it the run is of no use to it.
  if (!json_path.empty() && !std::ifstream(json_path)) return fail("cannot write the JSON report " + json_path);
  return failed == 0 ? 0 : 1;
}
