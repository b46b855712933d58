// kvt-trace: reads the library's diagnostic trace (a file the host's trace unit wrote, hxprops
// --trace FILE, a test's transcript).
//   kvt-trace show FILE                 one table per call: routine, arguments, results
//   kvt-trace diff A B [--rel 1e-9]     the first call and the first number where B departs from A
// Exit status: 0 (show: read; diff: the traces agree), 1 (diff: they differ), 2 (a file that cannot
// be read or is not a trace, or a wrong command line).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <variant>

#include <CLI/CLI.hpp>

#include "diff.h"
#include "reader.h"
#include "show.h"

namespace {

namespace tool = kvt::trace_tool;

constexpr int kUnusable = 2;

// The trace in a file, or a message naming the file (and the line) that is wrong.
std::variant<tool::Trace, std::string> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read " + path;
  std::ostringstream text;
  text << in.rdbuf();
  auto read = tool::read_trace(text.str());
  if (auto* error = std::get_if<std::string>(&read)) return path + ": " + *error;
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"kvt-trace: reads the library's diagnostic trace"};
  app.require_subcommand(1);
  std::string file, a, b;
  double rel = 1e-9;
  CLI::App* show = app.add_subcommand("show", "print a trace as one table per call (routine, arguments, results)");
  show->add_option("FILE", file, "the trace")->required();
  CLI::App* diff = app.add_subcommand("diff", "name the first call and the first number where B departs from A");
  diff->add_option("A", a, "the first trace (say, through the reference host)")->required();
  diff->add_option("B", b, "the second trace (the same case through the host under test)")->required();
  diff->add_option("--rel", rel, "relative tolerance of a number (default 1e-9)")->check(CLI::NonNegativeNumber);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : kUnusable;
  }

  if (show->parsed()) {
    auto trace = read_file(file);
    if (auto* error = std::get_if<std::string>(&trace)) {
      std::cerr << "kvt-trace: " << *error << "\n";
      return kUnusable;
    }
    std::cout << tool::show_trace(std::get<tool::Trace>(trace));
    return 0;
  }
  auto ta = read_file(a);
  auto tb = read_file(b);
  for (auto* t : {&ta, &tb}) {
    if (auto* error = std::get_if<std::string>(t)) {
      std::cerr << "kvt-trace: " << *error << "\n";
      return kUnusable;
    }
  }
  const tool::Trace& first = std::get<tool::Trace>(ta);
  const tool::Trace& second = std::get<tool::Trace>(tb);
  if (auto difference = tool::first_difference(first, second, rel)) {
    std::cout << "kvt-trace: A " << a << ", B " << b << ": " << *difference << "\n";
    return 1;
  }
  std::size_t numbers = 0;
  for (const auto& call : first.calls) numbers += call.entries.size();
  std::cout << "kvt-trace: A " << a << " and B " << b << " agree: " << first.calls.size() << " calls, " << numbers
            << " numbers within " << rel << " (relative)\n";
  return 0;
}
