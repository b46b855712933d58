#include "report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "columns.h"

namespace hxprops {

namespace {

constexpr int kWidth = 12;

std::string fixed(double v, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string significant(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.5g", v);
  return buf;
}

std::string cell(std::string_view text) {
  std::string s(text);
  if (static_cast<int>(s.size()) < kWidth) s.insert(0, kWidth - s.size(), ' ');
  return " " + s;
}

void heading_rows(std::ostream& out, const std::vector<std::string_view>& names, const std::vector<std::string_view>& units) {
  std::string line1 = "  ", line2 = "  ";
  for (std::string_view n : names) line1 += cell(n);
  for (std::string_view u : units) line2 += cell("[" + std::string(u) + "]");
  out << line1 << "\n" << line2 << "\n";
}

void stream_table(std::ostream& out, const SideCurve& curve) {
  std::vector<std::string_view> names, units;
  for (const StreamColumn& col : stream_columns()) {
    names.push_back(col.heading);
    units.push_back(col.unit);
  }
  std::vector<std::string> fraction_names;
  for (Phase ph : kCurvePhases) fraction_names.push_back(std::string(csv_phase_name(ph)));
  for (const std::string& n : fraction_names) {
    names.push_back(n);
    units.push_back("kg/kg");
  }
  out << "  stream (phase mass fractions; - : phase absent)\n";
  heading_rows(out, names, units);
  for (const CurvePoint& p : curve.points) {
    std::string line = "  ";
    for (const StreamColumn& col : stream_columns()) line += cell(fixed(col.get(p), col.decimals));
    for (const PhaseFigures& f : p.phases) line += cell(f.present ? fixed(f.mass_fraction, 4) : "-");
    out << line << "\n";
  }
}

void phase_table(std::ostream& out, const SideCurve& curve, int k) {
  const Phase ph = kCurvePhases[k];
  // Figure cells carry one more character: '*' for a value the host flagged, else a blank.
  std::string line1 = "  " + cell("T"), line2 = "  " + cell("[K]");
  std::vector<const PhaseColumn*> cols;
  for (const PhaseColumn& col : phase_columns()) {
    if (col.quantity == "mass_fraction" || (col.liquids_only && !is_liquid(ph))) continue;
    cols.push_back(&col);
    line1 += cell(std::string(col.heading) + " ");
    line2 += cell("[" + std::string(col.unit) + "] ");
  }
  out << "  " << phase_label(ph) << "\n" << line1 << "\n" << line2 << "\n";
  for (const CurvePoint& p : curve.points) {
    std::string line = "  " + cell(fixed(p.temperature, 2));
    for (const PhaseColumn* col : cols) {
      const Figure v = col->get(p.phases[k]);
      line += cell(v.value ? significant(*v.value) + (v.flagged ? "*" : " ") : "- ");
    }
    out << line << "\n";
  }
}

bool any_flagged(const SideCurve& curve) {
  for (const CurvePoint& p : curve.points) {
    for (int k = 0; k < kCurvePhaseCount; ++k) {
      for (const PhaseColumn& col : phase_columns()) {
        if (col.get(p.phases[k]).flagged) return true;
      }
    }
  }
  return false;
}

void side_report(std::ostream& out, const SideCurve& curve) {
  out << "\nside " << curve.side;
  if (!curve.name.empty()) out << ": " << curve.name;
  out << "\n  pressure " << fixed(curve.pressure * 1.0e-3, 2) << " kPa; inlet " << fixed(curve.inlet_temperature, 2)
      << " K; outlet " << fixed(curve.outlet_temperature, 2) << " K; duty " << duty_text(curve.duty) << "\n";
  if (curve.boundaries.empty()) {
    out << "  phase boundaries: none between inlet and outlet\n";
  } else {
    out << "  phase boundaries:\n";
    for (const PhaseBoundary& b : curve.boundaries) {
      out << "    " << fixed(b.temperature, 2) << " K, " << fixed(b.duty * 1.0e-3, 2) << " kW from the inlet: " << b.label
          << "\n";
    }
  }
  out << "\n";
  stream_table(out, curve);
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    const bool ever = std::any_of(curve.points.begin(), curve.points.end(),
                                  [k](const CurvePoint& p) { return p.phases[k].present; });
    if (!ever) continue;
    out << "\n";
    phase_table(out, curve, k);
  }
  if (any_flagged(curve)) {
    out << "  * the host flagged the value: a correlation was used outside its range (extrapolated or held at\n"
           "    its end)\n";
  }
}

}  // namespace

std::string duty_text(double watts) {
  return fixed(watts * 1.0e-3, 2) + " kW (" + (watts < 0.0 ? "released" : "taken up") + ")";
}

void print_report(std::ostream& out, const Case& c, const std::array<SideCurve, 2>& curves) {
  out << "hxprops: " << (c.title.empty() ? "exchanger property curves" : c.title) << "\n";
  out << "case: " << c.origin << "; " << c.points << " points per side; components:";
  const std::vector<std::string> names = all_components(c);
  for (std::size_t i = 0; i < names.size(); ++i) out << (i ? ", " : " ") << names[i];
  out << "\n";
  for (const SideCurve& curve : curves) side_report(out, curve);

  const double q0 = curves[0].duty, q1 = curves[1].duty;
  out << "\nduties: side 0 " << duty_text(q0) << ", side 1 " << duty_text(q1);
  const double scale = std::max(std::fabs(q0), std::fabs(q1));
  if ((q0 < 0.0) != (q1 < 0.0) && scale > 0.0) {
    out << "; imbalance " << fixed(std::fabs(q0 + q1) * 1.0e-3, 2) << " kW (" << fixed(100.0 * std::fabs(q0 + q1) / scale, 2)
        << " % of the larger)";
  } else {
    out << "; both sides " << (q0 < 0.0 ? "release" : "take up") << " heat";
  }
  out << "\n";
}

}  // namespace hxprops
