#include "flash/flash.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

#include "numerics/constants.h"
#include "flash/flash_model.h"
#include "flash/flash_kind.h"

namespace kvt::reference {

namespace {

std::string range_text(const char* what, double v, double lo, double hi, const char* unit) {
  std::ostringstream s;
  s << what << " " << v << " " << unit << " is outside the accepted range " << lo << " to " << hi << " " << unit;
  return s.str();
}

// Correlations that overflow or leave their domain at a state (a databank's coefficients make that
// possible anywhere) give figures that are not numbers: such a state is a failed flash, never an answer.
bool finite(const FlashResult& r) {
  const auto all = [](const auto& values) { return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); }); };
  return all(std::array{r.t, r.p, r.vapour_fraction, r.liquid_split, r.enthalpy, r.molecular_weight}) && all(r.y) && all(r.x) &&
         all(r.x1) && all(r.x2) && all(r.phase_enthalpy) && all(r.phase_volume) && all(r.phase_mw) && all(r.phase_amount);
}

}  // namespace

FlashResult flash(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req) {
  FlashResult bad;
  bad.bad_input = true;
  auto fail_input = [&](std::string why) {
    bad.message = std::move(why);
    return bad;
  };
  if (z.size() != sys.components.size() || z.empty()) return fail_input("composition has the wrong length");
  double zs = 0.0;
  for (double v : z) {
    if (!(v >= 0.0) || !std::isfinite(v)) return fail_input("composition holds a negative or non-finite fraction");
    zs += v;
  }
  if (std::abs(zs - 1.0) > 1e-9) return fail_input("mole fractions do not sum to 1");
  const SpecKind* kind = spec_kind(req.kspec);
  if (kind == nullptr) return fail_input("KSPEC " + std::to_string(req.kspec) + " is not 1 to 5");
  using enum Quantity;
  const double t_spec = req.spec1;
  const double p_spec = kind->first == kPressure ? req.spec1 : req.spec2;
  if (kind->fixes(kTemperature) && !(t_spec >= req.t_min && t_spec <= req.t_max))
    return fail_input(range_text("temperature", t_spec, req.t_min, req.t_max, "K"));
  if (kind->fixes(kPressure) && !(p_spec >= req.p_min && p_spec <= req.p_max))
    return fail_input(range_text("pressure", p_spec, req.p_min, req.p_max, "Pa"));
  const bool vf_spec = kind->second == kVapourFraction;
  if (vf_spec && !(req.spec2 >= 0.0 && req.spec2 <= 1.0))
    return fail_input("vapour fraction " + std::to_string(req.spec2) + " is not between 0 and 1");
  if (kind->second == kEnthalpy && !std::isfinite(req.spec2)) return fail_input("enthalpy is not a number");
  if (vf_spec && req.model != PhaseModel::kEquilibrium)
    return fail_input("a vapour fraction specification needs the vapour-liquid phase kind");

  Model model(sys, z, req);
  FlashResult failed;
  // the result of a finished state, or a failure when an iteration behind it stopped at its cap
  auto finish = [&](const State& s) {
    std::ostringstream o;
    if (s.capped == nullptr) {
      FlashResult r = model.result(s);
      if (finite(r)) return r;
      o << "the component data give figures that are not finite at " << r.t << " K, " << r.p << " Pa";
      failed.message = o.str();
      return failed;
    }
    o << s.capped->solver << " stopped at its cap of " << s.capped->cap << " iterations short of its tolerance "
      << s.capped->tolerance << " at " << s.t << " K, " << s.p << " Pa";
    failed.stopped_at_cap = true;
    failed.message = o.str();
    return failed;
  };
  if (kind->searched == kNone) return finish(model.tp(t_spec, p_spec));
  Search sr;
  if (vf_spec) {
    sr.m = vapour_fraction;
    sr.boundary = true;
    sr.tol = req.spec2 > 0.0 ? kVapourFractionTolerance : 0.0;
  } else {
    sr.m = [&](const State& st) { return model.enthalpy(st); };
    sr.tol = kEnthalpyTolerance * std::max(kEnthalpyFloor, std::abs(req.spec2));
  }
  sr.target = req.spec2;
  sr.one_fluid = [&](const State& a, const State& b) { return model.one_fluid(a, b); };
  if (kind->searched == kTemperature) {
    sr.at = [&](double t) { return model.tp(t, p_spec); };
    sr.lo = req.t_min;
    sr.hi = req.t_max;
    sr.guess = req.estimate;
  } else {
    if (!vf_spec && std::isfinite(req.estimate) && req.estimate >= req.p_min && req.estimate <= req.p_max) {
      State st = model.tp(t_spec, req.estimate);
      if (std::abs(model.enthalpy(st) - req.spec2) <= sr.tol) return finish(st);
    }
    if (!vf_spec && req.model != PhaseModel::kEquilibrium && sys.method != Method::peng_robinson) {
      failed.message = "a single phase's enthalpy does not depend on pressure: the T-H specification has no solution";
      return failed;
    }
    // the variable is -ln P, so that vapour fraction and enthalpy rise with it
    sr.at = [&](double u) { return model.tp(t_spec, std::exp(-u)); };
    sr.lo = -std::log(req.p_max);
    sr.hi = -std::log(req.p_min);
    if (std::isfinite(req.estimate) && req.estimate > 0.0) sr.guess = -std::log(req.estimate);
  }
  State s;
  Miss miss;
  if (!solve(sr, s, miss)) {
    failed.message = search_failure(sys, z, req, miss);
    return failed;
  }
  return finish(s);
}

}  // namespace kvt::reference
