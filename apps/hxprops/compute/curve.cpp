#include "compute/curve.h"

#include <algorithm>
#include <cmath>

#include "base/number_text.h"

namespace hxprops {

std::string_view phase_label(Phase p) {
  switch (p) {
    case Phase::Stream: return "stream";
    case Phase::Vapour: return "vapour";
    case Phase::Liquid: return "liquid";
    case Phase::Liquid1: return "liquid 1";
    case Phase::Liquid2: return "liquid 2";
  }
  return "?";
}

bool is_liquid(Phase p) { return p == Phase::Liquid || p == Phase::Liquid1 || p == Phase::Liquid2; }

std::vector<std::string> failed_rows(const SideCurve& curve, UnitSystem units) {
  std::vector<std::string> out;
  for (const CurvePoint& p : curve.points) {
    if (!p.failed) continue;
    out.push_back(std::isfinite(p.temperature) ? quantity_text(p.temperature, Dimension::Temperature, units)
                                               : "at " + quantity_text(p.duty, Dimension::Power, units) + " from the inlet");
  }
  for (const SideCurve& table : curve.pressure_tables) {
    for (std::string& t : failed_rows(table, units)) out.push_back(std::move(t) + " in the table at " +
                                                                  quantity_text(table.inlet_pressure, Dimension::Pressure, units, -1));
  }
  return out;
}

double imbalance(const std::vector<SideCurve>& curves) {
  if (curves.size() < 2) return 0.0;
  const double q0 = curves[0].duty, q1 = curves[1].duty;
  const double larger = std::max(std::fabs(q0), std::fabs(q1));
  return larger > 0.0 ? std::fabs(q0 + q1) / larger : 0.0;
}

std::vector<SideCurve> compute_curves(Session& s, const CurveOptions& o) {
  const Case& c = s.config();
  if (c.side_count == 1) {
    std::vector<SideCurve> one{compute_side_curve(s, 0, o)};
    add_pressure_tables(s, one[0], o);
    return one;
  }
  const int balanced = c.sides[0].outlet.kind == EndKind::Balance ? 0 : c.sides[1].outlet.kind == EndKind::Balance ? 1 : -1;
  const int first = balanced == 0 ? 1 : 0;
  std::vector<SideCurve> curves(2);
  curves[first] = compute_side_curve(s, first, o);
  curves[1 - first] = compute_side_curve(s, 1 - first, o, -curves[first].duty);
  for (SideCurve& curve : curves) add_pressure_tables(s, curve, o);
  const double q0 = curves[0].duty, q1 = curves[1].duty;
  const auto kw = [](double w) { return number_text(w * 1.0e-3) + " kW"; };
  if ((q0 < 0.0) == (q1 < 0.0)) {
    c.reject(side_field(1, end_key(true, c.sides[1].outlet.kind)),
             std::string("both sides ") + (q0 < 0.0 ? "release" : "take up") + " heat (side 0 " + kw(q0) + ", side 1 " + kw(q1) + ")");
  }
  if (balanced < 0 && !o.allow_imbalance && imbalance(curves) > c.balance_tolerance) {
    c.reject(side_field(1, end_key(true, c.sides[1].outlet.kind)),
             "the duties do not balance: side 0 " + kw(q0) + ", side 1 " + kw(q1) + " (" + number_text(100.0 * imbalance(curves), 3) +
                 " % of the larger, over balance_tolerance " + number_text(100.0 * c.balance_tolerance, 3) +
                 " %); give one side duty = \"balance\", or --allow-imbalance for both curves without the exchanger's figures");
  }
  return curves;
}

}  // namespace hxprops
