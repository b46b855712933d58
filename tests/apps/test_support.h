// Helpers of the hxprops tests: a scratch folder, files, running the program or the run command.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace hxprops::test {

// A fresh empty folder, removed with everything in it when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  std::vector<std::string> listing() const;  // every entry below the folder, relative, sorted

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& file);
void write_file(const std::filesystem::path& file, const std::string& text);
// A case file of tests/apps/cases, or of the examples in apps/hxprops/cases.
std::string case_text(const std::string& name);

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};
// Run `command` (a shell word or two; the program by default) with `args` in `dir`; `env` (variable
// assignments) is put before it.
RunResult run_in(const std::filesystem::path& dir, const std::vector<std::string>& args, const std::string& env = "",
                 const std::string& command = HXPROPS_EXE);

}  // namespace hxprops::test
