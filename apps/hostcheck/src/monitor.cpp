#include "monitor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "flash_probe.h"

namespace kvt::hostcheck {

namespace {

constexpr double kPresent = 1e-10;
constexpr double kSlopeTolerance = 1e-3;  // heat capacity against the enthalpy's central difference
constexpr double kStep = 1e-4;            // of the temperature, for that difference
constexpr int64_t kRaisedFlag = 3;        // a flag an earlier phase left raised

using Enthalpy = decltype(&GOSA_ENTHL);
using Transport = decltype(&GOSA_TCONL);
using Pure = decltype(&GOSA_VTHRM);

struct PhaseCall {
  const char* name;
  Pos pos;         // the phase's full composition, handed to the host as the library hands it
  int64_t options[6];
  Enthalpy enthalpy;
  const char* enthalpy_name;
  bool liquid;
};

struct Probe {
  Context& cx;
  std::string label;
  double t, p;
  int64_t n;
  int64_t* list;
  int64_t option21, option23;

  std::string at(const char* call, const PhaseCall& ph) const {
    return std::string(call) + ", " + ph.name + " of " + label + " at " + num(t) + " K";
  }

  double* x(const PhaseCall& ph) const { return cx.real_ptr(ph.pos); }

  void enthalpy(PhaseCall& ph) {
    Report& r = cx.report;
    int64_t code = 2;
    const auto eval = [&](double temp, double& h, double& dhdt) {
      int64_t ierr = 0;
      ph.enthalpy(&temp, &p, x(ph), &n, list, ph.options, &option23, &option21, &code, &h, &dhdt, &ierr);
    };
    double h = 0.0, cp = 0.0, hp = 0.0, hm = 0.0, unused = 0.0;
    eval(t, h, cp);
    const double d = kStep * t;
    eval(t + d, hp, unused);
    eval(t - d, hm, unused);
    const double slope = (hp - hm) / (2.0 * d);
    r.exercised(Check::HeatCapacity);
    r.exercised(Check::PropertyValues);
    if (!std::isfinite(h) || !(std::isfinite(cp) && cp > 0.0)) {
      r.fail(Check::PropertyValues, at(ph.enthalpy_name, ph) + ": expected a finite enthalpy and a positive heat "
                                    "capacity (argument 11); found " + num(h) + " and " + num(cp));
    } else if (!(std::abs(cp - slope) <= kSlopeTolerance * std::max(std::abs(cp), std::abs(slope)))) {
      r.fail(Check::HeatCapacity, at(ph.enthalpy_name, ph) + ": expected argument 11 = the enthalpy's slope " +
                                  num(slope) + " (central difference over +-" + num(d) + " K); found " + num(cp));
    }
  }

  void transport(PhaseCall& ph, Transport routine, const char* name, bool zero_allowed) {
    Report& r = cx.report;
    // The packed composition the library's flash keeps for the phase.
    std::vector<double> x;
    std::vector<int64_t> numbers;
    for (int64_t i = 0; i < n; ++i) {
      const double xi = cx.plex_real(ph.pos + i);
      if (!(xi > kPresent)) continue;
      x.push_back(xi);
      numbers.push_back(list[i]);
    }
    int64_t count = static_cast<int64_t>(x.size());
    double value = 0.0, again = 0.0;
    int64_t ierr = 0, raised = kRaisedFlag;
    routine(&t, &p, x.data(), &count, numbers.data(), ph.options, &option23, &value, &ierr);
    routine(&t, &p, x.data(), &count, numbers.data(), ph.options, &option23, &again, &raised);
    r.exercised(Check::PropertyValues);
    r.exercised(Check::ErrorFlags);
    if (!(std::isfinite(value) && (value > 0.0 || (zero_allowed && value == 0.0)))) {
      r.fail(Check::PropertyValues, at(name, ph) + ": expected a " + (zero_allowed ? "finite value of 0 or more" :
                                    "positive finite value") + " (argument 8); found " + num(value));
    }
    if (ierr < 0) {
      r.fail(Check::ErrorFlags, at(name, ph) + ": expected an error flag (argument 9) of 0 or a positive code; "
                                "found " + num(ierr) + ", which the library's caller reads as " +
                                (ierr == -1 ? "an absent phase" : "no code the library documents"));
    }
    if (raised == 0) {
      r.fail(Check::ErrorFlags, at(name, ph) + ": expected a flag (argument 9) raised by an earlier phase, " +
                                num(kRaisedFlag) + ", left raised; found it cleared to 0");
    }
  }

