#include "platform.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
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

#ifdef _WIN32

long process_id() { return static_cast<long>(_getpid()); }

int run_program(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> quoted;
  for (const std::string& a : args) quoted.push_back("\"" + a + "\"");
  const std::vector<char*> argv = argv_of(program, quoted);
  const intptr_t rc = _spawnvp(_P_WAIT, program.c_str(), argv.data());
  return rc < 0 ? -1 : static_cast<int>(rc);
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

#endif

}  // namespace hxprops
