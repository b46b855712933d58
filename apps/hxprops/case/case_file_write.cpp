// A case written back as case text (write_case, case_file.h): every value in SI, so that reading it
// gives the same case.
#include "case/case_file.h"

#include <charconv>
#include <cmath>
#include <string>

#include "case/quoted.h"
#include "case/units.h"

namespace hxprops {

namespace {

// The shortest decimal form that reads back as the same double, kept a TOML float.
std::string exact(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[64];
  const double a = std::fabs(v);
  const bool plain = a == 0.0 || (a >= 1.0e-5 && a < 1.0e15);  // no exponent where a reader expects none
  const auto r = plain ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed)
                       : std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string toml_string(std::string_view s) { return quoted(s); }


// A flow as case text: a plain number in kmol/s, a string in kg/s.
std::string flow_text(double amount, Basis basis) {
  return basis == Basis::Mole ? exact(amount) : toml_string(exact(amount) + " kg/s");
}

// Table levels as case text: pressures in Pa, the words as strings.
std::string levels_text(const std::vector<TableLevel>& levels) {
  std::string out = "table_pressures = [";
  for (std::size_t k = 0; k < levels.size(); ++k) {
    const LevelKind kind = levels[k].kind;
    out += k ? ", " : "";
    out += kind == LevelKind::Pressure ? exact(levels[k].pressure)
           : kind == LevelKind::Inlet  ? "\"inlet\""
           : kind == LevelKind::Mid    ? "\"mid\""
                                       : "\"outlet\"";
  }
  return out + "]  # Pa\n";
}

std::string end_text(bool outlet, const EndState& e) {
  std::string line = end_key(outlet, e.kind) + " = ";
  switch (e.kind) {
    case EndKind::Temperature: return line + exact(e.value) + "  # K\n";
    case EndKind::VapourFraction: return line + exact(e.value) + "\n";
    case EndKind::Duty: return line + exact(e.value) + "  # W added to the stream\n";
    case EndKind::Balance: break;
  }
  return line + "\"balance\"\n";
}

}  // namespace

std::string write_case(const Case& c) {
  std::string out = "# hxprops case. Plain numbers: K, Pa, kmol/s, W.\n";
  if (!c.title.empty()) out += "title = " + toml_string(c.title) + "\n";
  out += "points = " + std::to_string(c.points) + "\n";
  out += "spacing = " + toml_string(name_of(c.spacing)) + "\n";
  out += "arrangement = " + toml_string(name_of(c.arrangement)) + "\n";
  out += "balance_tolerance = " + exact(c.balance_tolerance) + "\n";
  if (!c.table_pressures.empty()) out += levels_text(c.table_pressures);
  for (int i = 0; i < c.side_count; ++i) {
    const Side& s = c.sides[i];
    out += "\n[" + side_key(i) + "]\n";
    if (!s.name.empty()) out += "name = " + toml_string(s.name) + "\n";
    out += "method = " + toml_string(name_of(s.method)) + "\n";
    out += "inlet_pressure = " + exact(s.inlet_pressure) + "  # Pa\n";
    out += "outlet_pressure = " + exact(s.outlet_pressure) + "  # Pa\n";
    out += end_text(false, s.inlet) + end_text(true, s.outlet);
    out += "phases = " + toml_string(name_of(s.options.phases)) + "\n";
    out += "option_list = [";
    for (std::size_t k = 0; k < 6; ++k) out += (k ? ", " : "") + std::to_string(s.options.option_list[k]);
    out += "]\n";
    out += "flash_option = " + std::to_string(s.options.flash_option) + "\n";
    out += "flash_real_option = " + exact(s.options.flash_real_option) + "\n";
    if (s.spacing) out += "spacing = " + toml_string(name_of(*s.spacing)) + "\n";
    if (!s.temperatures.empty()) {
      out += "temperatures = [";
      for (std::size_t k = 0; k < s.temperatures.size(); ++k) out += (k ? ", " : "") + exact(s.temperatures[k]);
      out += "]  # K\n";
    }
    if (s.rows_per_zone > 0) out += "rows_per_zone = " + std::to_string(s.rows_per_zone) + "\n";
    if (s.table_pressures) out += levels_text(*s.table_pressures);
    if (s.total) out += "total_flow = " + flow_text(s.total->amount, s.total->basis) + "\n";
    if (s.assay) {
      const AssayInput& a = *s.assay;
      out += "\n[" + side_key(i) + ".assay]\ncurve = \"" + a.curve + "\"\ndistillation = [";
      for (std::size_t k = 0; k < a.distillation.size(); ++k) {
        out += (k ? ", [" : "[") + exact(a.distillation[k][0]) + ", " + exact(a.distillation[k][1]) + "]";
      }
      out += "]  # %, K\nspecific_gravity = " + exact(a.specific_gravity) + "\nflow = " + flow_text(a.flow, a.basis) + "\n";
      out += a.cut_width > 0.0 ? "cut_width = " + exact(a.cut_width) + "  # K\n" : "cuts = " + std::to_string(a.cuts) + "\n";
    }
    out += "\n[" + side_key(i) + "." + std::string(flows_table(s)) + "]\n";
    for (const ComponentFlow& f : s.flows) {
      out += key_text(f.name) + " = " + (s.total ? exact(f.amount) : flow_text(f.amount, f.basis)) + "\n";
    }
  }
  return out;
}

}  // namespace hxprops
