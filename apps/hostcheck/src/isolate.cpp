#include "isolate.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>

#if !defined(_WIN32)
#  include <poll.h>
#  include <signal.h>
#  include <sys/mman.h>
#  include <sys/wait.h>
#  include <unistd.h>
#endif

namespace kvt::hostcheck {

namespace {

CallState local_state;

void copy(char* to, std::size_t size, const std::string& from) {
  const std::size_t n = std::min(size - 1, from.size());
  std::memcpy(to, from.data(), n);
  to[n] = '\0';
}

}  // namespace

CallState*& call_state() {
  static CallState* state = &local_state;  // shared with the parent inside a check's process
  return state;
}

int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void end_of_check(Isolated& result, const CallState& s, const std::string& check, const std::string& how) {
  const bool in_call = s.started_ns != 0;
  const std::string during =
      " during " + check + (in_call && s.where[0] != '\0' ? ", " + std::string(s.where) : std::string());
  result.fault = (in_call ? std::string(s.routine) : std::string("the checker")) + ": " + how + during;
  if (in_call) result.routine = s.routine;
}

std::string seconds_text(double seconds) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", seconds);
  return b;
}

std::map<std::string, std::string>& broken_routines() {
  static std::map<std::string, std::string> broken;
  return broken;
}

std::string not_called(const BrokenRoutine& b) {
  return b.routine + " not called: it broke during " + broken_routines()[b.routine];
}

void begin_call(const char* routine, const std::string& where) {
  CallState* state = call_state();
  copy(state->routine, sizeof state->routine, routine);
  copy(state->where, sizeof state->where, where);
  __atomic_store_n(&state->started_ns, now_ns(), __ATOMIC_RELEASE);
}

void end_call() { __atomic_store_n(&call_state()->started_ns, 0, __ATOMIC_RELEASE); }

#if !defined(_WIN32)

std::string child_check() { return {}; }

namespace {

std::string signal_name(int sig) {
  switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    case SIGKILL: return "SIGKILL";
    default: return "signal " + std::to_string(sig);
  }
}

}  // namespace

Isolated run_isolated(const std::function<std::string()>& body, double call_seconds, const std::string& check) {
  void* shared = mmap(nullptr, sizeof(CallState), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  int fds[2];
  if (shared == MAP_FAILED || pipe(fds) != 0) return {body(), {}, {}};
  auto* watched = new (shared) CallState{};
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    munmap(shared, sizeof(CallState));
    return {body(), {}, {}};
  }
  if (pid == 0) {
    close(fds[0]);
    call_state() = watched;
    const std::string out = body();
    for (std::size_t done = 0; done < out.size();) {
      const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0) _exit(3);
      done += static_cast<std::size_t>(n);
    }
    std::fflush(nullptr);
    _exit(0);
  }
  close(fds[1]);
  Isolated result;
  const int64_t limit_ns = static_cast<int64_t>(call_seconds * 1e9);
  bool overran = false, open = true;
  int status = 0;
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    if (open && poll(&p, 1, 5) > 0) {
      char buf[4096];
      const ssize_t n = read(fds[0], buf, sizeof buf);
      if (n > 0) {
        result.output.append(buf, static_cast<std::size_t>(n));
      } else {
        open = false;
      }
    } else if (!open) {
      usleep(1000);
    }
    if (waitpid(pid, &status, WNOHANG) == pid) break;
    const int64_t started = __atomic_load_n(&watched->started_ns, __ATOMIC_ACQUIRE);
    if (!overran && started != 0 && now_ns() - started > limit_ns) {
      overran = true;
      kill(pid, SIGKILL);
    }
  }
  for (char buf[4096]; open;) {  // what the child wrote just before it ended
    const ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    result.output.append(buf, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  const CallState s = *watched;
  munmap(shared, sizeof(CallState));
  if (overran) {
    end_of_check(result, s, check, "no return within " + seconds_text(call_seconds) + " s");
  } else if (WIFSIGNALED(status)) {
    end_of_check(result, s, check, "killed by " + signal_name(WTERMSIG(status)));
  } else if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
    end_of_check(result, s, check, "ended the process with exit status " + std::to_string(WEXITSTATUS(status)));
  } else if (WIFEXITED(status) && s.started_ns != 0) {
    end_of_check(result, s, check, "ended the process");
  }
  return result;
}

#endif

}  // namespace kvt::hostcheck
