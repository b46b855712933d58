// Helpers of the hxprops tests: a scratch directory, a small valid case text, running the program.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hxprops::test {

// A fresh empty directory, removed with everything in it when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Every entry below the directory, relative, sorted.
  std::vector<std::string> listing() const;

 private:
  std::filesystem::path path_;
};

// A small valid case, one field per line (line numbers below are those of this text):
//   1 title   2 points   4 [side0]   5 name   6 pressure   7 inlet_temperature   8 outlet_temperature
//   9 phases   11 [side0.flows]   12 n-hexane   13 water   15 [side1]   16 name   17 pressure
//   18 inlet_temperature   19 duty   21 [side1.flows]   22 water
std::string small_case();
// small_case() with line `line` (1-based) replaced by `text` (several lines allowed).
std::string small_case_with(int line, const std::string& text);

std::string read_file(const std::filesystem::path& file);
void write_file(const std::filesystem::path& file, const std::string& text);

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};
// Run the hxprops program with `args` (each passed as one argument) in `dir`; `path`, when not
// empty, replaces the PATH it sees.
RunResult run_hxprops(const std::vector<std::string>& args, const std::filesystem::path& dir,
                      const std::string& path = "");

// Output lines with the "case:" line (which names where the case came from) left out.
std::string without_case_line(const std::string& out);

}  // namespace hxprops::test
