#include "output/html.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "output/columns.h"
#include "base/errors.h"
#include "compute/library_session.h"
#include "compute/notes.h"
#include "base/number_text.h"
#include "base/platform.h"
#include "output/plot.h"
#include "output/property_plot.h"
#include "output/report.h"

namespace hxprops {

namespace fs = std::filesystem;

namespace {

// Printed on A4 portrait; on screen a column of the same width.
constexpr const char* kStyle = R"(
@page { size: A4; margin: 12mm; }
body { font-family: sans-serif; font-size: 10pt; color: #111; max-width: 186mm; margin: 1em auto; }
h1 { font-size: 15pt; } h2 { font-size: 12pt; margin-top: 1.4em; break-after: avoid; } h3 { font-size: 10.5pt; break-after: avoid; }
table { border-collapse: collapse; font-size: 7.5pt; margin: 0.4em 0 0.8em; break-inside: auto; }
th, td { border: 1px solid #bbb; padding: 1px 4px; text-align: right; white-space: nowrap; }
th { background: #eee; } .l { text-align: left; white-space: normal; }
tr { break-inside: avoid; } tr.boundary td { background: #fff3cd; } tr.beyond td { background: #f8d7da; }
figure { margin: 0.5em 0; break-inside: avoid; } figure svg { width: 100%; height: auto; display: block; }
figcaption, .small { font-size: 8pt; color: #444; }
@media print { body { margin: 0; max-width: none; } section.side { break-before: page; } }
)";

std::string tag(std::string_view name, const std::string& inner, std::string_view attributes = {}) {
  return "<" + std::string(name) + (attributes.empty() ? "" : " " + std::string(attributes)) + ">" + inner + "</" +
         std::string(name) + ">";
}
std::string text(std::string_view s) { return html_escaped(s); }

std::string unit_name(Dimension d, UnitSystem u) { return std::string(output_unit(d, u).name); }

std::string decimals(double v, int places) {
  if (!std::isfinite(v)) return "-";  // a figure a row whose flash failed does not have
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", places, v);
  return buf;
}

// A plot drawn by gnuplot into a temporary SVG file, its markup returned with the ids of its
// definitions made the figure's own (a page holds several).
std::string inline_svg(const std::function<void(const fs::path&)>& draw) {
  static int serial = 0;
  const std::string prefix = "f" + std::to_string(++serial) + "-";
  const fs::path file = fs::temp_directory_path() / ("hxprops-page-" + std::to_string(process_id()) + "-" + prefix + "plot.svg");
  struct Remove {
    fs::path p;
    ~Remove() {
      std::error_code ec;
      fs::remove(p, ec);
    }
  } remove{file};
  draw(file);
  std::ifstream in(file, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  std::string svg = all.str();
  svg.erase(0, svg.find("<svg"));
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"id='gp", "id='" + prefix + "gp"}, {"#gp", "#" + prefix + "gp"},
                                 {"id=\"gnuplot_", "id=\"" + prefix + "gnuplot_"}}) {
    for (std::size_t at = svg.find(from); at != std::string::npos; at = svg.find(from, at + to.size())) svg.replace(at, from.size(), to);
  }
  return svg;
}

std::string figure(const std::string& svg, const std::string& caption) {
  return tag("figure", svg + tag("figcaption", text(caption))) + "\n";
}

std::string state_text(double t, double p, UnitSystem u) {
  return quantity_text(t, Dimension::Temperature, u) + ", " + quantity_text(p, Dimension::Pressure, u, -1);
}

std::string stream_table(const SideCurve& curve, UnitSystem u) {
  std::string head, rows;
  for (const StreamColumn& col : stream_columns()) head += tag("th", text(std::string(col.heading) + " [" + unit_name(col.dimension, u) + "]"));
  for (Phase ph : kCurvePhases) head += tag("th", text(std::string(phase_label(ph)) + " [kg/kg]"));
  head += tag("th", "phase boundary", "class=\"l\"");
  for (const CurvePoint& p : curve.points) {
    std::string cells;
    for (const StreamColumn& col : stream_columns()) {
      const double v = to_unit(col.get(p), output_unit(col.dimension, u));
      cells += tag("td", col.decimals < 0 && std::isfinite(v) ? number_text(v) : decimals(v, col.decimals));
    }
    for (const PhaseFigures& f : p.phases) cells += tag("td", f.present ? decimals(f.mass_fraction, 4) : "-");
    cells += tag("td", text(p.boundary + (p.failed ? (p.boundary.empty() ? "" : "; ") + std::string(kFailedRowMark) : "")), "class=\"l\"");
    rows += tag("tr", cells, p.boundary.empty() ? "" : "class=\"boundary\"") + "\n";
  }
  return tag("table", tag("tr", head) + "\n" + rows) + "\n";
}

std::string phase_table(const SideCurve& curve, int k, UnitSystem u) {
  const Phase ph = kCurvePhases[k];
  std::string head = tag("th", "T [" + text(unit_name(Dimension::Temperature, u)) + "]"), rows;
  std::vector<const PhaseColumn*> cols;
  for (const PhaseColumn& col : phase_columns()) {
    if (col.quantity == "mass_fraction" || !applies(col, ph)) continue;
    cols.push_back(&col);
    head += tag("th", text(std::string(col.heading) + " [" + unit_name(col.dimension, u) + "]"));
  }
  for (const CurvePoint& p : curve.points) {
    std::string cells = tag("td", decimals(to_unit(p.temperature, output_unit(Dimension::Temperature, u)), 2));
    for (const PhaseColumn* col : cols) {
      const Figure v = col->get(p.phases[k]);
      cells += tag("td", v.value ? number_text(to_unit(*v.value, output_unit(col->dimension, u)), 5) + (v.flagged ? "*" : "") : "-");
    }
    rows += tag("tr", cells, p.boundary.empty() ? "" : "class=\"boundary\"") + "\n";
  }
  return tag("h3", text(std::string(phase_label(ph)))) + tag("table", tag("tr", head) + "\n" + rows) + "\n";
}

// A side's curve or one of its property tables: summary, boundaries, `plots`, tables, notes.
std::string side_body(const SideCurve& curve, UnitSystem u, const std::string& plots = {}) {
  std::string s;
  if (curve.table) {
    s += tag("h3", text("property table at " + quantity_text(curve.inlet_pressure, Dimension::Pressure, u, -1) + ", " +
                        quantity_text(curve.inlet_temperature, Dimension::Temperature, u) + " to " +
                        quantity_text(curve.outlet_temperature, Dimension::Temperature, u) + " (duty: heat from the first row)"));
  } else {
    s += tag("p", text("inlet " + state_text(curve.inlet_temperature, curve.inlet_pressure, u) + "; outlet " +
                       state_text(curve.outlet_temperature, curve.outlet_pressure, u) + "; duty " + duty_text(curve.duty, u)));
  }
  std::string bounds;
  for (const PhaseBoundary& b : curve.boundaries) {
    bounds += tag("li", text(state_text(b.temperature, b.pressure, u) + ", " + quantity_text(b.duty, Dimension::Power, u) +
                             " from the inlet: " + b.label));
  }
  s += bounds.empty() ? tag("p", "phase boundaries: none") : tag("p", "phase boundaries:") + tag("ul", bounds);
  s += plots;
  s += stream_table(curve, u);
  for (int k = 0; k < kCurvePhaseCount; ++k) {
    if (std::any_of(curve.points.begin(), curve.points.end(), [k](const CurvePoint& p) { return p.phases[k].present; })) {
      s += phase_table(curve, k, u);
    }
  }
  s += tag("p", "* the host flagged the value: a correlation was used outside its range.", "class=\"small\"");
  if (!curve.notes.empty()) {
    std::string items;
    for (const SideNote& n : curve.notes) items += tag("li", text(note_line(n, u)));
    s += tag("p", "host notes (each once: how often raised, over which states)") + tag("ul", items, "class=\"small\"");
  }
  return s;
}

std::string exchanger_section(const PageInputs& in) {
  const UnitSystem u = in.units;
  if (!in.exchanger) {
    if (in.curves.size() < 2) return {};
    return tag("p", text("exchanger: not balanced: side 0 " + duty_text(in.curves[0].duty, u) + ", side 1 " +
                         duty_text(in.curves[1].duty, u) + "; the approach, LMTD, weighted MTD and UA need a balance"));
  }
  const ExchangerFigures& x = *in.exchanger;
  const auto opt = [u](const std::optional<double>& v, Dimension d) { return v ? quantity_text(*v, d, u) : std::string("undefined"); };
  const std::pair<std::string, std::string> rows[] = {
      {"arrangement", std::string(name_of(x.arrangement))},
      {"duty (released by side " + std::to_string(x.hot_side) + ")", quantity_text(x.duty, Dimension::Power, u)},
      {x.crossed() ? "temperature cross: closest approach" : "minimum approach",
       quantity_text(x.min_approach, Dimension::TemperatureDifference, u) + " at " + quantity_text(x.min_approach_duty, Dimension::Power, u) +
           " from the hot inlet (hot " + quantity_text(x.hot_temperature, Dimension::Temperature, u) + ", cold " +
           quantity_text(x.cold_temperature, Dimension::Temperature, u) + ")"},
      {"LMTD", opt(x.lmtd, Dimension::TemperatureDifference)},
      {"weighted MTD (zone by zone)", opt(x.weighted_mtd, Dimension::TemperatureDifference)},
      {"UA from the LMTD", opt(x.ua_lmtd(), Dimension::ThermalConductance)},
      {"UA from the weighted MTD", opt(x.ua_weighted(), Dimension::ThermalConductance)},
  };
  std::string body;
  for (const auto& [k, v] : rows) body += tag("tr", tag("th", text(k), "class=\"l\"") + tag("td", text(v), "class=\"l\""));
  return tag("h2", "Exchanger") + tag("table", body) + "\n";
}

std::string spread_section(const std::vector<MethodSpread>& spreads, UnitSystem u) {
  if (spreads.empty()) return {};
  std::string s = tag("h2", "Method spread") +
                  tag("p", text("Each side computed again under every other method that applies: the largest difference from the side's "
                                "own figures (Cp, density and viscosity at the side's rows). Shaded: beyond its bound (" +
                                spread_bounds_text() + ")."));
  for (const MethodSpread& sp : spreads) {
    std::string against;
    for (const Method m : sp.compared) against += (against.empty() ? " against " : ", ") + std::string(name_of(m));
    s += tag("h3", text("side " + std::to_string(sp.side) + (sp.name.empty() ? "" : ": " + sp.name) + " (" +
                        std::string(name_of(sp.method)) + ")" + (against.empty() ? ": no other method applies" : against)));
    std::string skipped;
    for (const SkippedMethod& k : sp.skipped) skipped += tag("li", text(std::string(name_of(k.method)) + ": " + k.reason));
    if (!skipped.empty()) s += tag("p", "not applied:") + tag("ul", skipped, "class=\"small\"");
    if (sp.rows.empty()) continue;
    std::string rows = tag("tr", tag("th", "figure", "class=\"l\"") + tag("th", text(std::string(name_of(sp.method)))) + tag("th", "other") +
                                     tag("th", "difference") + tag("th", "under", "class=\"l\"") + tag("th", "bound") + tag("th", "at"));
    for (const SpreadRow& r : sp.rows) {
      const SpreadCells c = spread_cells(r, u);
      rows += tag("tr", tag("td", text(r.label + " [" + unit_name(r.dimension, u) + "]"), "class=\"l\"") + tag("td", text(c.value)) +
                            tag("td", text(c.other)) + tag("td", text(c.difference)) +
                            tag("td", text(std::string(name_of(r.method))), "class=\"l\"") + tag("td", text(c.bound)) + tag("td", text(c.at)),
                  r.beyond() ? "class=\"beyond\"" : "") + "\n";
    }
    s += tag("table", rows) + "\n";
  }
  return s;
}

}  // namespace

std::string html_escaped(std::string_view s) {
  std::string out;
  for (const char ch : s) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string html_page(const PageInputs& in) {
  const UnitSystem u = in.units;
  const std::string title = in.c.title.empty() ? "exchanger property curves" : in.c.title;
  std::string components;
  for (const std::string& n : all_components(in.c)) {
    const std::string cas = cas_number(n);
    components += (components.empty() ? "" : ", ") + n + (cas.empty() ? "" : " (" + cas + ")");
  }
  std::string body = tag("h1", text(title)) +
                     tag("p", text("case: " + in.c.origin + "; " + std::to_string(in.c.points) + " points per side, spaced by " +
                                   std::string(name_of(in.c.spacing)) + "; components: " + components + ". Written by hxprops."),
                         "class=\"small\"") + "\n";
  body += figure(inline_svg([&](const fs::path& f) { render_plot(in.c, in.curves, f, PlotFormat::Svg, u); }),
                 in.curves.size() > 1 ? "Composite curves: temperature against the heat exchanged; points mark the phase boundaries."
                                      : "The stream's temperature against the heat exchanged; points mark the phase boundaries.");
  body += exchanger_section(in);
  body += spread_section(in.spreads, u);
  for (const SideCurve& curve : in.curves) {
    std::string s = tag("h2", text("side " + std::to_string(curve.side) + (curve.name.empty() ? "" : ": " + curve.name) + " (" +
                                   curve.method.text() + ")"));
    s += side_body(curve, u,
                   figure(inline_svg([&](const fs::path& f) { render_property_plot(in.c.title, {curve}, f, PlotFormat::Svg, u, 3); }),
                          "Properties against temperature: colour the phase, dash the pressure level (solid: along the side), black "
                          "points the phase boundaries, dotted lines the side's own."));
    for (const SideCurve& t : curve.pressure_tables) s += side_body(t, u);
    body += tag("section", s, "class=\"side\"") + "\n";
  }
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + text(title) + "</title>\n<style>" + kStyle +
         "</style>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}

}  // namespace hxprops
