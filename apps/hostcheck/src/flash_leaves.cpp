#include "flash_leaves.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "isolate.h"

namespace kvt::hostcheck {

namespace {

constexpr double kSumTolerance = 1e-6;
constexpr double kRelTolerance = 1e-6;

std::vector<double> composition(const Context& cx, Comp c, int64_t n) {
  std::vector<double> v(static_cast<std::size_t>(n));
  for (int64_t i = 0; i < n; ++i) v[i] = cx.plex_real(comp_pos(c) + i);
  return v;
}

double sum(const std::vector<double>& v) {
  double s = 0.0;
  for (double x : v) s += x;
  return s;
}

// Mole fractions of the stream's components, by component number.
std::vector<double> feed(const kvt_hostcheck_stream& s, int64_t ncomp) {
  std::vector<double> z(s.strm, s.strm + ncomp);
  const double total = sum(z);
  for (double& v : z) v /= total;
  return z;
}

}  // namespace

void check_status(Context& cx, const FlashOutcome& f) {
  Report& r = cx.report;
  r.exercised(Check::FlashStatus);
  if (!f.status_in_place) {
    r.fail(Check::FlashStatus, "WEND_FLASH, " + f.label + ": expected the status in argument 20 only; found a word "
                               "beside it written");
  }
  if (f.judged != 1) {
    const std::string status = f.status == kPoison ? "a status word WEND_FLASH did not write" : "status word " +
                                                                                                    num(f.status);
    r.fail(Check::FlashStatus, "WEND_FLSTAT, " + f.label + " of the stream at its own state: expected 1 (a good "
                               "flash); found " + num(f.judged) + " for " + status);
    return;
  }
  if (f.flscom == kPoison) {
    r.fail(Check::FlashStatus, "VOKA_FLSCOM word 1, " + f.label + ": expected the flash's error code (the "
                               "library's IERR); found it not written");
  } else if (f.flscom == 1) {
    r.fail(Check::FlashStatus, "VOKA_FLSCOM word 1, " + f.label + ": expected a code other than 1 after a good "
                               "flash (IERR 1 reads as a failed flash); found 1");
  }
}

void check_conditions(Context& cx, const FlashOutcome& f) {
  Report& r = cx.report;
  r.exercised(Check::FlashConditions);
  const double t = Context::stwkwk_real(KVT_STWKWK_TEMPERATURE), p = Context::stwkwk_real(KVT_STWKWK_PRESSURE);
  const auto expect = [&](int w, double found, double spec, const char* what) {
    if (std::isfinite(found) && found > 0.0 && close(found, spec, 1e-9)) return;
    r.fail(Check::FlashConditions, "VOKA_STWKWK word " + num(w) + ", " + f.label + ": expected the " + what + " " +
                                       num(spec) + "; found " + num(found));
  };
  const bool t_spec = f.kspec == KVT_SPEC_TP || f.kspec == KVT_SPEC_TH || f.kspec == KVT_SPEC_TV;
  if (t_spec) expect(KVT_STWKWK_TEMPERATURE, t, f.spec1, "specified temperature");
  if (f.kspec == KVT_SPEC_TP) expect(KVT_STWKWK_PRESSURE, p, f.spec2, "specified pressure");
  if (f.kspec == KVT_SPEC_PH || f.kspec == KVT_SPEC_PV) expect(KVT_STWKWK_PRESSURE, p, f.spec1, "specified pressure");
  const auto positive = [&](int w, double v, const char* what) {
    if (std::isfinite(v) && v > 0.0) return;
    r.fail(Check::FlashConditions, "VOKA_STWKWK word " + num(w) + ", " + f.label + ": expected a positive " +
                                       what + "; found " + num(v));
  };
  positive(KVT_STWKWK_TEMPERATURE, t, "temperature");
  positive(KVT_STWKWK_PRESSURE, p, "pressure");
}

void check_split(Context& cx, const FlashOutcome& f) {
  Report& r = cx.report;
  r.exercised(Check::PhaseSplit);
  const int64_t n = cx.ncomp();
  const double vf = Context::stwkwk_real(KVT_STWKWK_VAPOUR_FRACTION);
  const double beta = Context::stwkwk_real(KVT_STWKWK_LIQUID_SPLIT);
  const auto fraction = [&](int w, double v, const char* what) {
    if (v >= 0.0 && v <= 1.0) return;
    r.fail(Check::PhaseSplit, "VOKA_STWKWK word " + num(w) + ", " + f.label + ": expected a " + what +
                                  " from 0 to 1; found " + num(v));
  };
  fraction(KVT_STWKWK_VAPOUR_FRACTION, vf, "vapour fraction");
  fraction(KVT_STWKWK_LIQUID_SPLIT, beta, "liquid split");
  const double strm_vf = f.strm[slot_index(n, KVT_SLOT_VAPOUR_FRACTION)];
  if (!close(strm_vf, vf, 0.0, 1e-9)) {
    r.fail(Check::PhaseSplit, "stream slot NCOMP+5 (vapour fraction, read by the phase fractions), " + f.label +
                                  ": expected the flash's " + num(vf) + " (VOKA_STWKWK word 21); found " +
                                  num(strm_vf));
  }
  if ((f.kspec == KVT_SPEC_PV || f.kspec == KVT_SPEC_TV) && !close(vf, f.spec2, 0.0, kSumTolerance)) {
    r.fail(Check::PhaseSplit, "VOKA_STWKWK word 21, " + f.label + ": expected the specified vapour fraction " +
                                  num(f.spec2) + "; found " + num(vf));
  }
  // With two liquids, the split is the first liquid's share: X = split X1 + (1 - split) X2.
  const Split sp = split_of_last_flash();
  if (!(sp.liquid1 && sp.liquid2) || sp.l1_is_liquid) return;
  const int64_t count = std::clamp<int64_t>(Context::flash_count(), 0, n);
  const auto residual = [&](double share) {
    double worst = 0.0;
    for (int64_t i = 0; i < count; ++i) {
      const double x = cx.plex_real(comp_pos(Comp::X) + i), x1 = cx.plex_real(comp_pos(Comp::X1) + i);
      const double x2 = cx.plex_real(comp_pos(Comp::X2) + i);
      worst = std::max(worst, std::abs(share * x1 + (1.0 - share) * x2 - x));
    }
    return worst;
  };
  if (residual(beta) > kSumTolerance && residual(1.0 - beta) <= kSumTolerance) {
    r.fail(Check::PhaseSplit, "VOKA_STWKWK word 23 (liquid split), " + f.label + ": expected the first liquid's "
                              "share of the liquid, " + num(1.0 - beta) + " (X = split X1 + (1 - split) X2 holds for "
                              "it); found " + num(beta) + ", the second liquid's share");
  }
}

bool check_component_list(Context& cx, const FlashOutcome& f, const kvt_hostcheck_stream& s) {
  Report& r = cx.report;
  r.exercised(Check::ComponentList);
  const int64_t ncomp = cx.ncomp(), n = Context::flash_count();
  if (n < 1 || n > ncomp) {
    r.fail(Check::ComponentList, "VOKA_STWKWK word 3 (N), " + f.label + ": expected 1.." + num(ncomp) +
                                     " flash components; found " + num(n));
    return false;
  }
  bool ok = true;
  std::set<int64_t> seen;
  for (int64_t i = 1; i <= n; ++i) {
    const int64_t j = cx.plex_int(complist_pos() + i - 1);
    const std::string at = "component-number list entry " + num(i) + " (PLEX " + num(complist_pos() + i - 1) +
                           "), " + f.label;
    if (j < 1 || j > ncomp) {
      r.fail(Check::ComponentList, at + ": expected a component number 1.." + num(ncomp) + "; found " + int_word(j));
      ok = false;
    } else if (!seen.insert(j).second) {
      r.fail(Check::ComponentList, at + ": expected distinct component numbers; found " + num(j) + " again");
      ok = false;
    }
  }
  for (int64_t j = 1; ok && j <= ncomp; ++j) {
    if (s.strm[j - 1] > 0.0 && seen.count(j) == 0) {
      r.fail(Check::ComponentList, "component-number list, " + f.label + ": expected component " + num(j) +
                                       ", which has flow; found it missing");
    }
  }
  return ok;
}

void check_compositions(Context& cx, const FlashOutcome& f, const kvt_hostcheck_stream& s, const Split& sp) {
  Report& r = cx.report;
  r.exercised(Check::Compositions);
  const int64_t n = Context::flash_count();
  std::vector<std::pair<Comp, bool>> comps{{Comp::Y, sp.vapour}, {Comp::X, sp.liquid},
                                           {Comp::X1, sp.liquid1 && !sp.l1_is_liquid}, {Comp::X2, sp.liquid2}};
  for (auto [c, present] : comps) {
    if (!present) continue;
    const std::vector<double> x = composition(cx, c, n);
    const std::string at = std::string("composition ") + comp_name(c) + " (PLEX " + num(comp_pos(c)) + "), " +
                           f.label;
    for (int64_t i = 0; i < n; ++i) {
      if (!(x[i] >= 0.0 && std::isfinite(x[i]))) {
        r.fail(Check::Compositions, at + ": expected a mole fraction of 0 or more at entry " + num(i + 1) +
                                        "; found " + num(x[i]));
      }
    }
    if (!close(sum(x), 1.0, 0.0, kSumTolerance)) {
      r.fail(Check::Compositions, at + ": expected mole fractions adding up to 1 for a present phase; found " +
                                      num(sum(x)));
    }
  }
  // The phases add up to the stream, and the two liquids to the liquid.
  const std::vector<double> z = feed(s, cx.ncomp());
  const std::vector<double> y = composition(cx, Comp::Y, n), x = composition(cx, Comp::X, n);
  const std::vector<double> x1 = composition(cx, Comp::X1, n), x2 = composition(cx, Comp::X2, n);
  for (int64_t i = 0; i < n; ++i) {
    const int64_t j = cx.plex_int(complist_pos() + i);
    const double phases = (sp.vapour ? sp.vf * y[i] : 0.0) + (sp.liquid ? (1.0 - sp.vf) * x[i] : 0.0);
    if (!close(phases, z[j - 1], 0.0, kSumTolerance)) {
      r.fail(Check::Compositions, "flash component " + num(i + 1) + " (component " + num(j) + "), " + f.label +
                                      ": expected vapour fraction x Y + (1 - vapour fraction) x X = the stream's "
                                      "mole fraction " + num(z[j - 1]) + "; found " + num(phases));
    }
    if (sp.liquid1 && sp.liquid2 && !sp.l1_is_liquid) {
      const double liquids = sp.beta * x1[i] + (1.0 - sp.beta) * x2[i];
      if (!close(liquids, x[i], 0.0, kSumTolerance)) {
        r.fail(Check::Compositions, "flash component " + num(i + 1) + ", " + f.label + ": expected split x X1 + "
                                        "(1 - split) x X2 = X, " + num(x[i]) + "; found " + num(liquids));
      }
    }
  }
}

void check_table(Context& cx, const FlashOutcome& f, const Split& sp) {
  Report& r = cx.report;
  r.exercised(Check::PhaseTable);
  const int64_t n = Context::flash_count();
  const bool present[4] = {sp.vapour, sp.liquid, sp.liquid1 && !sp.l1_is_liquid, sp.liquid2};
  for (const TablePhase& ph : kTablePhases) {
    if (!present[ph.offset]) continue;
    const std::vector<double> x = composition(cx, ph.comp, n);
    double mw = 0.0;
    for (int64_t i = 0; i < n; ++i) mw += x[i] * cx.plex_real(molwt_pos(cx.plex_int(complist_pos() + i)));
    mw /= sum(x);
    const auto word = [&](int first) { return first + ph.offset; };
    const auto at = [&](int first, const char* what) {
      return "TEBU_STWORK word " + num(word(first)) + " (" + ph.name + " " + what + "), " + f.label;
    };
    const double table_mw = Context::stwork_real(word(KVT_STWORK_MOLWT));
    if (!close(table_mw, mw, kRelTolerance)) {
      r.fail(Check::PhaseTable, at(KVT_STWORK_MOLWT, "molecular weight") + ": expected " + num(mw) +
                                    " from composition " +
                                    comp_name(ph.comp) + " and the component weights; found " + num(table_mw));
    }
    const double v = Context::stwork_real(word(KVT_STWORK_VOLUME));
    if (!(std::isfinite(v) && v > 0.0)) {
      r.fail(Check::PhaseTable,
             at(KVT_STWORK_VOLUME, "molar volume") + ": expected a positive volume; found " + num(v));
    }
    const double h = Context::stwork_real(word(KVT_STWORK_ENTHALPY));
    if (!std::isfinite(h)) {
      r.fail(Check::PhaseTable,
             at(KVT_STWORK_ENTHALPY, "molar enthalpy") + ": expected a finite enthalpy; found " + num(h));
    }
  }
}

void check_totals(Context& cx, const FlashOutcome& f, const Split& sp) {
  Report& r = cx.report;
  r.exercised(Check::StreamTotals);
  const int64_t n = cx.ncomp();
  std::vector<double> strm = f.strm;
  int64_t nsubs = cx.nsubs();
  int64_t* desc1 = cx.int_ptr(descriptor_pos());
  double flow = 0.0, mass = 0.0;
  for (int64_t j = 1; j <= n; ++j) {
    flow += strm[j - 1];
    mass += strm[j - 1] * cx.plex_real(molwt_pos(j));
  }
  double totflo = 0.0, totmas = 0.0, totent = 0.0;
  host_call("TEBU_TOTFLO", f.label, TEBU_TOTFLO, strm.data(), &nsubs, desc1, desc1 + nsubs, &totflo);
  host_call("TEBU_TOTMAS", f.label, TEBU_TOTMAS, strm.data(), &nsubs, desc1, desc1 + nsubs, &totmas);
  host_call("TEBU_TOTENT", f.label, TEBU_TOTENT, strm.data(), &nsubs, desc1, desc1 + nsubs, &totent);
  const auto expect = [&](const std::string& what, double found, double expected, const std::string& from) {
    if (close(found, expected, kRelTolerance)) return;
    r.fail(Check::StreamTotals, what + ", " + f.label + ": expected " + num(expected) + " (" + from + "); found " +
                                    num(found));
  };
  expect("TEBU_TOTFLO", totflo, flow, "the sum of the component flows");
  expect("stream slot NCOMP+1 (total flow)", strm[slot_index(n, KVT_SLOT_TOTAL_FLOW)], flow,
         "the sum of the component flows");
  expect("TEBU_TOTMAS", totmas, mass, "component flows times the weights at VOKA_IPOFF1 word 306");
  expect("stream slot NCOMP+9 (molecular weight)", strm[slot_index(n, KVT_SLOT_MOLWT)], mass / flow,
         "mass flow over mole flow");
  // The heat flows of the phases, as the library forms them, add up to the stream's.
  const int l1_word = int{KVT_STWORK_ENTHALPY} + (sp.l1_is_liquid ? KVT_TABLE_LIQUID : KVT_TABLE_LIQUID1);
  const double l1 = Context::stwork_real(l1_word);
  double phases = 0.0, scale = 0.0;
  const auto add = [&](bool present, double fraction, double h) {
    if (!present) return;
    phases += fraction * h * flow;
    scale = std::max(scale, std::abs(h * flow));
  };
  add(sp.vapour, sp.vf, Context::stwork_real(int{KVT_STWORK_ENTHALPY} + KVT_TABLE_VAPOUR));
  add(sp.liquid1, sp.beta * (1.0 - sp.vf), l1);
  add(sp.liquid2, (1.0 - sp.beta) * (1.0 - sp.vf), Context::stwork_real(int{KVT_STWORK_ENTHALPY} + KVT_TABLE_LIQUID2));
  if (!(std::abs(totent - phases) <= kRelTolerance * std::max(scale, std::abs(totent)))) {
    r.fail(Check::StreamTotals, "TEBU_TOTENT, " + f.label + ", and the phases' molar enthalpies (TEBU_STWORK words "
                                "47-50) times their flows disagree: " + num(totent) + " and " + num(phases));
  }
}

void check_writes(Context& cx, const FlashOutcome& f) {
  Report& r = cx.report;
  r.exercised(Check::FlashWrites);
  for (const std::string& w : f.unwritten) {
    r.fail(Check::FlashWrites, w + ", " + f.label + ": expected rewritten by the flash (it held a marker before); "
                               "found the marker, so the library would read what an earlier flash left there");
  }
  for (const std::string& w : f.stray) r.fail(Check::FlashWrites, w);
}

}  // namespace kvt::hostcheck
