// The case hxprops calculates: the two sides of a heat exchanger, each a stream (component flows,
// inlet and outlet pressure), the state at its inlet and at its outlet, the property method and the
// option set with which the library flashes it. Values are held in the host's units: K, Pa, kmol/s
// (kg/s for a flow given by mass), W.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"

namespace hxprops {

// The phases a side's flash may find; sets the phase count, the phase kind code and the water switch
// of the side's option set.
enum class PhaseSet {
  VapourLiquid,           // vapour-liquid equilibrium, one liquid
  VapourLiquidFreeWater,  // vapour-liquid equilibrium with water as a pure second liquid
  LiquidOnly,             // the stream taken as one liquid
  VapourOnly,             // the stream taken as vapour
};

// The host's property method for a side; Auto lets the host pick one for the side's components and
// pressure (Session::method() says which, and why).
enum class Method { Auto, Ideal, PengRobinson, Nrtl };

// How the points between inlet and outlet are spaced (duty: evenly in the stream's enthalpy, also
// named "enthalpy"); how the two streams flow.
enum class Spacing { Temperature, Duty };
enum class Arrangement { CounterCurrent, CoCurrent };

// Names in case files and messages, each with its list of every accepted name; a name is found in any
// case ("NRTL").
std::string_view name_of(PhaseSet v);
std::string_view name_of(Method v);
std::string_view name_of(Spacing v);
std::string_view name_of(Arrangement v);
template <typename E> std::optional<E> from_name(std::string_view name);
template <typename E> std::string names_of();

struct FlashOptions {
  PhaseSet phases = PhaseSet::VapourLiquid;
  std::array<std::int64_t, 6> option_list{};  // handed unchanged to the host's flash and property monitor
  std::int64_t flash_option = 0;               // the option set's flash option word
  double flash_real_option = 0.0;              // the option set's flash real option
  bool operator==(const FlashOptions&) const = default;
};

enum class Basis { Mole, Mass };

// A component's flow (kmol/s or kg/s), or its fraction (mol/mol or kg/kg) of the side's total flow.
struct ComponentFlow {
  std::string name;  // databank name, e.g. "n-hexane"
  double amount = 0.0;
  Basis basis = Basis::Mole;
  bool operator==(const ComponentFlow&) const = default;
};

// A total flow with the components as fractions of it.
struct TotalFlow {
  double amount = 0.0;           // kmol/s or kg/s
  Basis basis = Basis::Mole;
  Basis fractions = Basis::Mole;  // the components' amounts are mole or mass fractions
  bool operator==(const TotalFlow&) const = default;
};

// The state at one end of a side. The outlet may also be given by the side's duty, or by the other
// side's ("balance": what the other side releases or takes up).
enum class EndKind { Temperature, VapourFraction, Duty, Balance };
struct EndState {
  EndKind kind = EndKind::Temperature;
  double value = 0.0;  // K, mol/mol, or W added to the stream (negative: heat released)
  bool operator==(const EndState&) const = default;
};

// A pressure level of a side's property tables: a pressure, or one of the side's own pressures (its
// inlet's, its outlet's or the mean of the two).
enum class LevelKind { Pressure, Inlet, Mid, Outlet };
struct TableLevel {
  LevelKind kind = LevelKind::Pressure;
  double pressure = 0.0;  // Pa, for LevelKind::Pressure
  bool operator==(const TableLevel&) const = default;
};

// A petroleum fraction on a side, known by its distillation curve and gravity: the host cuts it
// into pseudo-components ("NBP 245 degC") that join the side's other components.
struct AssayInput {
  std::string curve = "tbp";                        // the distillation: "tbp", "d86" or "d2887"
  std::vector<std::array<double, 2>> distillation;  // (% distilled, K), as given (d2887: % mass, else % volume)
  double specific_gravity = 0.0;                    // 60/60 degF (from api_gravity when that is given)
  double flow = 0.0;                                // kg/s or kmol/s
  Basis basis = Basis::Mass;
  int cuts = 16;
  double cut_width = 0.0;  // K; when positive, instead of cuts
  // What the host made of it (filled when the case is calculated): each pseudo-component's name,
  // shares of the assay (volume, mass, mole), and NBP (K), SG, MW, Tc (K), Pc (Pa), acentric factor.
  struct Cut {
    std::string name;
    double volume = 0, mass = 0, mole = 0, tb = 0, sg = 0, mw = 0, tc = 0, pc = 0, omega = 0;
    bool operator==(const Cut&) const = default;
  };
  std::vector<Cut> made;
  bool operator==(const AssayInput&) const = default;
};

struct Side {
  std::string name;
  double inlet_pressure = 0.0;   // Pa
  double outlet_pressure = 0.0;  // Pa; the pressure along the curve is linear in the duty
  EndState inlet;
  EndState outlet;
  std::vector<ComponentFlow> flows;  // in file order of the keys
  std::optional<TotalFlow> total;    // when the flows are fractions of a total
  std::optional<AssayInput> assay;   // beside the flows (light ends) or instead of them
  Method method = Method::Auto;
  FlashOptions options;
  // The side's rows: its own spacing (else the case's); rows exactly at these temperatures (K; with
  // inlet, outlet and boundaries) instead of evenly spaced ones; at least this many rows inside each
  // stretch between boundaries where two or more phases are present (0: no such floor).
  std::optional<Spacing> spacing;
  std::vector<double> temperatures;
  int rows_per_zone = 0;
  std::optional<std::vector<TableLevel>> table_pressures;  // the side's own levels, else the case's
  bool operator==(const Side&) const = default;
};

inline constexpr int kDefaultPoints = 11;
// Two sides given by their own outlets must agree in duty to this fraction of the larger (default).
inline constexpr double kDefaultBalanceTolerance = 0.005;
inline constexpr int kMinPoints = 2;
inline constexpr int kMaxPoints = 1000;
inline constexpr int kMaxRowsPerZone = 100;

struct Case {
  std::string title;
  int points = kDefaultPoints;
  Spacing spacing = Spacing::Temperature;
  Arrangement arrangement = Arrangement::CounterCurrent;
  double balance_tolerance = kDefaultBalanceTolerance;
  std::vector<TableLevel> table_pressures;  // pressure levels of each side's property tables
  int side_count = 2;                   // 1: one stream's curve only, no exchanger
  std::array<Side, 2> sides;            // the first side_count are the case's

