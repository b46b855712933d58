// How far a side's figures move under the other property methods: each side computed again under
// every other concrete method that applies to it (ideal, peng-robinson, nrtl), and per figure the
// largest difference from the side's own: its duty, its end temperatures where the case does not give
// them, every phase boundary's temperature, and each phase's heat capacity, density and viscosity at
// the side's rows (a T-P flash at each row's temperature and pressure, where both methods find the
// phase). A figure that moves beyond its bound is marked.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "case/case_model.h"
#include "compute/curve.h"
#include "case/units.h"

namespace hxprops {

// One compared figure, with the largest difference over the other methods.
struct SpreadRow {
  std::string quantity;  // "duty", "inlet_temperature", "outlet_temperature", "boundary", "heat_capacity:liquid1", ...
  std::string label;     // for people: "duty", "dew point: liquid 1 appears", "Cp liquid 1"
  Dimension dimension = Dimension::Power;
  std::optional<double> value;  // SI, under the side's own method; none: the figure is not there
  std::optional<double> other;  // SI, under `method`; none: not there under it
  Method method = Method::Ideal;  // the other method of the largest difference
  std::optional<double> at;       // K: the row's temperature, for a phase's figure
  double bound = 0.0;             // a fraction of the value (relative) or a difference in SI
  bool relative = false;
  // other - value, relative to the value when the bound is; none when either is missing.
  std::optional<double> difference() const;
  // Beyond the bound, or there under one method only.
  bool beyond() const;
};

struct SkippedMethod {
  Method method = Method::Ideal;
  std::string reason;
};

struct MethodSpread {
  int side = 0;
  std::string name;
  Method method = Method::Ideal;  // the side's own
  std::vector<Method> compared;
  std::vector<SkippedMethod> skipped;
  std::vector<SpreadRow> rows;
};

// The bounds a difference is marked beyond, for messages and documents: "duty 2 %, a boundary or end
// temperature 1 K, Cp 5 %, density 5 %, viscosity 10 %".
std::string spread_bounds_text();

// Every side of `curves` computed again under the other methods (the case's own methods are put
// back afterwards). A method that cannot compute the side is skipped with the reason.
std::vector<MethodSpread> method_spreads(Session& s, const std::vector<SideCurve>& curves, const CurveOptions& o);

// The printed section; the CSV file's text.
void print_method_spreads(std::ostream& out, const std::vector<MethodSpread>& spreads, UnitSystem u);
std::string method_spread_csv(const std::vector<MethodSpread>& spreads, UnitSystem u);
inline constexpr const char* kMethodSpreadCsv = "method_spread.csv";

// Text of a row's cells in the printed unit: the value, the other's, the difference ("+0.43 %",
// "-1.52 K", "absent"), the bound ("2 %", "1 K"), the temperature of the row.
struct SpreadCells {
  std::string value, other, difference, bound, at;
};
SpreadCells spread_cells(const SpreadRow& r, UnitSystem u);

}  // namespace hxprops
