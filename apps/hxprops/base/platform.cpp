#include "base/platform.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;
#endif

namespace hxprops {

namespace {

std::vector<char*> argv_of(const std::string& program, std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

std::string path_text(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

std::filesystem::path path_from_text(const std::string& text) { return std::u8string(text.begin(), text.end()); }

#ifdef _WIN32

long process_id() { return static_cast<long>(_getpid()); }

int run_program(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> quoted;
  for (const std::string& a : args) quoted.push_back("\"" + a + "\"");
  const std::vector<char*> argv = argv_of(program, quoted);
  const intptr_t rc = _spawnvp(_P_WAIT, program.c_str(), argv.data());
  return rc < 0 ? -1 : static_cast<int>(rc);
}

std::string where_to_get_gnuplot() {
  return "install gnuplot for Windows (http://www.gnuplot.info, Download) and put its bin folder on the PATH";
}

bool is_device_name(const std::filesystem::path& name) {
  const std::string text = path_text(name);
  if (text.size() > 4 && (text[0] == '\\' || text[0] == '/') && (text[1] == '\\' || text[1] == '/') && text[2] == '.' &&
      (text[3] == '\\' || text[3] == '/')) {
    return true;  // \\.\pipe\..., \\.\COM10: the device namespace
  }
  // CON, PRN, AUX, NUL, COM1-9, LPT1-9 are devices in every folder and with any extension.
  std::string stem = path_text(name.filename());
  stem = stem.substr(0, stem.find('.'));
  stem.erase(stem.find_last_not_of(' ') + 1);
  std::transform(stem.begin(), stem.end(), stem.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  constexpr std::array<std::string_view, 6> kNames = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  if (std::find(kNames.begin(), kNames.end(), stem) != kNames.end()) return true;
  return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem[3] >= '1' && stem[3] <= '9';
}

bool is_standard_output(const std::filesystem::path& name) {
  const std::string text = path_text(name.filename());
  return _stricmp(text.c_str(), "CON") == 0 || _stricmp(text.c_str(), "CONOUT$") == 0;
}

void set_binary_output(std::FILE* stream) {
  std::fflush(stream);
  _setmode(_fileno(stream), _O_BINARY);
}

namespace {

UINT console_code_page = 0;

void restore_console_code_page() { SetConsoleOutputCP(console_code_page); }

}  // namespace

void prepare_console() {
  // Without a buffer of their own, the C runtime hands a console one character per write.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  std::setvbuf(stderr, nullptr, _IOFBF, 1 << 12);
  // The programs print UTF-8 (names of files and cases); the console shows it as such while they run.
  console_code_page = GetConsoleOutputCP();
  if (console_code_page != 0 && console_code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(restore_console_code_page);
  }
}

#else

long process_id() { return static_cast<long>(::getpid()); }

int run_program(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> copy = args;
  const std::vector<char*> argv = argv_of(program, copy);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  if (!WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
}

std::string where_to_get_gnuplot() {
#ifdef __APPLE__
  return "install gnuplot (Homebrew: brew install gnuplot)";
#else
  return "install gnuplot (Debian and Ubuntu: apt install gnuplot-nox; elsewhere your system's gnuplot package)";
#endif
}

bool is_device_name(const std::filesystem::path&) { return false; }

bool is_standard_output(const std::filesystem::path& name) {
  struct stat named {}, out {};
  return ::stat(name.c_str(), &named) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 && named.st_dev == out.st_dev &&
         named.st_ino == out.st_ino;
}

void set_binary_output(std::FILE*) {}

void prepare_console() {}

#endif

}  // namespace hxprops
