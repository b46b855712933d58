// The case hxprops calculates: two exchanger sides, each a stream (component flows, pressure,
// inlet temperature), the end of its curve (an outlet temperature or a duty) and the option set with
// which the library flashes it. Units are the host's: K, Pa, kmol/s, W.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "errors.h"

namespace hxprops {

// The phases a side's flash may find; sets the phase count, the phase kind code and the water switch
// of the side's option set.
enum class PhaseSet {
  VapourLiquid,           // vapour-liquid equilibrium, one liquid
  VapourLiquidFreeWater,  // vapour-liquid equilibrium with water as a pure second liquid
  LiquidOnly,             // the stream taken as one liquid
  VapourOnly,             // the stream taken as vapour
};

std::string_view phase_set_name(PhaseSet p);
std::optional<PhaseSet> phase_set_from_name(std::string_view name);
// Every name phase_set_from_name() accepts, comma separated (for messages and --help).
std::string phase_set_names();

struct FlashOptions {
  PhaseSet phases = PhaseSet::VapourLiquid;
  std::array<std::int64_t, 6> option_list{};  // handed unchanged to the host's flash and property monitor
  std::int64_t flash_option = 0;               // the option set's flash option word
  double flash_real_option = 0.0;              // the option set's flash real option
  bool operator==(const FlashOptions&) const = default;
};

struct ComponentFlow {
  std::string name;  // databank name, e.g. "n-hexane"
  double flow = 0.0;  // kmol/s
  bool operator==(const ComponentFlow&) const = default;
};

enum class OutletSpec { Temperature, Duty };

struct Side {
  std::string name;
  double pressure = 0.0;            // Pa, the whole curve is at this pressure
  double inlet_temperature = 0.0;   // K
  OutletSpec outlet = OutletSpec::Temperature;
  double outlet_temperature = 0.0;  // K, when outlet is Temperature
  double duty = 0.0;                // W, heat added to the stream (negative: cooled), when outlet is Duty
  std::vector<ComponentFlow> flows;  // kmol/s, in file order of the keys
  FlashOptions options;
  bool operator==(const Side&) const = default;
};

inline constexpr int kDefaultPoints = 11;
inline constexpr int kMinPoints = 2;
inline constexpr int kMaxPoints = 1000;

struct Case {
  std::string title;
  int points = kDefaultPoints;
  std::array<Side, 2> sides;

  // Where the case came from (a file name or "<default case>") and the line of each field, keyed by
  // its dotted name ("side0.flows.water"); used only for messages.
  std::string origin;
  std::map<std::string, int> lines;

  // Same calculation: every field but origin, lines and the outlet field a side does not use.
  bool same_content(const Case& other) const;
  // The source reference of a field: its line when known, else the line of the nearest enclosing
  // table that has one, else no line.
  SourceRef locate(const std::string& field) const;
};

// Dotted field names, for messages and line lookup.
std::string side_key(int side);                                // "side0"
std::string side_field(int side, std::string_view field);      // "side0.pressure"
std::string flow_field(int side, std::string_view component);  // "side0.flows.water"

// The components of both sides, each once: side 0's in order, then side 1's that side 0 lacks.
std::vector<std::string> all_components(const Case& c);

// Checks that need no databank: flows finite and not negative, a positive total, positive finite
// temperatures and pressure, an outlet different from the inlet, points in range. Throws InputError.
void check_case(const Case& c);

}  // namespace hxprops
