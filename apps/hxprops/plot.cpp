#include "plot.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#endif
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "errors.h"
#include "report.h"
#include "number_text.h"

extern char** environ;

namespace hxprops {

namespace fs = std::filesystem;

namespace {

// A gnuplot single-quoted string (no escapes but '' for a quote).
std::string gp_string(std::string_view s) {
  std::string out = "'";
  for (const char ch : s) {
    if (ch == '\'') out += "''";
    else if (ch != '\n' && ch != '\r') out += ch;
  }
  return out + "'";
}

// Heat exchanged counted from the cold end of the side, kW.
double from_cold_end(const SideCurve& curve, double duty_from_inlet) {
  const double total = std::fabs(curve.duty);
  return (curve.cooled() ? total - duty_from_inlet : duty_from_inlet) * 1.0e-3;
}

std::string side_title(const SideCurve& curve) {
  std::string t = "side " + std::to_string(curve.side);
  if (!curve.name.empty()) t += ": " + curve.name;
  return t + ", " + duty_text(curve.duty);
}

// A temporary file for the script, removed when the object goes.
class ScriptFile {
 public:
  explicit ScriptFile(const std::string& text) {
    std::string name = (fs::temp_directory_path() / "hxprops-plot-XXXXXX").string();
    std::vector<char> buf(name.begin(), name.end());
    buf.push_back('\0');
    const int fd = ::mkstemp(buf.data());
    if (fd < 0) throw RunError(std::string("cannot create a temporary file for the gnuplot script: ") + std::strerror(errno));
    ::close(fd);
    path_ = buf.data();
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) throw RunError("cannot write the gnuplot script " + path_.string());
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

std::string gnuplot_script(const Case& c, const std::array<SideCurve, 2>& curves, const fs::path& png) {
  std::string s;
  s += "# heat-release curve written by hxprops\n";
  s += "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n";
  s += "  set terminal pngcairo size 1000,640 noenhanced font 'sans,10'\n";
  s += "} else {\n";
  s += "  set terminal png size 1000,640 noenhanced\n";
  s += "}\n";
  s += "set output " + gp_string(png.string()) + "\n";
  s += "set title " + gp_string(c.title.empty() ? "heat-release curve" : c.title) + "\n";
  s += "set xlabel 'heat exchanged, counted from the cold end of each side [kW]'\n";
  s += "set ylabel 'temperature [K]'\n";
  s += "set grid\n";
  s += "set key top left box opaque\n";
  s += "set offsets 0, 0, graph 0.05, graph 0.05\n";
  bool any_boundary = false;
  for (const SideCurve& curve : curves) {
    s += "$side" + std::to_string(curve.side) + " << EOD\n";
    for (const ProfilePoint& p : curve.profile) s += number_text(from_cold_end(curve, p.duty), 8) + " " + number_text(p.temperature, 8) + "\n";
    s += "EOD\n";
    any_boundary = any_boundary || !curve.boundaries.empty();
  }
  if (any_boundary) {
    // The points as data; the labels one by one, each boundary of a side a line lower than the last,
    // so that boundaries close together stay readable.
    s += "$boundaries << EOD\n";
    for (const SideCurve& curve : curves) {
      for (const PhaseBoundary& b : curve.boundaries) {
        s += number_text(from_cold_end(curve, b.duty), 8) + " " + number_text(b.temperature, 8) + "\n";
      }
    }
    s += "EOD\n";
    for (const SideCurve& curve : curves) {
      for (std::size_t j = 0; j < curve.boundaries.size(); ++j) {
        const PhaseBoundary& b = curve.boundaries[j];
        s += "set label " + gp_string(b.label + " (" + number_text(std::round(b.temperature * 10.0) / 10.0, 8) + " K)") + " at " +
             number_text(from_cold_end(curve, b.duty), 8) + "," + number_text(b.temperature, 8) + " right offset character -1," +
             number_text(-1.0 - 1.3 * static_cast<double>(j), 8) + " font ',9'\n";
      }
    }
  }
  const char* colours[] = {"#c0392b", "#2471a3"};
  s += "plot ";
  for (const SideCurve& curve : curves) {
    s += "$side" + std::to_string(curve.side) + " using 1:2 with lines linewidth 2 linecolor rgb '" + colours[curve.side % 2] +
         "' title " + gp_string(side_title(curve)) + ", \\\n     ";
  }
  if (any_boundary) {
    s += "$boundaries using 1:2 with points pointtype 7 pointsize 1.3 linecolor rgb 'black' title 'phase boundary'\n";
  } else {
    s.resize(s.size() - 9);  // drop the last ", \\\n     "
    s += "\n";
  }
  s += "unset output\n";
  return s;
}

bool is_png(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char sig[8] = {};
  in.read(sig, sizeof sig);
  return in.gcount() == 8 && std::memcmp(sig, "\x89PNG\r\n\x1a\n", 8) == 0;
}

void render_plot(const Case& c, const std::array<SideCurve, 2>& curves, const fs::path& png) {
  const ScriptFile script(gnuplot_script(c, curves, png));
  const std::string script_path = script.path().string();
#ifdef _WIN32
  const std::string quoted = "\"" + script_path + "\"";
  const intptr_t status = ::_spawnlp(_P_WAIT, "gnuplot", "gnuplot", quoted.c_str(), nullptr);
  if (status == -1) throw RunError(std::string("cannot run gnuplot: ") + std::strerror(errno));
  if (status != 0) throw RunError("gnuplot failed drawing " + png.string());
#else
  char prog[] = "gnuplot";
  std::vector<char> arg(script_path.begin(), script_path.end());
  arg.push_back('\0');
  char* argv[] = {prog, arg.data(), nullptr};
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, prog, nullptr, nullptr, argv, environ);
  if (rc != 0) {
    throw RunError(std::string("cannot run gnuplot (Debian package gnuplot-nox): ") + std::strerror(rc));
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw RunError(std::string("lost gnuplot: ") + std::strerror(errno));
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) throw RunError("cannot run gnuplot (Debian package gnuplot-nox)");
    throw RunError("gnuplot failed drawing " + png.string());
  }
#endif
  std::error_code ec;
  if (!fs::exists(png, ec) || !is_png(png)) throw RunError("gnuplot left no PNG image in " + png.string());
}

}  // namespace hxprops
