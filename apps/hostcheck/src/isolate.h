// Host calls watched, and each check run in a process of its own: a host routine that crashes, ends
// the process or does not return becomes a finding of the check that called it, naming the routine,
// the check and the stream, and the other checks still run.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace kvt::hostcheck {

// Thrown by host_call in place of calling a routine that broke in an earlier check's process.
struct BrokenRoutine {
  std::string routine;
};

// The host call in progress, where the parent of a check's process can read it.
struct CallState {
  int64_t started_ns = 0;  // monotonic clock; 0: no host call in progress
  char routine[32] = {};
  char where[200] = {};
};

// Routines that broke in an earlier check (crash, exit or no return), with that check's name: not
// called again.
std::map<std::string, std::string>& broken_routines();
// "GOSA_SRFTEN not called: it broke during property-values"
std::string not_called(const BrokenRoutine& b);

void begin_call(const char* routine, const std::string& where);
void end_call();

// Calls a host routine with the call watched: `where` names the stream and what the call is for.
template <class Routine, class... Args>
decltype(auto) host_call(const char* name, const std::string& where, Routine routine, Args... args) {
  if (broken_routines().count(name) != 0) throw BrokenRoutine{name};
  begin_call(name, where);
  struct End {
    ~End() { end_call(); }
  } end;
  return routine(args...);
}

struct Isolated {
  std::string output;   // what body returned
  std::string routine;  // the routine that broke; empty when none did
  std::string fault;    // the finding: "<routine>: killed by SIGSEGV during <check>, <where>"
};

// Runs body in a child process and hands back what it returned; a host call that takes longer than
// call_seconds ends the child. With fork the child is a copy of this process. On Windows it is this
// program started again with the same command line, which reaches kvt_hostcheck_run again and there
// runs only `check` (child_check) and writes what body would have returned after a marker line.
Isolated run_isolated(const std::function<std::string()>& body, double call_seconds, const std::string& check);

// In a check's own process started again (Windows): the check it runs; empty in every other process.
std::string child_check();
// The line before a child's report on standard output (what the program printed before is skipped).
inline constexpr const char* kChildMarker = "@kvt-hostcheck check report";

// For the platform parts: the call state (in shared memory inside a check's process), a monotonic
// clock, the fault of a check's process that ended abnormally ("killed by SIGSEGV", with the call in
// progress), and a number of seconds as text.
CallState*& call_state();
int64_t now_ns();
void end_of_check(Isolated& result, const CallState& s, const std::string& check, const std::string& how);
std::string seconds_text(double seconds);

}  // namespace kvt::hostcheck