  void pure(PhaseCall& ph, int64_t* component) {
    Report& r = cx.report;
    int64_t one_a = 1, one_b = 1, one_c = 1, count = 1, c[5] = {1, 1, 1, 1, 1};
    double lnp = 0.0, second = 0.0;
    LORI_PL001(&t, &one_a, component, &one_b, &one_c, &option23, &lnp, &second);
    double pv = std::exp(std::clamp(lnp, -170.0, 80.0));
    double o[2][11] = {};
    const Pure routines[2] = {GOSA_VTHRM, GOSA_LTHRM};
    for (int k = 0; k < 2; ++k) {
      double* s = o[k];
      routines[k](&t, &pv, &count, component, ph.options, &option23, &option21, &c[0], &c[1], &c[2], &c[3], &c[4],
                  &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &s[6], &s[7], &s[8], &s[9], &s[10]);
    }
    r.exercised(Check::PropertyValues);
    const std::string what = "component " + num(*component) + " in the " + ph.name + " of " + label;
    if (!std::isfinite(lnp)) {
      r.fail(Check::PropertyValues, "LORI_PL001, " + what + ": expected a finite log pressure (argument 7); found " +
                                    num(lnp));
    }
    if (!std::isfinite(o[0][1]) || !std::isfinite(o[1][1])) {
      r.fail(Check::PropertyValues, "GOSA_VTHRM, GOSA_LTHRM, " + what + ": expected finite enthalpies (argument "
                                    "14); found " + num(o[0][1]) + " and " + num(o[1][1]));
    }
  }
};

void check_stream(Context& cx, Flasher& flasher, int64_t k) {
  const kvt_hostcheck_stream& s = cx.in.streams[k];
  const int64_t side = s.side == 1 ? 1 : 0;
  const FlashOutcome f = flasher.flash(std::vector<double>(s.strm, s.strm + s.nstrm), 2, side, -1,
                                       stream_label(cx.in, k));
  const int64_t n = Context::stwkwk(3);
  // Without a good flash and a flash count in range there is nothing the library would hand the monitor.
  if (f.judged != 1 || n < 1 || n > cx.ncomp()) return;
  const Split sp = split_of_last_flash();
  Probe probe{cx, stream_label(cx.in, k), Context::stwkwk_real(19), Context::stwkwk_real(20), n,
              cx.int_ptr(complist_pos()), cx.ihxpp(21), cx.ihxpp(23)};

  PhaseCall phases[3] = {
      {"vapour", comp_pos(Comp::Y), {}, GOSA_ENTHV, "GOSA_ENTHV", false},
      {"first liquid", comp_pos(sp.l1_is_liquid ? Comp::X : Comp::X1), {}, GOSA_ENTHL, "GOSA_ENTHL", true},
      {"second liquid", comp_pos(Comp::X2), {}, GOSA_ENTHL, "GOSA_ENTHL", true},
  };
  const bool present[3] = {sp.vapour, sp.liquid1, sp.liquid2};
  // The option copies, with the water rule: a liquid of pure water takes option word 5 for word 1.
  const int base = static_cast<int>(side) * 10;
  int64_t water = 0;
  if (cx.ihxpp(base + 10) == 1) {
    water = NERO_IDXWAT(probe.list, &probe.n);
    cx.report.exercised(Check::PropertyValues);
    if (water > n) {
      cx.report.fail(Check::PropertyValues, "NERO_IDXWAT, " + probe.label + ": expected water's position in the "
                                            "list, 1.." + num(n) + ", or 0 or less; found " + num(water));
      water = 0;
    }
  }
  for (PhaseCall& ph : phases) {
    for (int w = 0; w < 6; ++w) ph.options[w] = cx.ihxpp(base + 1 + w);
    if (ph.liquid && water > 0 && cx.plex_real(ph.pos + water - 1) == 1.0) ph.options[0] = ph.options[4];
  }
  for (int i = 0; i < 3; ++i) {
    if (!present[i]) continue;
    PhaseCall& ph = phases[i];
    probe.enthalpy(ph);
    probe.transport(ph, ph.liquid ? GOSA_TCONL : GOSA_TCONV, ph.liquid ? "GOSA_TCONL" : "GOSA_TCONV", false);
    probe.transport(ph, ph.liquid ? GOSA_VISCL : GOSA_VISCV, ph.liquid ? "GOSA_VISCL" : "GOSA_VISCV", false);
    if (!ph.liquid) continue;
    probe.transport(ph, GOSA_SRFTEN, "GOSA_SRFTEN", true);
    for (int64_t j = 0; j < n; ++j) {
      if (cx.plex_real(comp_pos(Comp::Y) + j) > kPresent) probe.pure(ph, probe.list + j);
    }
  }
}

}  // namespace

void check_monitor(Context& cx) {
  Flasher flasher(cx);
  for (int64_t k = 0; k < cx.in.nstreams; ++k) check_stream(cx, flasher, k);
}

}  // namespace kvt::hostcheck
