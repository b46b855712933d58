// libFuzzer entry for the reference host's databank: the bytes are a databank file's text, loaded
// through the host's own loading function. A text the host refuses must be refused with an Error
// naming the file; a databank it accepts must give each component, on its own and with either
// property method, a T-P flash at a state inside the component's temperature range that either
// converges to finite figures or is refused with an Error: never a crash, a hang or a silent NaN.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "kvt_reference/reference_host.h"

namespace kvt::reference::fuzz {

namespace {

void require(bool ok, const char* rule, const std::string& detail) {
  if (ok) return;
  std::fprintf(stderr, "databank fuzz: %s\n%s\n", rule, detail.c_str());
  std::abort();
}

// The file the input is written to for the host to load: one per fuzzing process.
const std::filesystem::path& input_file() {
  static const std::filesystem::path file = [] {
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
    return dir / ("kvt_databank_fuzz_" + std::to_string(::getpid()) + ".toml");
  }();
  static const int removed_at_exit = std::atexit([] {
    std::error_code ec;
    std::filesystem::remove(file, ec);
  });
  (void)removed_at_exit;
  return file;
}

// One T-P flash of a component alone, in the middle of its temperature range at 1 bar.
void flash_alone(const std::string& name, Method method) {
  const std::string names[] = {name};
  select_components(names, method);
  const Range r = temperature_range(name);
  require(r.min > 0.0 && r.max >= r.min && std::isfinite(r.max), "a component's temperature range is a range of positive temperatures",
          name + ": " + std::to_string(r.min) + " to " + std::to_string(r.max) + " K");
  const double t = r.min + 0.5 * (r.max - r.min);
  const double p = 1.0e5;
  const double flow[] = {1.0};
  std::vector<double> stream;
  try {
    stream = make_stream(flow, t, p);
  } catch (const Error&) {
    return;  // refused, with a message: acceptable for a databank whose correlations allow no state there
  }
  for (double v : stream) require(std::isfinite(v), "a converged flash gives finite figures", name + " at " + std::to_string(t) + " K");
  // Slots after the one flow: total flow, T, P, enthalpy, vapour fraction.
  require(stream[2] == t && stream[3] == p, "a T-P flash keeps its temperature and pressure", name);
  require(stream[5] >= 0.0 && stream[5] <= 1.0, "the vapour fraction lies in 0..1", name);
}

}  // namespace

}  // namespace kvt::reference::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  namespace ref = kvt::reference;
  const std::filesystem::path& file = ref::fuzz::input_file();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // A refusal of the text, at loading or (for a reader that reads a component when it is first
  // asked for) when a component is selected, names the file.
  try {
    ref::load_databank(file);
    const std::vector<std::string> names = ref::databank_components();
    ref::fuzz::require(!names.empty(), "a databank that loads has components", "");
    for (const std::string& name : names) {
      for (const ref::Method method : {ref::Method::ideal, ref::Method::peng_robinson}) ref::fuzz::flash_alone(name, method);
    }
  } catch (const ref::Error& e) {
    const std::string what = e.what();
    ref::fuzz::require(what.rfind(file.string() + ":", 0) == 0, "a refusal names the file", what);
  }
  ref::take_notes();
  return 0;
}
