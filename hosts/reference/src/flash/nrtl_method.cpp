#include "flash/nrtl_method.h"

#include <cmath>
#include <sstream>

#include "numerics/constants.h"
#include "models/mixture.h"
#include "data/pure.h"
#include "flash/liquid_split.h"

namespace kvt::reference {

ActivitySplit nrtl_tp(const FlashSystem& sys, std::span<const double> z, double t, double p, bool free_water) {
  const NrtlAt m(sys.nrtl.parameters, t);
  std::vector<double> psat(z.size());
  for (std::size_t i = 0; i < z.size(); ++i) psat[i] = std::exp(ln_vapour_pressure(*sys.components[i], t));
  return activity_split(m, psat, z, p, sys.water, free_water);
}

double nrtl_liquid_excess_enthalpy(const FlashSystem& sys, std::span<const double> x, double t) {
  return nrtl_excess_enthalpy(sys.nrtl.parameters, x, t);
}

double nrtl_liquid_excess_heat_capacity(const FlashSystem& sys, std::span<const double> x, double t) {
  return nrtl_excess_heat_capacity(sys.nrtl.parameters, x, t);
}

std::vector<Note> nrtl_limits(const FlashSystem& sys, std::span<const double> z, const FlashResult& r, bool free_water) {
  std::vector<Note> out;
  auto say = [&](NotePhase phase, auto... parts) {
    std::ostringstream o;
    (o << ... << parts);
    out.push_back({NoteKind::method_range, "", phase, "", r.t, r.p, o.str()});
  };
  if (r.p > kIdealPressureLimit)
    say(NotePhase::stream, "the NRTL method above ", kIdealPressureLimit / 1e3,
        " kPa: its vapour is an ideal gas and its parameters were regressed at 1 atm, so phase boundaries and "
        "the vapour density drift from the real ones");
  const auto& names = sys.components;
  // the pairs of the feed without parameters, named in one note whatever the state
  std::string missing;
  int count = 0;
  for (const std::string& pair : sys.nrtl.missing) {
    const std::size_t slash = pair.find('/');
    bool a = false, b = false;
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (z[i] < kNoteFraction) continue;
      a = a || names[i]->name == pair.substr(0, slash);
      b = b || names[i]->name == pair.substr(slash + 1);
    }
    if (a && b) missing += (count++ > 0 ? ", " : "") + pair;
  }
  if (count > 0)
    say(NotePhase::liquid, "the NRTL method has no parameters for ", missing, ": ", count > 1 ? "these pairs take" : "that pair takes",
        " tau = 0 (they mix as an ideal solution)");
  const bool liquid = r.phase_amount[kL] > 0.0;
  for (const NrtlSpan& s : sys.nrtl.spans) {
    if (!liquid || r.x[s.i] < kNoteFraction || r.x[s.j] < kNoteFraction) continue;
    if (r.t < s.t_min - kNrtlSpanMargin || r.t > s.t_max + kNrtlSpanMargin)
      say(NotePhase::liquid, "the NRTL parameters of ", names[s.i]->name, "/", names[s.j]->name, " are used at T = ", r.t,
          " K, more than ", kNrtlSpanMargin, " K outside the ", s.t_min, " to ", s.t_max,
          " K their 1 atm data covered");
  }
  if (free_water && r.phase_amount[kL1] > 0.0 && nrtl_unstable(NrtlAt(sys.nrtl.parameters, r.t), r.x1))
    say(NotePhase::liquid1, "the organic liquid at T = ", r.t, " K would split into two liquids, but with free water the method "
        "keeps it one liquid (a phase kind without free water splits it)");
  return out;
}

}  // namespace kvt::reference
