#include "output/plot.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/errors.h"
#include "base/number_text.h"
#include "base/platform.h"
#include "output/report.h"

namespace hxprops {

namespace fs = std::filesystem;

std::string gp_string(std::string_view s) {
  std::string out = "'";
  for (const char ch : s) {
    if (ch == '\'') out += "''";
    else if (ch != '\n' && ch != '\r') out += ch;
  }
  return out + "'";
}

namespace {

std::string side_title(const SideCurve& curve, UnitSystem u) {
  std::string t = "side " + std::to_string(curve.side);
  if (!curve.name.empty()) t += ": " + curve.name;
  return t + ", " + duty_text(curve.duty, u);
}

// A temporary file for the script, removed when the object goes.
class ScriptFile {
 public:
  explicit ScriptFile(const std::string& text) {
    static int serial = 0;
    path_ = fs::temp_directory_path() /
            ("hxprops-plot-" + std::to_string(process_id()) + "-" + std::to_string(++serial) + ".gp");
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) throw RunError("cannot write the gnuplot script " + path_text(path_));
  }
  ~ScriptFile() {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

std::optional<PlotFormat> plot_format(const fs::path& file) {
  const std::string ext = file.extension().string();
  if (ext == ".png" || ext == ".PNG") return PlotFormat::Png;
  if (ext == ".svg" || ext == ".SVG") return PlotFormat::Svg;
  return std::nullopt;
}

std::string gnuplot_script(const Case& c, const std::vector<SideCurve>& curves, const fs::path& image,
                           PlotFormat format, UnitSystem units) {
  const Unit& tu = output_unit(Dimension::Temperature, units);
  const Unit& qu = output_unit(Dimension::Power, units);
  int hot = -1;  // the side that releases heat (none for a single stream heated)
  double largest = 0.0;
  for (const SideCurve& curve : curves) {
    if (hot < 0 && curve.cooled()) hot = curve.side;
    largest = std::max(largest, std::fabs(curve.duty));
  }
  const bool counter = c.arrangement == Arrangement::CounterCurrent;
  // Heat exchanged at a point, counted from the left end: the hot side's outlet (counter-current)
  // or inlet (co-current); the cold side from its inlet (counter-current) or from its inlet too.
  const auto x_of = [&](const SideCurve& curve, double from_inlet) {
    const double total = std::fabs(curve.duty);
    const bool from_outlet = curve.side == hot && counter;
    return to_unit(from_outlet ? total - from_inlet : from_inlet, qu);
  };
  const double width = to_unit(largest, qu);
  std::string s = "# composite curves written by hxprops\n";
  s += gnuplot_terminal(format, 1000, 640, image);
  s += "set title " + gp_string(c.title.empty() ? "composite curves" : c.title) + "\n";
  s += "set xlabel " + gp_string(std::string("heat exchanged, from the ") + (counter ? "cold" : "inlet") + " end [" +
                                 std::string(qu.name) + "]") + "\n";
  s += "set ylabel " + gp_string("temperature [" + std::string(tu.name) + "]") + "\n";
  // the key sits above the plot area, between the title and the frame, where no curve or label runs
  s += "set grid\nset key tmargin center horizontal box\n";
  s += "set xrange [0:*]\nset offsets 0, 0, graph 0.08, graph 0.08\n";
  bool any_boundary = false;
  for (const SideCurve& curve : curves) {
    s += "$side" + std::to_string(curve.side) + " << EOD\n";
    for (const ProfilePoint& p : curve.profile) {
      s += number_text(x_of(curve, p.duty), 8) + " " + number_text(to_unit(p.temperature, tu), 8) + "\n";
    }
    s += "EOD\n";
    any_boundary = any_boundary || !curve.boundaries.empty();
  }
  if (any_boundary) {
    s += "$boundaries << EOD\n";
    for (const SideCurve& curve : curves) {
      for (const PhaseBoundary& b : curve.boundaries) {
        s += number_text(x_of(curve, b.duty), 8) + " " + number_text(to_unit(b.temperature, tu), 8) + "\n";
      }
    }
    s += "EOD\n";
    // Each label runs towards the middle of the plot, so that none leaves it; the labels of a side
    // step down a line each, so that boundaries close together stay readable.
    for (const SideCurve& curve : curves) {
      for (std::size_t j = 0; j < curve.boundaries.size(); ++j) {
        const PhaseBoundary& b = curve.boundaries[j];
        const double x = x_of(curve, b.duty);
        const bool left_half = x < 0.5 * width;
        const double t = to_unit(b.temperature, tu);
        s += "set label " + gp_string(b.label + " (" + number_text(std::round(t * 10.0) / 10.0, 8) + " " + std::string(tu.name) + ")") +
             " at " + number_text(x, 8) + "," + number_text(t, 8) + (left_half ? " left offset character 1," : " right offset character -1,") +
             number_text(-1.0 - 1.3 * static_cast<double>(j % 4), 8) + " font ',9' front\n";
      }
    }
  }
  const char* colours[] = {"#c0392b", "#2471a3"};
  std::string plots;
  for (const SideCurve& curve : curves) {
    plots += (plots.empty() ? "" : ", \\\n     ") + std::string("$side") + std::to_string(curve.side) +
             " using 1:2 with lines linewidth 2 linecolor rgb '" + colours[curve.side % 2] + "' title " +
             gp_string(side_title(curve, units));
  }
  if (any_boundary) {
    plots += ", \\\n     $boundaries using 1:2 with points pointtype 7 pointsize 1.3 linecolor rgb 'black' title 'phase boundary'";
  }
  s += "plot " + plots + "\nunset output\n";
  return s;
}

bool is_image(const fs::path& file, PlotFormat format) {
  std::ifstream in(file, std::ios::binary);
  if (format == PlotFormat::Png) {
    char sig[8] = {};
    in.read(sig, sizeof sig);
    return in.gcount() == 8 && std::memcmp(sig, "\x89PNG\r\n\x1a\n", 8) == 0;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return text.str().find("<svg") != std::string::npos;
}

std::string gnuplot_terminal(PlotFormat format, int width, int height, const fs::path& image) {
  const std::string size = std::to_string(width) + "," + std::to_string(height);
  std::string s;
  if (format == PlotFormat::Svg) {
    s += "set terminal svg size " + size + " noenhanced font 'sans,10' background '#ffffff'\n";
  } else {
    s += "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n  set terminal pngcairo size " + size + " noenhanced font 'sans,10'\n"
         "} else {\n  set terminal png size " + size + " noenhanced\n}\n";
  }
  return s + "set output " + gp_string(path_text(image)) + "\n";
}

void render_plot(const Case& c, const std::vector<SideCurve>& curves, const fs::path& image, PlotFormat format,
                 UnitSystem units) {
  run_gnuplot(gnuplot_script(c, curves, image, format, units), image, format);
}

void run_gnuplot(const std::string& text, const fs::path& image, PlotFormat format) {
  const ScriptFile script(text);
  const int rc = run_program("gnuplot", {path_text(script.path())});
  if (rc < 0) throw RunError("cannot run gnuplot: " + where_to_get_gnuplot());
  if (rc != 0) throw RunError("gnuplot failed drawing " + path_text(image));
  std::error_code ec;
  if (!fs::exists(image, ec) || !is_image(image, format)) throw RunError("gnuplot left no image in " + path_text(image));
}

}  // namespace hxprops
