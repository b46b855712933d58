// The binding of hxprops to libkvt and the reference host: a Session sets the host up for a case's
// components and fills the library's blocks; a SideStream is one side's stream vector, flashed and
// questioned only through the library's exported routines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "case_model.h"

namespace hxprops {

// The library's phase codes and basis codes.
enum class Phase : std::int64_t { Stream = 1, Vapour = 2, Liquid = 3, Liquid1 = 4, Liquid2 = 5 };
enum class Basis : std::int64_t { Mole = 0, Mass = 1 };

// What the library answers about one phase; each maps to one exported routine.
enum class Quantity {
  Fraction,            // KVT_HXPFRC  [-]
  MolecularWeight,     // KVT_HXPMWT  kg/kmol
  Flow,                // KVT_HXPMFL  kmol/s or kg/s
  HeatFlow,            // KVT_HXPQFL  W (mole basis only)
  HeatCapacity,        // KVT_HXPCPP  J/(kmol K) or J/(kg K)
  Conductivity,        // KVT_HXPTHC  W/(m K)
  Viscosity,           // KVT_HXPVIS  Pa s
  SurfaceTension,      // KVT_HXPSFT  N/m
  Density,             // KVT_HXPDNS  kmol/m3 or kg/m3
  HeatOfVaporisation,  // KVT_HXPTHV  J/kmol or J/kg
  CriticalTemperature, // KVT_HXPTMC  K
  CriticalPressure,    // KVT_HXPPRC  Pa
};

inline constexpr std::int32_t kTraceUnit = 61;  // the host unit the trace goes to
inline constexpr double kMissing = 1.0e35;      // the library's missing value (KVT_HXRMSS word 1)
inline constexpr double kMinMolarVolume = 1.0e-6;  // m3/kmol (KVT_HXRMIN word 1)

// The host and the library are process-wide: keep one Session at a time.
class Session {
 public:
  // Loads the databank, selects the case's components and fills the library's blocks with the
  // option sets of both sides. Throws InputError for an unknown component, a pressure or a
  // temperature outside the host's ranges, RunError when the databank cannot be loaded.
  explicit Session(const Case& c);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const Case& config() const { return case_; }

  // Turn every trace switch on and connect the trace unit to `file` (created or truncated).
  void trace_to(const std::filesystem::path& file);
  // Switch the trace off and close its file.
  void end_trace();

  // The host's notes since the last call (range extrapolations, flash failures), each once.
  std::vector<std::string> host_notes();

 private:
  Case case_;
  bool tracing_ = false;
};

// Temperature range (K) of the databank's flash correlations over the components a side carries.
struct TemperatureRange {
  double min;
  double max;
};
TemperatureRange side_temperature_range(const Case& c, int side);

// One side's stream vector, set up with the library's setters.
class SideStream {
 public:
  // The side's stream at its inlet temperature and pressure, flashed (T-P).
  SideStream(const Case& c, int side);

  int side() const { return side_; }
  double pressure() const { return pressure_; }

  // Flash at T and the side's pressure (KVT_HXUTMP, KVT_HXUPRS, KVT_HXFLSH T-P). Throws RunError
  // when the host's flash fails.
  void flash_tp(double t);
  // Flash at the side's pressure and a molar enthalpy, J/kmol (KVT_HXUNTH, KVT_HXFLSH P-H).
  void flash_ph(double molar_enthalpy);

  // The stream's temperature after the last flash (KVT_HXPTMP), K.
  double temperature();
  // One question to the library about the last flash.
  struct Answer {
    std::optional<double> value;  // empty when the phase is absent (IERR -1) or the answer is missing
    std::int64_t ierr = 0;        // IERR; a positive value is the host's error flag (value kept)
  };
  Answer ask(Quantity q, Phase p, Basis b);
  // The value alone, when there is one and IERR is 0.
  std::optional<double> value(Quantity q, Phase p, Basis b);
  // Whether the phase has a positive fraction in the last flash.
  bool present(Phase p);

 private:
  void flash(std::int64_t kspec);
  std::string where() const;

  int side_;
  double pressure_;
  std::vector<double> strm_;
  std::int64_t nstrm_;
};

}  // namespace hxprops
