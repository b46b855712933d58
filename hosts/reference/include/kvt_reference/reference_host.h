// kvt reference host: the C++ interface through which a host program sets up the reference host.
//
// libkvt_reference_host.so defines every symbol of kvt/host.h (data store, stream utilities, flash,
// property monitor) on the property method chosen with the component set: ideal solution
// (Raoult's-law K-values, ideal-gas vapour, liquid enthalpy from the liquid heat capacity), the
// Peng-Robinson equation of state or an NRTL liquid, by default the one choose_method() picks; enthalpy is referred to the ideal gas at 298.15 K. The
// pure-component data come from a databank file (TOML) in which every coefficient set names its
// published source. hosts/reference/README.md says where each method holds and where it does not.
//
// Units everywhere (the host's units): K, Pa, kmol, kmol/s, J/kmol, J/(kmol K), kg/kmol, m3/kmol,
// Pa s, W/(m K), N/m.
//
// A program's typical sequence:
//   kvt::reference::load_databank();                                   // default file, or a path
//   kvt::reference::select_components({"methane", "water", ...});      // sets NCOMP, lays out VOKA_PLEX
//   auto pkv = kvt::reference::allocate_packed_lists();                 // -> KVT_HXPKV words 1..16
//   auto ret = kvt::reference::allocate_retention_records(10);         // -> KVT_IHXPP words 24, 25
//   kvt::reference::connect_unit_to_stdout(6);                         // the unit in KVT_HXOUTP
//   auto strm = kvt::reference::make_stream(flows, t, p);              // a stream vector
//   ... fill the library's blocks (KVT_IHXPP word 26 = kvt::reference::kNsubs), call KVT_HXFLSH etc.
//
// Bad input to these functions throws kvt::reference::Error with a message naming the offending item.
// The C entry points of kvt/host.h never throw: they report through their error arguments and the
// flash status, and keep a note of every problem for take_notes().
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kvt::reference {

// Every bad input to this interface: unknown component, negative flow, T or P outside the databank's
// ranges, a malformed databank file (the message then names the file and, where known, the line).
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// ---- Databank ----------------------------------------------------------------------------------

// The databank shipped with the host: the build tree's copy beside the library when it exists, else
// the installed copy (both fixed at build time).
std::filesystem::path default_databank_path();

// Load (or reload) the databank; forgets any previous component selection.
void load_databank(const std::filesystem::path& file = default_databank_path());

// Names of the databank's components, in file order (lower case, e.g. "n-hexane").
std::vector<std::string> databank_components();

// A databank component as it is found: canonical name, CAS number, formula and the other names.
struct ComponentId {
  std::string name;     // canonical, lower case
  std::string cas;      // CAS registry number ("74-98-6"), empty when the databank gives none
  std::string formula;  // "C3H8"
  std::vector<std::string> synonyms;
};
// The component `text` names: its canonical name in any case with blanks and hyphens folded
// ("n-Butane", "n butane"), a synonym ("isobutane"), its CAS number, or its formula where only one
// component has it ("CO2"); tried in that order. Throws Error for a text naming several components
// (listing them) or none (naming the nearest). Every function here taking a component name accepts
// what this accepts.
ComponentId resolve_component(std::string_view text);
// The components whose name, a synonym, formula or CAS number contains `text` (folded as above), in
// file order; every component when it is empty.
std::vector<ComponentId> find_components(std::string_view text = {});

// ---- Component set -----------------------------------------------------------------------------

// The property method of a component set: ideal solution (Raoult's law, ideal-gas vapour), the
// Peng-Robinson equation of state, or an NRTL activity-coefficient liquid under an ideal-gas vapour
// (K = gamma Psat / P, parameters from the databank's DECHEMA pairs); `automatic` picks one of the
// three for the set and the pressure by choose_method()'s rules.
enum class Method { ideal, peng_robinson, nrtl, automatic };

// What `automatic` picks, and why. The rules (hosts/reference/README.md gives the figures behind
// them): water alone, IAPWS-IF97 (which every method gives water alone; computed as `ideal`); two or
// more components every pair of which has NRTL parameters, at up to 500 kPa, NRTL; anything else
// Peng-Robinson. The ideal method is never picked: only asked for.
struct MethodChoice {
  Method method;       // ideal, peng_robinson or nrtl
  std::string name;    // "iapws", "peng-robinson" or "nrtl"
  std::string reason;  // "every pair has NRTL parameters, 1.01 bar", "water alone: IAPWS-IF97", ...
};
// For the components named (as select_components() takes them; only those present in the stream
// matter) and the highest pressure (Pa) the streams will see. Throws Error as select_components().
MethodChoice choose_method(std::span<const std::string> names, double pressure);
// "ideal", "peng-robinson", "nrtl", "auto".
std::string_view method_name(Method method);

// Choose the host's component set, in this order (component number j is names[j-1]), and its
// property method (`automatic`: choose_method(names, pressure)'s pick). Sets VOKA_NCOMP, the
// molecular weights at VOKA_IPOFF1 word 306, the work areas and offsets of VOKA_STWKWK / TEBU_STWORK
// and the missing value of VOKA_RGLOB, and frees every earlier allocation. Throws Error naming an
// unknown, ambiguous or repeated component. Loads the default databank first when none is loaded.
// Under Peng-Robinson a set with pairs the databank has no k_ij for keeps one note (kind
// method_range) listing them: they take k_ij = 0.
inline constexpr double kAtmosphere = 101325.0;  // Pa
void select_components(std::span<const std::string> names, Method method = Method::automatic, double pressure = kAtmosphere);
void select_components(std::initializer_list<std::string> names, Method method = Method::automatic, double pressure = kAtmosphere);
// The method selected (never `automatic`: what it picked).
Method selected_method();

std::vector<std::string> selected_components();
std::int64_t ncomp();
// Component number (1-based) of a selected component; throws Error naming it when not selected.
std::int64_t component_number(std::string_view name);
// Molecular weight of a selected component by number (kg/kmol).
double molecular_weight(std::int64_t component);

// Temperature range (K) in which every correlation that a flash and the property monitor evaluate
// is inside its documented validity range: for one databank component, or the intersection over
// the selected set. Outside it the host still computes (by extrapolation) but says so.
struct Range {
  double min;
  double max;
};
Range temperature_range(std::string_view component);
Range temperature_range();
// Pressures the host accepts for a stream (Pa).
Range pressure_range();

// The host's missing value (VOKA_RGLOB word 1).
double missing_value();

// ---- Assays: pseudo-components of a petroleum fraction -----------------------------------------

// The distillation a curve comes from: the true-boiling-point curve (% volume), ASTM D86 (% volume)
// or ASTM D2887, the simulated distillation by gas chromatography (% mass); the last two are
// converted to the first before the cutting.
enum class DistillationCurve { kTbp, kD86, kD2887 };

// A sample known by its distillation curve and its gravity.
struct Assay {
  std::vector<std::array<double, 2>> tbp;  // (% distilled, K), rising in both; at least 3 points
  double specific_gravity = 0.0;           // of the whole sample, 60/60 degF (0.55-1.2)
  int cuts = 16;                           // pseudo-components, equal temperature intervals
  double cut_width = 0.0;                  // K; when positive, the intervals' width instead of `cuts`
  DistillationCurve curve = DistillationCurve::kTbp;  // what `tbp` holds
};
// One pseudo-component of an assay: its name ("NBP 245 degC"), its shares of the sample and the
// constants the characterisation gave it (docs/hxprops.md, "Assays", cites the methods).
struct PseudoComponent {
  std::string name;
  double volume_share = 0.0, mass_share = 0.0, mole_share = 0.0;
  double tb = 0.0, sg = 0.0, mw = 0.0, tc = 0.0, pc = 0.0, omega = 0.0;  // K, -, kg/kmol, K, Pa, -
};
// Cuts the assay into pseudo-components and adds them to the loaded databank (loading the default
// first), where select_components() and every routine of the host find them by name until the
// databank is loaded again. A cut of the same boiling point and gravity as one added before is that
// one; a different cut of the same name is named "NBP 245 degC #2". Throws Error naming the field
// for a curve that does not rise, fewer than three points, a gravity or a cut outside the methods'
// ranges.
std::vector<PseudoComponent> add_assay(const Assay& assay);

// ---- Stream vector -----------------------------------------------------------------------------

// A stream vector has NCOMP + 10 slots: 1..NCOMP component mole flows (kmol/s), NCOMP+1 total flow,
// NCOMP+2 T, NCOMP+3 P, NCOMP+4 molar enthalpy (J/kmol), NCOMP+5 vapour fraction (mole),
// NCOMP+6 liquid split (first liquid's share of the liquid), NCOMP+7 and NCOMP+8 unused (0),
// NCOMP+9 molecular weight, NCOMP+10 mass flow (kg/s). Every host flash rewrites slots NCOMP+1 to
// NCOMP+10 from its result.
inline constexpr std::int64_t kStreamExtraSlots = 10;
std::int64_t stream_length();
// Substreams per stream vector: the value for the library's KVT_IHXPP word 26.
inline constexpr std::int64_t kNsubs = 1;

// A stream of the given component mole flows (NCOMP values, kmol/s) at T and P, flashed at T and P
// (free_water: water may form a pure second liquid) so that every slot is filled. Throws Error for a
// wrong count, a negative or non-finite flow, a zero total, or T or P outside the ranges above.
std::vector<double> make_stream(std::span<const double> flows, double t, double p, bool free_water = false);

// ---- Flash codes (the library's option set words 7, 8 and 10 feed these) ---------------------

// WEND_FLASH phase kind code = 10 * w + k. w = 1: water may form a pure second liquid (free water).
// k = 1: vapour-liquid; k = 2: liquid only; k = 3: vapour only. With k = 1, phase count 1 asks for a
// single vapour, 2 (or 0 or less) for vapour-liquid equilibrium, 3 for vapour-liquid-free-water
// equilibrium (as w = 1). A single phase (k = 2, k = 3 or count 1) is the whole stream taken as that
// phase at the flash conditions; it meets KSPEC 1 and 2 (and 4 only at the estimate's pressure, as its
// enthalpy does not depend on pressure); a vapour fraction specification fails the flash as bad input.
enum PhaseKind : std::int64_t { kVapourLiquid = 1, kLiquidOnly = 2, kVapourOnly = 3, kFreeWater = 10 };

// KSPEC: 1 P-H, 2 T-P, 3 P-vapour fraction, 4 T-H, 5 T-vapour fraction.
enum Kspec : std::int64_t { kPH = 1, kTP = 2, kPVF = 3, kTH = 4, kTVF = 5 };

// The first word of VOKA_FLSCOM after a flash (the library's IERR after a good flash):
inline constexpr std::int64_t kFlashOk = 0;
inline constexpr std::int64_t kFlashExtrapolated = 2;  // converged, but outside a correlation range
// WEND_FLASH status words (judged by WEND_FLSTAT: only kStatusConverged is good).
inline constexpr std::int64_t kStatusConverged = 1;
inline constexpr std::int64_t kStatusFailed = 2;      // no solution: VOKA_FLSCM2 word 1 is set to 1
inline constexpr std::int64_t kStatusBadInput = 3;    // bad arguments: VOKA_FLSCM2 word 1 is set to 1

// ---- Work array --------------------------------------------------------------------------------

// VOKA_PLEX length in words.
std::int64_t plex_size();
// Reserve `words` consecutive free words of VOKA_PLEX (zeroed) and return the 1-based position of the
// first. Throws Error when the work array is full. select_components() frees every reservation.
std::int64_t plex_allocate(std::int64_t words);
// Reserve the packed-composition lists of the library's flash (four groups, room for NCOMP entries
// each) and return the 16 words for KVT_HXPKV (words 5, 10, 15, 16 are 0).
std::array<std::int64_t, 16> allocate_packed_lists();
// Reserve `records` retention records (the library uses 10: five slots per side) and return the
// positions for KVT_IHXPP word 24 (first integer record) and word 25 (first real record).
struct RetentionPositions {
  std::int64_t integer_records;  // KVT_IHXPP word 24
  std::int64_t real_records;     // KVT_IHXPP word 25
};
RetentionPositions allocate_retention_records(std::int64_t records = 10);

// ---- Output units (UNIT_WRITE) -------------------------------------------------------------------

// Connect a unit number to a file (created or truncated) or to standard output. Records written to a
// unit that is not connected are discarded. Throws Error when the file cannot be opened.
void connect_unit(std::int32_t unit, const std::filesystem::path& file);
void connect_unit_to_stdout(std::int32_t unit);
// Flush and close (or release) a unit; unknown units are ignored.
void disconnect_unit(std::int32_t unit);

// ---- Diagnostics -------------------------------------------------------------------------------

// Notes the C entry points and make_stream() left since the last call, oldest first; the list is
// then emptied. At most the 100 most recent distinct notes are kept. Each note is data a program can
// file with its own results: what kind of warning it is, which host routine raised it, the phase
// and component it concerns (when one), the state (T and P, NaN when the note has none) and its text.
enum class NoteKind {
  correlation_range,  // a correlation used outside its range: the value is extrapolated or held
  method_range,       // a method used where it is weak (the ideal method at high pressure, ...)
  supercritical,      // a component above its critical temperature in a liquid
  shared_liquid,      // water and a hydrocarbon share one liquid (free water is off)
  forced_phase,       // a forced phase kind contradicts the stable state at that T and P
  iteration_cap,      // an iteration stopped at its cap: the result is not converged
  flash_failed,       // a flash found no solution
  bad_argument,       // a routine refused its arguments
  other,
};
enum class NotePhase { none, stream, vapour, liquid, liquid1, liquid2 };
struct Note {
  NoteKind kind = NoteKind::other;
  std::string routine;    // "WEND_FLASH", "GOSA_VISCL", "make_stream", ...
  NotePhase phase = NotePhase::none;
  std::string component;  // a component name, or empty
  double t = 0.0;         // K, NaN when the note has no state
  double p = 0.0;         // Pa, NaN when the note has no state
  std::string text;       // the whole note as a sentence, routine included
};
std::vector<Note> take_notes();
// Short stable names for files and programs: "correlation-range", "iteration-cap", "liquid1", ...
std::string_view note_kind_name(NoteKind kind);
std::string_view note_phase_name(NotePhase phase);

// The texts of take_notes(), for a program that only prints them.
std::vector<std::string> take_warnings();

}  // namespace kvt::reference