  // Where the case came from (a file name or "<default case>") and the line of each field, keyed by
  // its dotted name ("side0.flows.water"); used only for messages.
  std::string origin;
  std::map<std::string, int> lines;
  // Fields a command-line option set (field -> "--table-pressures"): their messages name the option.
  std::map<std::string, std::string> set_by;

  // Same calculation: every field but origin and lines.
  bool same_content(const Case& other) const;
  // Bad input about a field: InputError naming the option that set it, else its file, line and field.
  [[noreturn]] void reject(const std::string& field, const std::string& message) const;
  // The spacing of a side's rows, and its table levels in Pa (each pressure once, in the order given).
  Spacing spacing_of(int side) const;
  std::vector<double> table_levels(int side) const;
  // The field that gives a side's table levels: "side0.table_pressures" or "table_pressures".
  std::string levels_field(int side) const;
  // The source reference of a field: its line when known, else the line of the nearest enclosing
  // table that has one, else no line.
  SourceRef locate(const std::string& field) const;
};

// Table levels as one string: "2.3 bar, inlet, 2.7 bar" (each a pressure with its unit, or inlet, mid
// or outlet). Sets `why` and returns none when a part is neither.
std::optional<std::vector<TableLevel>> table_level_list(std::string_view text, std::string& why);
// One level from a word, none when it is not inlet, mid or outlet.
std::optional<TableLevel> level_word(std::string_view word);

// Dotted field names, for messages and line lookup.
std::string side_key(int side);                                // "side0"
std::string side_field(int side, std::string_view field);      // "side0.inlet_pressure"
// The table a side's component amounts are in: "flows", "mole_fractions" or "mass_fractions".
std::string_view flows_table(const Side& s);
std::string flow_field(const Case& c, int side, std::string_view component);  // "side0.flows.water"
// An assay's share of its side's flow, in the assay's basis, once its pseudo-components have joined
// the side's flows (the rest is the light ends beside it).
double assay_share(const Side& s);
// The case-file key that gives a side's inlet or outlet ("inlet_vapour_fraction", "duty").
std::string end_key(bool outlet, EndKind kind);

// The components of both sides, each once: side 0's in order, then side 1's that side 0 lacks.
std::vector<std::string> all_components(const Case& c);

// Checks that need no databank: finite, non-negative flows with a positive total; positive finite
// temperatures and pressures; vapour fractions in 0..1; at most one side on "balance"; points in
// range; no table pressure given twice (equal in either unit system's file names). Throws InputError.
void check_case(const Case& c);

}  // namespace hxprops
