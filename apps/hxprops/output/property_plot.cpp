#include "output/property_plot.h"

#include <algorithm>

#include "output/columns.h"
#include "base/number_text.h"

namespace hxprops {

namespace fs = std::filesystem;

namespace {

// The panels of a side's row: a phase figure (its column) or the stream's vapour fraction.
struct Panel {
  std::string_view quantity;  // of the phase columns; "vapour_fraction": the stream's
  std::string_view title;
  bool log_scale;
};
constexpr Panel kPanels[] = {{"heat_capacity", "heat capacity", false},
                             {"viscosity", "viscosity", true},
                             {"thermal_conductivity", "thermal conductivity", true},
                             {"density", "density", true},
                             {"vapour_fraction", "vapour fraction", false}};
constexpr int kPanelCount = static_cast<int>(std::size(kPanels));
constexpr int kPanelWidth = 330, kPanelHeight = 360;
constexpr const char* kPhaseColours[kCurvePhaseCount] = {"#c0392b", "#2471a3", "#1e8449"};

const PhaseColumn* column_of(std::string_view quantity) {
  for (const PhaseColumn& c : phase_columns()) {
    if (c.quantity == quantity) return &c;
  }
  return nullptr;  // the stream's vapour fraction
}

// The levels of a side: its own path, then its property tables.
std::vector<const SideCurve*> levels(const SideCurve& curve) {
  std::vector<const SideCurve*> out{&curve};
  for (const SideCurve& t : curve.pressure_tables) out.push_back(&t);
  return out;
}

std::string level_title(const SideCurve& level, UnitSystem u) {
  const auto p = [u](double v) { return quantity_text(v, Dimension::Pressure, u, -1); };
  if (level.table) return "at " + p(level.inlet_pressure);
  if (level.inlet_pressure == level.outlet_pressure) return "along the side, " + p(level.inlet_pressure);
  return "along the side, " + p(level.inlet_pressure) + " to " + p(level.outlet_pressure);
}

// One data block per level: temperature, vapour fraction, then per panel quantity each phase's value
// (NaN where the phase is absent: an undefined point, where the line breaks); `boundaries`: only the boundary rows.
std::string data_block(const std::string& name, const SideCurve& level, UnitSystem u, bool boundaries) {
  const Unit& tu = output_unit(Dimension::Temperature, u);
  std::string s = name + " << EOD\n";
  for (const CurvePoint& p : level.points) {
    if (boundaries && p.boundary.empty()) continue;
    s += number_text(to_unit(p.temperature, tu), 10) + " " + number_text(p.vapour_fraction, 10);
    for (const Panel& panel : kPanels) {
      const PhaseColumn* col = column_of(panel.quantity);
      if (!col) continue;
      for (int k = 0; k < kCurvePhaseCount; ++k) {
        const Figure f = col->get(p.phases[k]);
        s += " " + (f.value ? number_text(to_unit(*f.value, output_unit(col->dimension, u)), 10) : std::string("NaN"));
      }
    }
    s += "\n";
  }
  return s + "EOD\n";
}

// The data column of a panel's phase (1-based, as gnuplot counts).
int data_column(int panel, int phase) { return 3 + panel * kCurvePhaseCount + phase; }

bool phase_ever(const SideCurve& level, int k) {
  return std::any_of(level.points.begin(), level.points.end(), [k](const CurvePoint& p) { return p.phases[k].present; });
}

}  // namespace

std::string property_plot_script(const std::string& title, const std::vector<SideCurve>& curves, const fs::path& image,
                                 PlotFormat format, UnitSystem units, int columns) {
  const Unit& tu = output_unit(Dimension::Temperature, units);
  columns = std::clamp(columns, 1, kPanelCount);
  const int rows_per_side = (kPanelCount + columns - 1) / columns, rows = static_cast<int>(curves.size()) * rows_per_side;
  std::string s = "# property plots written by hxprops\n";
  s += gnuplot_terminal(format, kPanelWidth * columns, kPanelHeight * rows + 40, image);
  s += "set grid\nset key left center Left reverse font ',8' samplen 2 spacing 0.9\n";
  for (const SideCurve& curve : curves) {
    const std::vector<const SideCurve*> ls = levels(curve);
    for (std::size_t l = 0; l < ls.size(); ++l) {
      const std::string name = "$s" + std::to_string(curve.side) + "l" + std::to_string(l);
      s += data_block(name, *ls[l], units, false) + data_block(name + "b", *ls[l], units, true);
    }
  }
  std::string heading = title.empty() ? std::string("property plots") : title;
  for (const SideCurve& curve : curves) heading += "; side " + std::to_string(curve.side) + (curve.name.empty() ? "" : ": " + curve.name);
  s += "set multiplot layout " + std::to_string(rows) + "," + std::to_string(columns) + " title " +
       gp_string(heading + " (colour: the phase; dash: the pressure level; points: phase boundaries)") + "\n";
  for (const SideCurve& curve : curves) {
    const std::vector<const SideCurve*> ls = levels(curve);
    for (int panel = 0; panel < kPanelCount; ++panel) {
      const Panel& pn = kPanels[panel];
      const PhaseColumn* col = column_of(pn.quantity);
      const std::string unit = col ? std::string(output_unit(col->dimension, units).name) : "mol/mol";
      s += std::string(pn.log_scale ? "set logscale y\n" : "unset logscale y\n") + "unset arrow\n";
      s += col ? "set yrange [*:*]\n" : "set yrange [-0.02:1.02]\n";
      s += "set title " + gp_string("side " + std::to_string(curve.side) + ": " + std::string(pn.title) + " [" + unit + "]") + " font ',9'\n";
      s += "set xlabel " + gp_string("temperature [" + std::string(tu.name) + "]") + "\n";
      for (const PhaseBoundary& b : curve.boundaries) {
        const std::string t = number_text(to_unit(b.temperature, tu), 10);
        s += "set arrow from " + t + ", graph 0 to " + t + ", graph 1 nohead dashtype 3 linecolor rgb '#888888'\n";
      }
      std::string plots;
      const auto add = [&plots](const std::string& clause) { plots += (plots.empty() ? "" : ", \\\n     ") + clause; };
      for (std::size_t l = 0; l < ls.size(); ++l) {
        const std::string name = "$s" + std::to_string(curve.side) + "l" + std::to_string(l);
        const std::string dash = " dashtype " + std::to_string(static_cast<int>(l % 5) + 1);
        // the key, in the vapour fraction's panel (its middle left is free: the fraction rises with
        // the temperature): the levels by dash, then the phases by colour
        if (!col) {
          add(name + " using 1:2 with lines linewidth 1.5 linecolor rgb '#333333'" + dash + " title " +
              gp_string(level_title(*ls[l], units)));
          if (!ls[l]->boundaries.empty()) add(name + "b using 1:2 with points pointtype 7 pointsize 0.7 linecolor rgb 'black' notitle");
          continue;
        }
        for (int k = 0; k < kCurvePhaseCount; ++k) {
          if (!phase_ever(*ls[l], k)) continue;
          const std::string using_ = " using 1:" + std::to_string(data_column(panel, k));
          add(name + using_ + " with lines linewidth 1.5 linecolor rgb '" + kPhaseColours[k] + "'" + dash + " notitle");
          if (!ls[l]->boundaries.empty()) add(name + "b" + using_ + " with points pointtype 7 pointsize 0.7 linecolor rgb 'black' notitle");
        }
      }
      if (!col) {
        for (int k = 0; k < kCurvePhaseCount; ++k) {
          if (phase_ever(curve, k)) {
            add("NaN with lines linewidth 1.5 linecolor rgb '" + std::string(kPhaseColours[k]) + "' title " +
                gp_string(std::string(phase_label(kCurvePhases[k]))));
          }
        }
      }
      s += "plot " + plots + "\n";
    }
    for (int skip = kPanelCount; skip < rows_per_side * columns; ++skip) s += "set multiplot next\n";  // the side's next row
  }
  return s + "unset multiplot\nunset output\n";
}

void render_property_plot(const std::string& title, const std::vector<SideCurve>& curves, const fs::path& image, PlotFormat format,
                          UnitSystem units, int columns) {
  run_gnuplot(property_plot_script(title, curves, image, format, units, columns), image, format);
}

}  // namespace hxprops
