// Output units: UNIT_WRITE and the program's connections of unit numbers to files or stdout.
#include <cstdio>

#include "host/host_state.h"
#include "kvt/host.h"
#include "kvt_reference/reference_host.h"

namespace kvt::reference {

void connect_unit(std::int32_t unit, const std::filesystem::path& file) {
  // UTF-8, not string(): the C runtime of a program whose code page is UTF-8 (Windows) opens any name.
  const std::u8string name = file.u8string();
  std::FILE* f = std::fopen(reinterpret_cast<const char*>(name.c_str()), "w");
  if (f == nullptr) throw Error("cannot open trace file " + std::string(name.begin(), name.end()) + " for writing");
  disconnect_unit(unit);
  host().units[unit] = f;
}

void connect_unit_to_stdout(std::int32_t unit) {
  disconnect_unit(unit);
  host().units[unit] = stdout;
}

void disconnect_unit(std::int32_t unit) {
  auto& units = host().units;
  auto it = units.find(unit);
  if (it == units.end()) return;
  if (it->second == stdout) {
    std::fflush(stdout);
  } else {
    std::fclose(it->second);
  }
  units.erase(it);
}

}  // namespace kvt::reference

extern "C" void UNIT_WRITE(const int32_t* unit, const char* text, const int64_t* nchar) {
  auto& units = kvt::reference::host().units;
  auto it = units.find(*unit);
  if (it == units.end()) return;  // not connected: the record is discarded
  if (*nchar > 0) std::fwrite(text, 1, static_cast<std::size_t>(*nchar), it->second);
  std::fputc('\n', it->second);
}
