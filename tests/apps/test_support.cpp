#include "test_support.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace hxprops::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
#ifdef _WIN32  // (no mkdtemp): a new folder named for the process and a count
  static int count = 0;
  do {
    path_ = fs::temp_directory_path() / ("hxprops-test-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
  } while (!fs::create_directory(path_));
#else
  std::string pattern = (fs::temp_directory_path() / "hxprops-test-XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (::mkdtemp(buf.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = buf.data();
#endif
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

std::string small_case() {
  return "title = \"Small test case\"\n"       // 1
         "points = 5\n"                        // 2
         "\n"                                  // 3
         "[side0]\n"                           // 4
         "name = \"hot\"\n"                    // 5
         "pressure = 2.0e5\n"                  // 6
         "inlet_temperature = 400.0\n"         // 7
         "outlet_temperature = 320.0\n"        // 8
         "phases = \"vapour-liquid-free-water\"\n"  // 9
         "\n"                                  // 10
         "[side0.flows]\n"                     // 11
         "n-hexane = 0.01\n"                   // 12
         "water = 0.005\n"                     // 13
         "\n"                                  // 14
         "[side1]\n"                           // 15
         "name = \"cold\"\n"                   // 16
         "pressure = 3.0e5\n"                  // 17
         "inlet_temperature = 295.0\n"         // 18
         "duty = 2.0e5\n"                      // 19
         "\n"                                  // 20
         "[side1.flows]\n"                     // 21
         "water = 0.5\n";                      // 22
}

std::string small_case_with(int line, const std::string& text) {
  std::istringstream in(small_case());
  std::string out, l;
  for (int n = 1; std::getline(in, l); ++n) out += (n == line ? text : l) + "\n";
  return out;
}

std::string read_file(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
}

namespace {

#ifdef _WIN32
// The command line of cmd.exe (no argument here holds a double quote), whose status is the exit code.
std::string shell_quoted(const std::string& s) { return "\"" + s + "\""; }
const std::string cd = "cd /d ";
std::string path_set(const std::string& path) { return "set \"PATH=" + path + "\" && "; }
int exit_status(int rc) { return rc; }
const std::string program = fs::absolute(HXPROPS_EXE).make_preferred().string();
#else
std::string shell_quoted(const std::string& s) {
  std::string out = "'";
  for (const char ch : s) out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return out + "'";
}
const std::string cd = "cd ";
std::string path_set(const std::string& path) { return "PATH=" + shell_quoted(path) + " "; }
int exit_status(int rc) { return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1; }
const std::string program = HXPROPS_EXE;
#endif

}  // namespace

RunResult run_hxprops(const std::vector<std::string>& args, const fs::path& dir, const std::string& path) {
  const fs::path out = dir / ".stdout", err = dir / ".stderr";
  std::string cmd = cd + shell_quoted(dir.string()) + " && ";
  if (!path.empty()) cmd += path_set(path);
  cmd += shell_quoted(program);
  for (const std::string& a : args) cmd += " " + shell_quoted(a);
  cmd += " >" + shell_quoted(out.string()) + " 2>" + shell_quoted(err.string());
  const int rc = std::system(cmd.c_str());
  RunResult r;
  r.status = exit_status(rc);
  r.out = read_file(out);
  r.err = read_file(err);
  fs::remove(out);
  fs::remove(err);
  return r;
}

std::string without_case_line(const std::string& out) {
  std::istringstream in(out);
  std::string kept, l;
  while (std::getline(in, l)) {
    if (l.rfind("case:", 0) != 0) kept += l + "\n";
  }
  return kept;
}

}  // namespace hxprops::test
