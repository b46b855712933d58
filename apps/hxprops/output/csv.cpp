#include "output/csv.h"

#include <cmath>

#include "output/columns.h"
#include "base/number_text.h"

namespace hxprops {

namespace {

std::string header_cell(std::string_view quantity, std::string_view phase, std::string_view unit) {
  return std::string(quantity) + ":" + std::string(phase) + " [" + std::string(unit) + "]";
}

}  // namespace

std::string csv_cell(const std::string& s) {
  if (s.find_first_of(",\"") == std::string::npos) return s;
  std::string out = "\"";
  for (const char ch : s) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
  return out + "\"";
}

std::vector<std::string> csv_header(const TableOptions& o, const std::vector<SideNote>& notes, const SideMethod& method) {
  std::vector<std::string> cells;
  for (const StreamColumn& col : stream_columns()) {
    cells.push_back(header_cell(col.quantity, "stream", output_unit(col.dimension, o.units).name));
  }
  cells.emplace_back("boundary");
  cells.emplace_back("flags");
  // The notes column: each row carries the codes of the host's notes raised there; its header cell
  // says what each code stands for.
  std::string legend;
  for (const SideNote& n : notes) {
    legend += (legend.empty() ? " [" : "; ") + n.code + " = " + n.kind + (n.phase.empty() ? "" : " " + n.phase) +
              (n.component.empty() ? "" : " " + n.component) + ": " + n.text;
  }
  cells.push_back("notes" + (legend.empty() ? std::string() : legend + "]"));
  cells.push_back(method.reason.empty() ? std::string("method") : "method [auto: " + method.reason + "]");
  for (Phase ph : kCurvePhases) {
    for (const PhaseColumn& col : phase_columns()) {
      if (applies(col, ph)) cells.push_back(header_cell(col.quantity, csv_phase_name(ph), output_unit(col.dimension, o.units).name));
    }
    for (const std::string& name : o.components) cells.push_back(header_cell("mole_fraction." + name, csv_phase_name(ph), "mol/mol"));
  }
  return cells;
}

std::string csv_text(const SideCurve& curve, const TableOptions& o) {
  std::string out;
  const std::vector<std::string> header = csv_header(o, curve.notes, curve.method);
  for (std::size_t i = 0; i < header.size(); ++i) out += (i ? "," : "") + csv_cell(header[i]);
  out += "\n";
  for (const CurvePoint& p : curve.points) {
    std::string row, flags, phases;
    for (const StreamColumn& col : stream_columns()) {
      const double v = col.get(p);  // NaN where a row whose flash failed has no figure: an empty cell
      row += (row.empty() ? "" : ",") + (std::isfinite(v) ? number_text(to_unit(v, output_unit(col.dimension, o.units)), 10) : "");
    }
    for (int k = 0; k < kCurvePhaseCount; ++k) {
      const Phase ph = kCurvePhases[k];
      for (const PhaseColumn& col : phase_columns()) {
        if (!applies(col, ph)) continue;
        const Figure v = col.get(p.phases[k]);
        phases += "," + (v.value ? number_text(to_unit(*v.value, output_unit(col.dimension, o.units)), 10) : std::string());
        if (v.flagged) flags += (flags.empty() ? "" : ";") + std::string(col.quantity) + ":" + std::string(csv_phase_name(ph));
      }
      const std::vector<double>& x = p.phases[k].composition;
      for (std::size_t j = 0; j < o.components.size(); ++j) phases += "," + (j < x.size() ? number_text(x[j], 10) : std::string());
    }
    out += row + "," + csv_cell(p.boundary) + "," + flags + "," + note_codes(p.notes, curve.notes) + "," + csv_cell(curve.method.name) + phases + "\n";
  }
  return out;
}

std::string csv_assay_text(const Side& side, UnitSystem units) {
  if (!side.assay) return {};
  const AssayInput& a = *side.assay;
  const Unit &tu = output_unit(Dimension::Temperature, units), &pu = output_unit(Dimension::Pressure, units);
  const bool mass = a.basis == Basis::Mass;
  std::string out = "name,volume_fraction [m3/m3],mass_fraction [kg/kg],mole_fraction [mol/mol],side_fraction [" +
                    std::string(mass ? "kg/kg" : "mol/mol") + "],normal_boiling_point [" + std::string(tu.name) +
                    "],specific_gravity [-],molecular_weight [kg/kmol],critical_temperature [" + std::string(tu.name) +
                    "],critical_pressure [" + std::string(pu.name) + "],acentric_factor [-]\n";
  const double share = assay_share(side);
  for (const AssayInput::Cut& p : a.made) {
    out += csv_cell(p.name);
    for (const double v : {p.volume, p.mass, p.mole, share * (mass ? p.mass : p.mole), to_unit(p.tb, tu), p.sg, p.mw,
                           to_unit(p.tc, tu), to_unit(p.pc, pu), p.omega}) {
      out += "," + number_text(v, 10);
    }
    out += "\n";
  }
  return out;
}

std::string csv_assay_file_name(int side) { return "side" + std::to_string(side) + "_assay.csv"; }

std::string csv_file_name(int side) { return "side" + std::to_string(side) + ".csv"; }

std::string csv_table_file_name(int side, double pressure, UnitSystem units) {
  return "side" + std::to_string(side) + "_" + level_name(pressure, units) + ".csv";
}

}  // namespace hxprops
