// hxprops: property tables and heat-release curves of a heat exchanger's two sides, computed by a
// host program through libkvt's exported routines, with the reference host behind them.
//
// Exit status: 0 done; 2 bad input (the message names file, line and field); 1 a calculation or an
// output that failed. Output files appear only when the whole run succeeds.
#include <CLI/CLI.hpp>
#include <array>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "case_file.h"
#include "csv.h"
#include "curve.h"
#include "default_case.h"
#include "library_session.h"
#include "output_files.h"
#include "plot.h"
#include "report.h"

namespace {

namespace fs = std::filesystem;
using namespace hxprops;

constexpr int kExitBadInput = 2;
constexpr int kExitFailed = 1;

struct Options {
  std::optional<fs::path> case_file;
  std::optional<int> points;
  std::optional<fs::path> csv_dir;
  std::optional<fs::path> plot;
  std::optional<fs::path> trace;
  bool dump_case = false;
};

const char* kDescription =
    "hxprops - property curves and heat-release curves of the two sides of a heat exchanger.\n"
    "\n"
    "For each side the stream is flashed at evenly spaced temperatures from its inlet to its outlet at\n"
    "the side's pressure, with that side's option set, and every figure is asked of libkvt. Printed per\n"
    "point: temperature [K], duty exchanged since the inlet [kW], vapour fraction [mol/mol], the mass\n"
    "fraction of each phase [kg/kg]; per phase present (vapour, liquid 1, liquid 2): mass flow [kg/s],\n"
    "molecular weight [kg/kmol], heat capacity [kJ/(kg K)], thermal conductivity [W/(m K)], viscosity\n"
    "[mPa s], surface tension [mN/m] (liquids), density [kg/m3], heat of vaporisation [kJ/kg] (liquids).\n"
    "A phase absent at a point shows as '-' (an empty cell in CSV). Phase boundaries between inlet and\n"
    "outlet are located and listed. Without --case the embedded default case runs.";

const char* kFooter =
    "Case file (TOML; units K, Pa, kmol/s, W):\n"
    "  title = \"...\"                      optional\n"
    "  points = 11                        optional, points per curve (2 to 1000)\n"
    "  [side0] and [side1]:\n"
    "    name = \"...\"                     optional\n"
    "    pressure = 2.5e5                 Pa\n"
    "    inlet_temperature = 420.0        K\n"
    "    outlet_temperature = 310.0       K, or instead:\n"
    "    duty = 1.5e6                     W added to the stream (negative: heat released)\n"
    "    phases = \"vapour-liquid\"         vapour-liquid, vapour-liquid-free-water, liquid, vapour\n"
    "    option_list = [0,0,0,0,0,0]      optional, handed to the host's flash and property monitor\n"
    "    flash_option = 0                 optional\n"
    "    flash_real_option = 0.0          optional\n"
    "    [sideN.flows]                    component = flow in kmol/s (names of the host's databank)\n"
    "Print the default case with --dump-case.\n"
    "\n"
    "Exit status: 0 done; 1 a calculation or output failed; 2 bad input (unknown component, negative\n"
    "flow, malformed file, temperature outside the databank's range, unknown option). Output files are\n"
    "written only when the whole run succeeds.";

// Output names that cannot work are bad input, found before anything is calculated.
void check_output_names(const Options& o) {
  std::error_code ec;
  const auto file_name = [&](const char* option, const std::optional<fs::path>& p) {
    if (p && fs::is_directory(*p, ec)) throw InputError({}, option, p->string() + " is a directory, not a file name");
  };
  file_name("--plot", o.plot);
  file_name("--trace", o.trace);
  if (o.csv_dir && fs::exists(*o.csv_dir, ec) && !fs::is_directory(*o.csv_dir, ec)) {
    throw InputError({}, "--csv", o.csv_dir->string() + " exists and is not a directory");
  }
}

int run(const Options& o) {
  Case c = o.case_file ? read_case_file(*o.case_file) : default_case();
  if (o.points) c.points = *o.points;
  if (o.dump_case) {
    std::cout << write_case(c);
    return 0;
  }
  check_output_names(o);
  OutputFiles outputs;  // declared first: outlives the session, which closes the trace file
  Session session(c);
  if (o.trace) session.trace_to(outputs.stage(*o.trace));
  const std::array<SideCurve, 2> curves{compute_side_curve(c, 0), compute_side_curve(c, 1)};
  session.end_trace();
  if (o.csv_dir) {
    for (const SideCurve& curve : curves) write_csv(outputs.stage(*o.csv_dir / csv_file_name(curve.side)), curve);
  }
  if (o.plot) render_plot(c, curves, outputs.stage(*o.plot));
  outputs.commit();
  print_report(std::cout, c, curves);
  const std::vector<std::string> notes = session.host_notes();
  constexpr std::size_t kShownNotes = 3;
  for (std::size_t i = 0; i < notes.size() && i < kShownNotes; ++i) std::cerr << "hxprops: host note: " << notes[i] << "\n";
  if (notes.size() > kShownNotes) {
    std::cerr << "hxprops: host note: ... " << notes.size() - kShownNotes << " more (see the values marked *)\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app(kDescription, "hxprops");
  app.footer(kFooter);
  app.get_formatter()->column_width(26);
  Options o;
  std::string case_file, csv_dir, plot, trace;
  int points = 0;
  app.add_option("--case", case_file, "Case file (TOML, see below); default: the embedded default case")
      ->type_name("FILE");
  app.add_option("--points", points, "Points per curve, inlet and outlet included (2 to 1000; default 11 or the case's)")
      ->type_name("N")
      ->check(CLI::Range(kMinPoints, kMaxPoints));
  app.add_option("--csv", csv_dir,
                 "Write one CSV per side (side0.csv, side1.csv) into DIR, created if missing; header cells "
                 "'quantity:phase [unit]', units as printed")
      ->type_name("DIR");
  app.add_option("--plot", plot,
                 "Draw the heat-release curve (temperature [K] against heat exchanged [kW], both sides, phase "
                 "boundaries marked) into a PNG file, through gnuplot")
      ->type_name("FILE");
  app.add_option("--trace", trace, "Turn every trace switch of the library on and write its diagnostic trace to FILE")
      ->type_name("FILE");
  app.add_flag("--dump-case", o.dump_case, "Print the case (after --points) as a case file and stop");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int rc = app.exit(e);
    return rc == 0 ? 0 : kExitBadInput;
  }
  if (!case_file.empty()) o.case_file = case_file;
  if (app.count("--points") > 0) o.points = points;
  if (!csv_dir.empty()) o.csv_dir = csv_dir;
  if (!plot.empty()) o.plot = plot;
  if (!trace.empty()) o.trace = trace;
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
