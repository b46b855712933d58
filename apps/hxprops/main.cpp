// hxprops: property curves of a heat exchanger's two sides and the exchanger's figures, computed by
// a host program through libkvt's exported routines, with the reference host behind them.
//
// Exit status: 0 done; 2 bad input (the message names file, line and field); 1 a calculation or an
// output that failed. Output files appear only when the whole run succeeds. Relative paths are
// relative to the folder the program was started from; `-` names standard output, where the report
// then is not printed.
#include <CLI/CLI.hpp>
#include <array>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "case/case_file.h"
#include "output/csv.h"
#include "compute/curve.h"
#include "case/default_case.h"
#include "compute/exchanger.h"
#include "output/html.h"
#include "output/json.h"
#include "kvt_reference/reference_host.h"
#include "compute/library_session.h"
#include "output/method_spread.h"
#include "output/output_files.h"
#include "case/overrides.h"
#include "base/platform.h"
#include "output/plot.h"
#include "output/property_plot.h"
#include "output/report.h"

namespace {

namespace fs = std::filesystem;
using namespace hxprops;

constexpr int kExitBadInput = 2;
constexpr int kExitFailed = 1;

struct Options {
  std::optional<fs::path> case_file, csv_dir, plot, json, trace, databank, dump_case_file, plot_properties, html;
  CaseOverrides overrides;  // --points, --spacing, --table-pressures
  std::string units = "engineering";
  bool compositions = false, allow_cross = false, allow_imbalance = false, list_components = false, dump_case = false, compare_methods = false;
  std::string list_filter;  // --list-components TEXT
};

const char* kDescription =
    "hxprops - property curves of the two sides of a heat exchanger, and the exchanger's figures.\n"
    "\n"
    "Each side runs from its inlet state to its outlet state (by temperature, vapour fraction or duty),\n"
    "the pressure linear in the duty; every phase boundary is a row of its own. Printed per point:\n"
    "temperature, pressure, duty since the inlet, specific enthalpy, vapour fraction, the mass fraction\n"
    "of each phase; per phase present (vapour, liquid 1, liquid 2): mass flow, molecular weight, heat\n"
    "capacity, thermal conductivity, viscosity, surface tension (liquids), density, heat of vaporisation\n"
    "(liquids); then the host's notes on the side, each once. Then the exchanger: minimum approach,\n"
    "LMTD, weighted MTD and UA. A phase absent at a point shows as '-'. Without --case the embedded\n"
    "default case runs.\n";

const char* kFooter =
    "Case file (TOML; plain numbers in K, Pa, kmol/s, W; or strings with a unit: \"120 degC\", \"2.5 bar\",\n"
    "\"36 t/h\", \"1.4 MW\"):\n"
    "  title, points, spacing = \"temperature\"|\"duty\", arrangement = \"counter-current\"|\"co-current\",\n"
    "  balance_tolerance = 0.005, table_pressures = \"2.3 bar, 2.7 bar\"\n"
    "  [side0] and [side1] ([side0] alone: one stream's curve, no exchanger):\n"
    "    name, method = \"auto\"|\"ideal\"|\"peng-robinson\"|\"nrtl\", phases = \"vapour-liquid\"|\"vapour-liquid-free-water\"|...\n"
    "    pressure (or inlet_pressure and outlet_pressure)\n"
    "    inlet_temperature or inlet_vapour_fraction\n"
    "    outlet_temperature, outlet_vapour_fraction or duty (W added; negative: released; or \"balance\")\n"
    "    spacing, temperatures = [\"60 degC\", ...], rows_per_zone = N, table_pressures (\"inlet, mid, outlet\": its own)\n"
    "    [sideN.flows] component = flow (kmol/s, or \"10 kg/s\"); or total_flow with\n"
    "    [sideN.mole_fractions] or [sideN.mass_fractions]\n"
    "Print the default case with --dump-case (or write it: --dump-case FILE); docs/hxprops.md describes every key.\n"
    "\n"
    "Exit status: 0 done; 1 a calculation or output failed; 2 bad input (unknown component, negative\n"
    "flow, malformed file, temperature outside the databank's range, a temperature cross, unknown\n"
    "option). Output files are written only when the whole run succeeds, or when all that failed is rows\n"
    "whose flash failed (marked, exit status 1); a FILE of '-' is standard output.";

// Output names that cannot work are bad input, found before anything is calculated.
void check_output_names(const Options& o, const Case& c, UnitSystem units) {
  std::error_code ec;
  std::vector<std::pair<std::string, fs::path>> named;
  for (const auto& [option, p] : {std::pair{"--plot", o.plot}, std::pair{"--json", o.json}, std::pair{"--trace", o.trace},
                                  std::pair{"--plot-properties", o.plot_properties}, std::pair{"--html", o.html}}) {
    if (!p) continue;
    if (fs::is_directory(*p, ec)) throw InputError({}, option, path_text(*p) + " is a folder, not a file name");
    named.emplace_back(option, *p);
  }
  if (o.plot && !plot_format(*o.plot)) {
    throw InputError({}, "--plot", path_text(*o.plot) + ": the image's name must end in .png or .svg");
  }
  if (o.plot_properties && !plot_format(*o.plot_properties)) {
    throw InputError({}, "--plot-properties", path_text(*o.plot_properties) + ": the image's name must end in .png or .svg");
  }
  if (o.csv_dir) {
    if (output_target(*o.csv_dir) == OutputTarget::StandardOutput) {
      throw InputError({}, "--csv", "- is standard output, and --csv writes a folder of files");
    }
    if (fs::exists(*o.csv_dir, ec) && !fs::is_directory(*o.csv_dir, ec)) {
      throw InputError({}, "--csv", path_text(*o.csv_dir) + " exists and is not a folder");
    }
    named.emplace_back("--csv", *o.csv_dir);
    if (o.compare_methods) named.emplace_back("--csv", *o.csv_dir / kMethodSpreadCsv);
    for (int side = 0; side < c.side_count; ++side) {
      named.emplace_back("--csv", *o.csv_dir / csv_file_name(side));
      if (c.sides[side].assay) named.emplace_back("--csv", *o.csv_dir / csv_assay_file_name(side));
      for (const double p : c.table_levels(side)) named.emplace_back("--csv", *o.csv_dir / csv_table_file_name(side, p, units));
    }
  }
  for (std::size_t i = 0; i < named.size(); ++i) {
    for (std::size_t j = i + 1; j < named.size(); ++j) {
      if (named[i].first == named[j].first || output_target(named[i].second) == OutputTarget::Direct) continue;
      const auto where = [&ec](const fs::path& p) { return fs::weakly_canonical(fs::absolute(p, ec), ec); };
      if (where(named[i].second) != where(named[j].second)) continue;
      throw InputError({}, named[j].first, named[i].first + " and " + named[j].first + " name the same path " +
                                               path_text(named[j].second));
    }
  }
}

void list_components(const Options& o, UnitSystem u) {
  use_databank(o.databank);
  const std::vector<kvt::reference::ComponentId> found = kvt::reference::find_components(o.list_filter);
  if (found.empty())
    throw InputError({}, "--list-components", "no component's name, synonym, formula or CAS number contains \"" + o.list_filter + "\"");
  std::cout << "databank: " << path_text(o.databank ? *o.databank : kvt::reference::default_databank_path()) << "\n";
  for (const kvt::reference::ComponentId& c : found) {
    const kvt::reference::Range r = kvt::reference::temperature_range(c.name);
    std::cout << c.name << " (" << (c.cas.empty() ? "-" : c.cas) << ", " << c.formula << "): "
              << quantity_text(r.min, Dimension::Temperature, u) << " to " << quantity_text(r.max, Dimension::Temperature, u) << "\n";
  }
}

int run(const Options& o) {
  const std::optional<UnitSystem> units = unit_system_from_name(o.units);
  if (!units) throw InputError({}, "--units", "\"" + o.units + "\" is not one of: si, engineering");
  if (o.list_components) {
    list_components(o, *units);
    return 0;
  }
  Case c = o.case_file ? read_case_file(*o.case_file) : default_case();
  apply_overrides(c, o.overrides);
  if (o.dump_case) {
    OutputFiles output;
    write_text_file(output.stage(o.dump_case_file.value_or("-")), write_case(c));
    output.commit();
    return 0;
  }
  check_output_names(o, c, *units);
  OutputFiles outputs;  // declared first: outlives the session, which closes the trace file
  Session session(c, o.databank);
  if (o.trace) session.trace_to(outputs.stage(*o.trace));
  const CaseResult result = calculate(session, {o.compositions, o.allow_imbalance, *units}, o.allow_cross);
  session.end_trace();
  const std::vector<SideCurve>& curves = result.curves;
  const std::optional<ExchangerFigures>& x = result.exchanger;
  const std::vector<MethodSpread> spreads =
      o.compare_methods ? method_spreads(session, curves, {false, o.allow_imbalance, *units}) : std::vector<MethodSpread>{};
  const std::vector<std::string>& names = session.components();
  const std::vector<std::string> composition_names = o.compositions ? names : std::vector<std::string>{};
  // A file that cannot be written is named as the user named it, not by its temporary name.
  const auto write = [&outputs](const fs::path& file, const std::string& text) { write_text_file(outputs.stage(file), text, file); };
  if (o.csv_dir) {
    for (const SideCurve& curve : curves) {
      write(*o.csv_dir / csv_file_name(curve.side), csv_text(curve, {*units, composition_names}));
      if (const Side& s = session.config().sides[curve.side]; s.assay) write(*o.csv_dir / csv_assay_file_name(curve.side), csv_assay_text(s, *units));
      for (const SideCurve& table : curve.pressure_tables) {
        write(*o.csv_dir / csv_table_file_name(curve.side, table.inlet_pressure, *units), csv_text(table, {*units, composition_names}));
      }
    }
    if (o.compare_methods) write(*o.csv_dir / kMethodSpreadCsv, method_spread_csv(spreads, *units));
  }
  if (o.json) write(*o.json, json_text(session.config(), curves, x, names, spreads));
  if (o.plot) render_plot(c, curves, outputs.stage(*o.plot), *plot_format(*o.plot), *units);
  if (o.plot_properties) {
    render_property_plot(c.title, curves, outputs.stage(*o.plot_properties), *plot_format(*o.plot_properties), *units);
  }
  if (o.html) write(*o.html, html_page({session.config(), curves, x, spreads, *units}));
  outputs.commit();
  // An output sent where standard output goes takes the report's place.
  const auto to_stdout = [](const std::optional<fs::path>& p) {
    return p && (output_target(*p) == OutputTarget::StandardOutput || is_standard_output(*p));
  };
  if (!to_stdout(o.plot) && !to_stdout(o.json) && !to_stdout(o.trace) && !to_stdout(o.plot_properties) && !to_stdout(o.html)) {
    print_report(std::cout, session.config(), curves, x, {*units, o.compositions, names});
    if (o.compare_methods) print_method_spreads(std::cout, spreads, *units);
  }
  // Rows whose flash failed are written and printed all the same, marked: the output is incomplete.
  std::string incomplete;
  for (const SideCurve& curve : curves) {
    const std::vector<std::string> rows = failed_rows(curve, *units);
    if (rows.empty()) continue;
    std::string at;
    for (const std::string& r : rows) at += (at.empty() ? "" : ", ") + r;
    incomplete += "\n  side " + std::to_string(curve.side) + ": " + std::to_string(rows.size()) + (rows.size() == 1 ? " row has" : " rows have") +
                  " no figures, the host's flash failed there (" + at + ")";
  }
  if (!incomplete.empty()) {
    std::cerr << "hxprops: failed: the output is incomplete: its rows whose flash failed are marked, their notes say why" << incomplete << "\n";
    return kExitFailed;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  prepare_console();
  CLI::App app(kDescription, "hxprops");
  app.footer(kFooter);
  app.get_formatter()->column_width(26);
  Options o;
  std::string case_file, csv_dir, plot, json, trace, databank, points, spacing, table_pressures, dump_case, plot_properties, html;
  app.add_option("--case", case_file, "Case file (TOML, see below); default: the embedded default case")->type_name("FILE");
  app.add_option("--points", points, "Points per curve, inlet and outlet included, 2 to 1000 (default: the case's, else 11)")
      ->type_name("N");
  app.add_option("--spacing", spacing, "Space the points evenly in temperature (default) or in duty")
      ->type_name("temperature|duty");
  app.add_option("--units", o.units, "Printed units: engineering (degC, bar, kW, kJ/(kg K), mPa s, mN/m, kJ/kg; default) or si")
      ->type_name("si|engineering");
  app.add_option("--csv", csv_dir, "Write one CSV per side (side0.csv, side1.csv) into DIR, created if missing")->type_name("DIR");
  app.add_option("--plot", plot, "Draw the composite curves into FILE, a PNG or SVG image by its extension (gnuplot)")
      ->type_name("FILE");
  app.add_option("--plot-properties", plot_properties,
                 "Draw each side's Cp, viscosity, conductivity, density and vapour fraction against temperature, per phase and "
                 "pressure level, into FILE (.png or .svg, gnuplot)")
      ->type_name("FILE");
  app.add_option("--html", html, "Write a report page: one self-contained HTML file (inline SVG plots, tables, notes) that prints on A4")
      ->type_name("FILE");
  app.add_flag("--compare-methods", o.compare_methods,
               "Compute each side again under every other property method that applies and report the largest differences");
  app.add_option("--json", json, "Write the whole result as a JSON document (SI units)")->type_name("FILE");
  app.add_option("--trace", trace, "Turn every trace switch of the library on and write its diagnostic trace to FILE")
      ->type_name("FILE");
  app.add_option("--databank", databank, "Use another databank file of the reference host")->type_name("FILE");
  app.add_flag("--compositions", o.compositions, "Print (and write) each phase's mole fractions at every point");
  app.add_flag("--allow-cross", o.allow_cross, "Report a temperature cross instead of refusing the case");
  app.add_flag("--allow-imbalance", o.allow_imbalance,
               "Print both sides' curves when their own duties differ by more than the case's balance_tolerance (no exchanger figures)");
  app.add_option("--table-pressures", table_pressures,
                 "Property tables of both sides at these pressures over each one's temperature range, e.g. \"2.3 bar, 2.5 bar\" "
                 "(inlet, mid, outlet: each side's own)")
      ->type_name("LIST");
  app.add_option("--list-components", o.list_filter,
                 "List the databank's components (name, CAS number, formula, temperature range); with TEXT, those whose "
                 "name, a synonym, formula or CAS number contains it")
      ->expected(0, 1)
      ->type_name("[TEXT]");
  app.add_option("--dump-case", dump_case, "Print the case (after --points and --spacing) as a case file, or write it to FILE, and stop")
      ->type_name("[FILE]")
      ->expected(0, 1);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "hxprops: error: " << e.what() << "\n";
    return kExitBadInput;
  }
  const auto path_of = [](const std::string& s) { return s.empty() ? std::nullopt : std::optional<fs::path>(path_from_text(s)); };
  o.case_file = path_of(case_file);
  o.csv_dir = path_of(csv_dir);
  o.plot = path_of(plot);
  o.plot_properties = path_of(plot_properties);
  o.html = path_of(html);
  o.json = path_of(json);
  o.trace = path_of(trace);
  o.databank = path_of(databank);
  o.dump_case = app.count("--dump-case") > 0;
  o.dump_case_file = path_of(dump_case);
  o.list_components = app.count("--list-components") > 0;
  if (app.count("--points") > 0) o.overrides.points = points;
  if (app.count("--spacing") > 0) o.overrides.spacing = spacing;
  if (app.count("--table-pressures") > 0) o.overrides.table_pressures = table_pressures;
  try {
    return run(o);
  } catch (const InputError& e) {
    std::cerr << "hxprops: error: " << e.what() << "\n";
    return kExitBadInput;
  } catch (const std::exception& e) {
    std::cerr << "hxprops: failed: " << e.what() << "\n";
    return kExitFailed;
  }
}
