// kvt-trace: reads the library's diagnostic trace (a file the host's trace unit wrote, hxprops
// --trace FILE, a test's transcript).
//   kvt-trace show FILE                 one table per call: routine, arguments, results
//   kvt-trace diff A B [--rel 1e-9]     the first call and the first number where B departs from A
// Exit status: 0 (show: read; diff: the traces agree), 1 (diff: they differ), 2 (a file that cannot
// be read or is not a trace, or a wrong command line). Its arguments are few, so it reads them itself,
// as kvt-hostcheck does, and stays small in the Windows package.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "diff.h"
#include "reader.h"
#include "show.h"

namespace {

namespace tool = kvt::trace_tool;

constexpr int kUnusable = 2;
constexpr const char* kUsage =
    "usage: kvt-trace show FILE\n"
    "       kvt-trace diff A B [--rel TOLERANCE]\n"
    "\n"
    "Reads the library's diagnostic trace as the host's trace unit received it.\n"
    "  show FILE   print the trace as one table per call: the routine, then each number, an argument\n"
    "              the routine was called with or a result it read or answered, with its line\n"
    "  diff A B    name the first call and the first number where trace B departs from trace A\n"
    "  --rel R     relative tolerance of a number in diff (default 1e-9)\n"
    "Exit status: 0 read (show) or the traces agree (diff), 1 they differ, 2 a file that cannot be\n"
    "read or is not a trace, or a wrong command line.\n";

int usage_error(const std::string& what) {
  std::fprintf(stderr, "kvt-trace: %s (kvt-trace --help gives the usage)\n", what.c_str());
  return kUnusable;
}

// The trace in a file, or a message naming the file (and the line) that is wrong.
std::variant<tool::Trace, std::string> read_file(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return "cannot read " + path + ": " + std::strerror(errno);
  std::string text;
  char chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) text.append(chunk, n);
  const bool failed = std::ferror(in) != 0;
  std::fclose(in);
  if (failed) return "cannot read " + path;
  auto read = tool::read_trace(text);
  if (auto* error = std::get_if<std::string>(&read)) return path + ": " + *error;
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  double rel = 1e-9;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--rel") {
      char* end = nullptr;
      rel = i + 1 < argc ? std::strtod(argv[++i], &end) : -1.0;
      if (end == nullptr || end == argv[i] || *end != '\0' || !(rel >= 0.0)) {
        return usage_error("--rel: expected a tolerance of 0 or more");
      }
    } else if (arg.starts_with("-")) {
      return usage_error("unknown option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty() || (files[0] != "show" && files[0] != "diff")) return usage_error("expected show or diff");
  const bool show = files[0] == "show";
  if (files.size() != (show ? 2u : 3u)) return usage_error(show ? "show takes one FILE" : "diff takes two files, A and B");

  std::vector<tool::Trace> traces;
  for (std::size_t k = 1; k < files.size(); ++k) {
    auto read = read_file(files[k]);
    if (auto* error = std::get_if<std::string>(&read)) {
      std::fprintf(stderr, "kvt-trace: %s\n", error->c_str());
      return kUnusable;
    }
    traces.push_back(std::get<tool::Trace>(std::move(read)));
  }
  if (show) {
    std::fputs(tool::show_trace(traces[0]).c_str(), stdout);
    return 0;
  }
  if (auto difference = tool::first_difference(traces[0], traces[1], rel)) {
    std::printf("kvt-trace: A %s, B %s: %s\n", files[1].c_str(), files[2].c_str(), difference->c_str());
    return 1;
  }
  std::size_t numbers = 0;
  for (const auto& call : traces[0].calls) numbers += call.entries.size();
  std::printf("kvt-trace: A %s and B %s agree: %zu calls, %zu numbers within %g (relative)\n", files[1].c_str(),
              files[2].c_str(), traces[0].calls.size(), numbers, rel);
  return 0;
}
