// The binding of hxprops to libkvt and the reference host: a Session sets the host up for a case's
// components and fills the library's blocks; a SideStream is one side's stream vector, flashed and
// questioned only through the library's exported routines.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "case/case_model.h"
#include "compute/notes.h"

namespace hxprops {

// The library's phase codes and basis codes.
enum class Phase : std::int64_t { Stream = 1, Vapour = 2, Liquid = 3, Liquid1 = 4, Liquid2 = 5 };
enum class LibraryBasis : std::int64_t { Mole = 0, Mass = 1 };

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
  CriticalTemperature,  // KVT_HXPTMC  K (of the phase's composition)
  CriticalPressure,     // KVT_HXPPRC  Pa
};

inline constexpr std::int32_t kTraceUnit = 61;     // the host unit the trace goes to
inline constexpr double kMissing = 1.0e35;         // the library's missing value (KVT_HXRMSS word 1)
inline constexpr double kMinMolarVolume = 1.0e-6;  // m3/kmol (KVT_HXRMIN word 1)

// Temperature range (K) of the databank's flash correlations over some components.
struct TemperatureRange {
  double min;
  double max;
};

// Load a databank file into the host unless it is the one loaded last (the default file when none is
// named). Throws InputError when a named file cannot be loaded, RunError when the default one cannot.
void use_databank(const std::optional<std::filesystem::path>& file);

// A databank component's CAS number (empty when the databank gives none or does not know the name).
std::string cas_number(const std::string& component);

// The property method a side runs under: the one its case names, or the host's pick for "auto".
struct SideMethod {
  Method method = Method::Ideal;  // what runs: Ideal, PengRobinson or Nrtl
  std::string name;               // "iapws" (water alone: the host's water formulation), "ideal", ...
  std::string reason;             // why "auto" picked it; empty when the case names the method
  // "auto: nrtl; every pair has NRTL parameters, 1.01 bar", or "nrtl" when named.
  std::string text() const;
};

// The host and the library are process-wide: keep one Session at a time.
class Session {
 public:
  // Loads the databank (once), names the case's components as the databank does (config() holds
  // the case so named), selects them and fills the library's blocks with the option sets of both
  // sides. Throws InputError for an unknown or ambiguous component (or one named twice on a side), a
  // pressure or a temperature outside the host's ranges, RunError when the databank cannot be loaded.
  explicit Session(const Case& c, const std::optional<std::filesystem::path>& databank = std::nullopt);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const Case& config() const { return case_; }
  // The host's component set (both sides' components) and a side's mole flows over it, kmol/s.
  const std::vector<std::string>& components() const { return components_; }
  const std::vector<double>& mole_flows(int side) const { return flows_[side]; }
  TemperatureRange temperature_range(int side) const;

  // The side's property method: as named, or what "auto" picked for the components the side carries
  // and its higher end pressure.
  const SideMethod& method(int side) const { return methods_[side]; }
  // Make the side's property method the host's (the component set is selected again when it changes).
  void activate(int side);
  // Compute the side under another property method from now on (its next stream activates it).
  void use_method(int side, const SideMethod& m) { methods_[side] = m; }

  // Turn every trace switch on and connect the trace unit to `file` (created or truncated).
  void trace_to(const std::filesystem::path& file);
  // Switch the trace off and close its file.
  void end_trace();

  // The host's notes since the last call (range extrapolations, iteration caps, ...), each once.
  std::vector<HostNote> take_notes();

 private:
  void select(Method m);
  void add_assay(int side);

  Case case_;
  std::vector<std::string> components_;
  std::array<std::vector<double>, 2> flows_;
  std::array<SideMethod, 2> methods_;
  Method method_ = Method::Ideal;  // the host's
  bool tracing_ = false;
};

// One side's stream vector, set up with the library's setters.
class SideStream {
 public:
  // The side's stream (with its method active), flashed at a temperature inside its range.
  SideStream(Session& s, int side);
  // The notes raised when the side's method was made the host's (the component set's), if it was.
  const std::vector<HostNote>& setup_notes() const { return setup_notes_; }

  // Flashes at the pressure given (KVT_HXUPRS) and: a temperature (KVT_HXUTMP, T-P), a molar enthalpy
  // in J/kmol (KVT_HXUNTH, P-H), a vapour fraction (KVT_HXUVFR, P-vapour fraction). Throw RunError
  // when the host's flash fails.
  void flash_tp(double t, double p);
  void flash_ph(double molar_enthalpy, double p);
  void flash_pv(double vapour_fraction, double p);

  // The stream's temperature and pressure after the last flash (KVT_HXPTMP, KVT_HXPPRS).
  double temperature();
  double pressure();
  // One question to the library about the last flash.
  struct Answer {
    std::optional<double> value;  // empty when the phase is absent (IERR -1) or the answer is missing
    std::int64_t ierr = 0;        // IERR; a positive value is the host's error flag (value kept)
  };
  Answer ask(Quantity q, Phase p, LibraryBasis b);
  // The value alone, when there is one and IERR is 0.
  std::optional<double> value(Quantity q, Phase p, LibraryBasis b);
  // Whether the phase has a positive fraction in the last flash.
  bool present(Phase p);
  // The phase's mole fractions over the host's component set, from the packed compositions the
  // last flash left in the host's work array; empty when the phase is absent.
  std::vector<double> composition(Phase p);

 private:
  // Flash with the setters' values in place; the flash's given value and pressure only name it in
  // the message of a failure.
  void flash(std::int64_t kspec, double spec, const char* what, double p);
  using StateRoutine = void (*)(double*, const std::int64_t*, const std::int64_t*, const std::int64_t*, const std::int64_t*,
                                double*, std::int64_t*);
  double state_value(StateRoutine routine);

  int side_;
  std::vector<HostNote> setup_notes_;
  std::vector<double> strm_;
  std::int64_t nstrm_;
};

}  // namespace hxprops
