// A check's own process on Windows: this program started again with the same command line, told by
// its environment which check to run, where the call state lies (a named file mapping) and which host
// routines broke in earlier checks.
#include <windows.h>

#include <cstdlib>
#include <new>
#include <sstream>

#include "isolate.h"

namespace kvt::hostcheck {

namespace {

constexpr const char* kCheckVariable = "KVT_HOSTCHECK_CHILD";
constexpr const char* kCallsVariable = "KVT_HOSTCHECK_CALLS";
constexpr const char* kBrokenVariable = "KVT_HOSTCHECK_BROKEN";

std::string exception_name(DWORD code) {
  switch (code) {
    case 0xC0000005: return "an access violation";
    case 0xC0000094: return "an integer division by zero";
    case 0xC00000FD: return "a stack overflow";
    case 0xC000001D: return "an illegal instruction";
    case 0xC0000409: return "a stack buffer overrun";
    default: {
      char b[32];
      std::snprintf(b, sizeof b, "exception 0x%08lX", static_cast<unsigned long>(code));
      return b;
    }
  }
}

void read_available(HANDLE pipe, std::string& into) {
  DWORD available = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    char buf[4096];
    DWORD n = 0;
    if (!ReadFile(pipe, buf, std::min<DWORD>(available, sizeof buf), &n, nullptr) || n == 0) return;
    into.append(buf, n);
  }
}

}  // namespace

std::string child_check() {
  const char* check = std::getenv(kCheckVariable);
  if (check == nullptr || *check == '\0') return {};
  if (const char* calls = std::getenv(kCallsVariable)) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, calls);
    void* view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(CallState)) : nullptr;
    if (view != nullptr) call_state() = static_cast<CallState*>(view);  // kept until the process ends
  }
  if (const char* broken = std::getenv(kBrokenVariable)) {
    std::istringstream in(broken);
    for (std::string item; std::getline(in, item, ';');) {
      const std::size_t eq = item.find('=');
      if (eq != std::string::npos) broken_routines()[item.substr(0, eq)] = item.substr(eq + 1);
    }
  }
  return check;
}

Isolated run_isolated(const std::function<std::string()>& body, double call_seconds, const std::string& check) {
  static int serial = 0;
  const std::string name = "Local\\kvt-hostcheck-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++serial);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(CallState),
                                      name.c_str());
  void* view = mapping != nullptr ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(CallState)) : nullptr;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out_read = nullptr, out_write = nullptr;
  if (view == nullptr || !CreatePipe(&out_read, &out_write, &inherit, 0)) {
    if (mapping != nullptr) CloseHandle(mapping);
    return {body(), {}, {}};
  }
  SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  auto* watched = new (view) CallState{};

  std::string broken;
  for (const auto& [routine, where] : broken_routines()) broken += routine + "=" + where + ";";
  SetEnvironmentVariableA(kCheckVariable, check.c_str());
  SetEnvironmentVariableA(kCallsVariable, name.c_str());
  SetEnvironmentVariableA(kBrokenVariable, broken.c_str());
  STARTUPINFOA start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  start.hStdOutput = out_write;
  start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child{};
  std::string command = GetCommandLineA();
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                                      &child);
  for (const char* v : {kCheckVariable, kCallsVariable, kBrokenVariable}) SetEnvironmentVariableA(v, nullptr);
  CloseHandle(out_write);
  if (!started) {
    CloseHandle(out_read);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return {body(), {}, {}};
  }

  Isolated result;
  std::string raw;
  const int64_t limit_ns = static_cast<int64_t>(call_seconds * 1e9);
  bool overran = false;
  for (;;) {
    read_available(out_read, raw);
    if (WaitForSingleObject(child.hProcess, 5) == WAIT_OBJECT_0) break;
    const int64_t at = __atomic_load_n(&watched->started_ns, __ATOMIC_ACQUIRE);
    if (!overran && at != 0 && now_ns() - at > limit_ns) {
      overran = true;
      TerminateProcess(child.hProcess, 1);
    }
  }
  for (;;) {  // what the child wrote just before it ended
    char buf[4096];
    DWORD n = 0;
    if (!ReadFile(out_read, buf, sizeof buf, &n, nullptr) || n == 0) break;
    raw.append(buf, n);
  }
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  CloseHandle(out_read);
  const CallState s = *watched;
  UnmapViewOfFile(view);
  CloseHandle(mapping);

  const std::size_t marker = raw.find(kChildMarker);
  if (marker != std::string::npos) {
    const std::size_t line_end = raw.find('\n', marker);
    if (line_end != std::string::npos) result.output = raw.substr(line_end + 1);
  }
  if (overran) {
    end_of_check(result, s, check, "no return within " + seconds_text(call_seconds) + " s");
  } else if (code >= 0xC0000000) {
    end_of_check(result, s, check, "ended by " + exception_name(code));
  } else if (code != 0) {
    end_of_check(result, s, check, "ended the process with exit status " + std::to_string(code));
  } else if (s.started_ns != 0 || marker == std::string::npos) {
    end_of_check(result, s, check, "ended the process");
  }
  return result;
}

}  // namespace kvt::hostcheck
