#include "test_support.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace hxprops::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  static int serial = 0;
  path_ = fs::temp_directory_path() / ("hxprops-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::vector<std::string> ScratchDir::listing() const {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(path_)) names.push_back(fs::relative(e.path(), path_).generic_string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string read_file(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

std::string case_text(const std::string& name) {
  const fs::path here = fs::path(HXPROPS_TEST_CASES) / name;
  return read_file(fs::exists(here) ? here : fs::path(HXPROPS_EXAMPLE_CASES) / name);
}

RunResult run_in(const fs::path& dir, const std::vector<std::string>& args, const std::string& env,
                 const std::string& command) {
#ifdef _WIN32
  // cmd.exe: double quotes (no argument here holds one), NAME=value through set, the program by its
  // absolute path (the folder changes first); the status is the program's exit code.
  const auto quoted = [](const std::string& s) { return "\"" + s + "\""; };
  std::string cmd = "cd /d " + quoted(dir.string()) + " && ";
  if (!env.empty()) cmd += "set " + quoted(env) + " && ";
  cmd += quoted(fs::absolute(command).make_preferred().string());
  const auto status = [](int rc) { return rc; };
#else
  const auto quoted = [](const std::string& s) {
    std::string out = "'";
    for (const char ch : s) out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return out + "'";
  };
  std::string cmd = "cd " + quoted(dir.string()) + " && " + env + " " + command;
  const auto status = [](int rc) { return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1; };
#endif
  const fs::path out = dir.parent_path() / (dir.filename().string() + ".out"), err = dir.parent_path() / (dir.filename().string() + ".err");
  for (const std::string& a : args) cmd += " " + quoted(a);
  const int rc = std::system((cmd + " >" + quoted(out.string()) + " 2>" + quoted(err.string())).c_str());
  RunResult r{status(rc), read_file(out), read_file(err)};
  fs::remove(out);
  fs::remove(err);
  return r;
}

}  // namespace hxprops::test
