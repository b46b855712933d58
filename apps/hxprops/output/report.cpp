#include "output/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "output/columns.h"
#include "compute/library_session.h"
#include "base/number_text.h"

namespace hxprops {

namespace {

constexpr int kWidth = 12;

// "-" for a figure the row does not have (one whose flash failed).
std::string fixed(double v, int decimals) {
  if (!std::isfinite(v)) return "-";
  char buf[64];
  if (decimals < 0) std::snprintf(buf, sizeof buf, "%.6g", v);
  else std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
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

std::string_view unit_of(Dimension d, UnitSystem u) { return output_unit(d, u).name; }

void stream_table(std::ostream& out, const SideCurve& curve, UnitSystem u) {
  std::string line1 = "  ", line2 = "  ";
  for (const StreamColumn& col : stream_columns()) {
    line1 += cell(col.heading);
    line2 += cell("[" + std::string(unit_of(col.dimension, u)) + "]");
  }
  for (Phase ph : kCurvePhases) {
    line1 += cell(csv_phase_name(ph));
    line2 += cell("[kg/kg]");
  }
  const bool failed = std::any_of(curve.points.begin(), curve.points.end(), [](const CurvePoint& p) { return p.failed; });
  out << "  stream (phase mass fractions; - : phase absent; > : a phase boundary" << (failed ? "; ! : no figures" : "") << ")\n"
      << line1 << "\n" << line2 << "\n";
  for (const CurvePoint& p : curve.points) {
    std::string line = "  ";
    for (const StreamColumn& col : stream_columns()) {
      line += cell(fixed(to_unit(col.get(p), output_unit(col.dimension, u)), col.decimals));
    }
    for (const PhaseFigures& f : p.phases) line += cell(f.present ? fixed(f.mass_fraction, 4) : "-");
    if (!p.boundary.empty()) line += "  > " + p.boundary;
    if (p.failed) line += "  ! " + std::string(kFailedRowMark) + " (" + note_codes(p.notes, curve.notes) + ")";
    out << line << "\n";
  }
}

void phase_table(std::ostream& out, const SideCurve& curve, int k, UnitSystem u) {
  const Phase ph = kCurvePhases[k];
  const Unit& tu = output_unit(Dimension::Temperature, u);
  // Figure cells carry one more character: '*' for a value the host flagged, else a blank.
  std::string line1 = "  " + cell("T"), line2 = "  " + cell("[" + std::string(tu.name) + "]");
  std::vector<const PhaseColumn*> cols;
  for (const PhaseColumn& col : phase_columns()) {
    if (col.quantity == "mass_fraction" || !applies(col, ph)) continue;
    cols.push_back(&col);
    line1 += cell(std::string(col.heading) + " ");
    line2 += cell("[" + std::string(unit_of(col.dimension, u)) + "] ");
  }
  out << "  " << phase_label(ph) << "\n" << line1 << "\n" << line2 << "\n";
  for (const CurvePoint& p : curve.points) {
    std::string line = "  " + cell(fixed(to_unit(p.temperature, tu), 2));
    for (const PhaseColumn* col : cols) {
      const Figure v = col->get(p.phases[k]);
      const Unit& cu = output_unit(col->dimension, u);
      line += cell(v.value ? significant(to_unit(*v.value, cu)) + (v.flagged ? "*" : " ") : "- ");
    }
    out << line << "\n";
  }
}

void composition_table(std::ostream& out, const SideCurve& curve, int k, const ReportOptions& o) {
  const Unit& tu = output_unit(Dimension::Temperature, o.units);
  std::string line1 = "  " + cell("T"), line2 = "  " + cell("[" + std::string(tu.name) + "]");
  for (const std::string& name : o.components) {
    line1 += cell(name);
    line2 += cell("[mol/mol]");
  }
  out << "  " << phase_label(kCurvePhases[k]) << " composition\n" << line1 << "\n" << line2 << "\n";
  for (const CurvePoint& p : curve.points) {
    std::string line = "  " + cell(fixed(to_unit(p.temperature, tu), 2));
    const std::vector<double>& x = p.phases[k].composition;
    for (std::size_t j = 0; j < o.components.size(); ++j) line += cell(j < x.size() ? fixed(x[j], 6) : "-");
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

std::string state_text(double t, double p, UnitSystem u) {
  return quantity_text(t, Dimension::Temperature, u) + ", " + quantity_text(p, Dimension::Pressure, u, -1);
}

void side_report(std::ostream& out, const SideCurve& curve, const ReportOptions& o) {
  const UnitSystem u = o.units;
  out << "\nside " << curve.side;
  if (!curve.name.empty()) out << ": " << curve.name;
  if (curve.table) {
    out << ": property table at " << quantity_text(curve.inlet_pressure, Dimension::Pressure, u, -1) << ", "
        << quantity_text(curve.inlet_temperature, Dimension::Temperature, u) << " to "
        << quantity_text(curve.outlet_temperature, Dimension::Temperature, u) << " (duty: heat from the first row)\n";
  } else {
    out << " (" << curve.method.text() << ")\n  inlet " << state_text(curve.inlet_temperature, curve.inlet_pressure, u)
        << "; outlet " << state_text(curve.outlet_temperature, curve.outlet_pressure, u) << "; duty "
        << duty_text(curve.duty, u) << "\n";
    if (curve.outlet_pressure > curve.inlet_pressure) {
      out << "  note: the outlet pressure is above the inlet's: the pressure rises along the side (a pump or\n"
             "  compressor upstream of the outlet?); the curve takes it linear in the duty all the same\n";
    }
  }
  if (curve.boundaries.empty()) {
    out << "  phase boundaries: none from inlet to outlet\n";
  } else {
    out << "  phase boundaries:\n";
    for (const PhaseBoundary& b : curve.boundaries) {
      out << "    " << state_text(b.temperature, b.pressure, u) << ", " << quantity_text(b.duty, Dimension::Power, u)
          << " from the inlet: " << b.label << "\n";
    }
  }
  out << "\n";
  stream_table(out, curve, u);
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    const bool ever = std::any_of(curve.points.begin(), curve.points.end(),
                                  [k](const CurvePoint& p) { return p.phases[k].present; });
    if (!ever) continue;
    out << "\n";
    phase_table(out, curve, k, u);
    if (o.compositions) {
      out << "\n";
      composition_table(out, curve, k, o);
    }
  }
  if (any_flagged(curve)) {
    out << "  * the host flagged the value: a correlation was used outside its range (extrapolated or held at\n"
           "    its end)\n";
  }
  if (!curve.notes.empty()) {
    out << "\n  host notes (each once: at how many rows, over which states; the CSV's notes column gives the rows)\n";
    for (const SideNote& n : curve.notes) out << "    " << note_line(n, u) << "\n";
  }
}

void exchanger_report(std::ostream& out, const std::vector<SideCurve>& curves, const ExchangerFigures& x, UnitSystem u) {
  const int cold = 1 - x.hot_side;
  const auto dt = [](double k) { return fixed(k, 2) + " K"; };
  out << "\nexchanger (" << name_of(x.arrangement) << "): side " << x.hot_side << " releases "
      << quantity_text(x.duty, Dimension::Power, u) << ", side " << cold << " takes up "
      << quantity_text(std::fabs(curves[cold].duty), Dimension::Power, u) << "\n";
  out << "  " << (x.crossed() ? "temperature cross: closest approach " : "minimum approach ") << dt(x.min_approach)
      << " at " << quantity_text(x.min_approach_duty, Dimension::Power, u) << " from the hot inlet (side " << x.hot_side
      << " at " << quantity_text(x.hot_temperature, Dimension::Temperature, u) << ", side " << cold << " at "
      << quantity_text(x.cold_temperature, Dimension::Temperature, u) << ")\n";
  const auto opt = [&](const std::optional<double>& v, Dimension d) {
    return v ? quantity_text(*v, d, u) : std::string("undefined");
  };
  out << "  LMTD " << opt(x.lmtd, Dimension::TemperatureDifference) << "; weighted MTD (zone by zone) "
      << opt(x.weighted_mtd, Dimension::TemperatureDifference) << "\n";
  out << "  UA " << opt(x.ua_lmtd(), Dimension::ThermalConductance) << " from the LMTD, "
      << opt(x.ua_weighted(), Dimension::ThermalConductance) << " from the weighted MTD\n";
}

}  // namespace

std::string duty_text(double watts, UnitSystem units) {
  return quantity_text(watts, Dimension::Power, units) + " (" + (watts < 0.0 ? "released" : "taken up") + ")";
}

// A side's assay: its share of the side's flow and each pseudo-component's constants.
void assay_report(std::ostream& out, const Side& s, int side, UnitSystem units) {
  if (!s.assay || s.assay->made.empty()) return;
  const AssayInput& a = *s.assay;
  const double share = assay_share(s);
  out << "\nside " << side << " assay: " << a.made.size() << " pseudo-components, specific gravity " << fixed(a.specific_gravity, 4)
      << "; " << fixed(100.0 * share, 2) << " % of the side's " << (a.basis == Basis::Mass ? "mass" : "moles")
      << (share < 1.0 - 1e-12 ? " (the rest its other components)" : "") << "\n";
  out << "  " << std::setw(16) << std::left << "name" << std::right;
  for (const char* h : {"vol %", "mass %", "mol %", "NBP", "SG", "MW", "Tc", "Pc", "omega"}) out << std::setw(10) << h;
  const Unit& tu = output_unit(Dimension::Temperature, units);
  const Unit& pu = output_unit(Dimension::Pressure, units);
  const std::string t = "[" + std::string(tu.name) + "]", pl = "[" + std::string(pu.name) + "]";
  out << "\n  " << std::setw(16) << "" << std::setw(30) << "" << std::setw(10) << t << std::setw(30) << t << std::setw(10) << pl << "\n";
  for (const AssayInput::Cut& p : a.made) {
    out << "  " << std::setw(16) << std::left << p.name << std::right;
    for (double v : {100 * p.volume, 100 * p.mass, 100 * p.mole}) out << std::setw(10) << fixed(v, 2);
    out << std::setw(10) << fixed(to_unit(p.tb, tu), 1) << std::setw(10) << fixed(p.sg, 4)
        << std::setw(10) << fixed(p.mw, 1) << std::setw(10) << fixed(to_unit(p.tc, tu), 1)
        << std::setw(10) << fixed(to_unit(p.pc, pu), 2) << std::setw(10) << fixed(p.omega, 4) << "\n";
  }
  out << "  (Twu 1984 MW, Tc, Pc; Lee-Kesler acentric factor: docs/hxprops.md, Assays)\n";
}

void print_report(std::ostream& out, const Case& c, const std::vector<SideCurve>& curves, const std::optional<ExchangerFigures>& x,
                  const ReportOptions& o) {
  out << "hxprops: " << (c.title.empty() ? "exchanger property curves" : c.title) << "\n";
  out << "case: " << c.origin << "; " << c.points << " points per side, spaced by " << name_of(c.spacing);
  for (int i = 0; i < c.side_count; ++i) {
    if (c.spacing_of(i) != c.spacing) out << " (side " << i << ": by " << name_of(c.spacing_of(i)) << ")";
  }
  out << "; components:";
  const std::vector<std::string> names = all_components(c);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string cas = cas_number(names[i]);
    out << (i ? ", " : " ") << names[i] << (cas.empty() ? "" : " (" + cas + ")");
  }
  out << "\n";
  for (int i = 0; i < c.side_count; ++i) assay_report(out, c.sides[i], i, o.units);
  for (const SideCurve& curve : curves) {
    side_report(out, curve, o);
    for (const SideCurve& table : curve.pressure_tables) side_report(out, table, o);
  }
  if (x) {
    exchanger_report(out, curves, *x, o.units);
  } else if (curves.size() == 2) {
    out << "\nexchanger: not balanced: side 0 " << duty_text(curves[0].duty, o.units) << ", side 1 "
        << duty_text(curves[1].duty, o.units) << ", apart by " << number_text(100.0 * imbalance(curves), 3)
        << " % of the larger (balance_tolerance " << number_text(100.0 * c.balance_tolerance, 3)
        << " %); the approach, LMTD, weighted MTD and UA need a balance and are left out\n";
  }
}

}  // namespace hxprops
