#include "flash_probe.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace kvt::hostcheck {

namespace {

constexpr int64_t kPoison = -7777;   // a status or code word no host leaves by chance
constexpr double kSumTolerance = 1e-6;
constexpr double kRelTolerance = 1e-6;
const char* const kSpecNames[6] = {"", "P-H", "T-P", "P-vapour fraction", "T-H", "T-vapour fraction"};

bool close(double a, double b, double rel, double abs = 0.0) {
  return std::abs(a - b) <= std::max(abs, rel * std::max(std::abs(a), std::abs(b)));
}

double snap(double v) { return v <= 1e-10 ? 0.0 : v >= 0.9999999999 ? 1.0 : v; }

}  // namespace

std::string stream_label(const kvt_hostcheck_input& in, int64_t k) {
  const char* name = in.streams[k].name;
  return "stream " + num(k + 1) + (name != nullptr ? std::string(" (") + name + ")" : std::string());
}

Split split_of_last_flash() {
  Split s;
  const double beta = Context::stwkwk_real(23);
  s.vf = snap(Context::stwkwk_real(21));
  s.beta = snap(beta);
  s.vapour = s.vf > 0.0;
  s.liquid = s.vf < 1.0;
  s.liquid1 = s.liquid && s.beta > 0.0;
  s.liquid2 = s.liquid && s.beta < 1.0;
  s.l1_is_liquid = beta == 1.0;
  return s;
}

FlashOutcome Flasher::flash(std::vector<double> strm, int64_t kspec, int64_t side,
                            int64_t record, const std::string& label) {
  const int64_t n = cx_.ncomp();
  FlashOutcome out;
  out.label = label + ", " + kSpecNames[kspec] + " flash (KSPEC " + num(kspec) + ")";
  out.kspec = kspec;
  // The working copy of the side's option set.
  const int base = static_cast<int>(side) * 10;
  int64_t options[6];
  for (int k = 0; k < 6; ++k) options[k] = cx_.ihxpp(base + 1 + k);
  int64_t nphase = cx_.ihxpp(base + 7), kind = cx_.ihxpp(base + 8), flash_option = cx_.ihxpp(base + 9);
  double real_option = cx_.in.rhxpp[side * 3];
  int64_t nsubs = cx_.nsubs(), option22 = cx_.ihxpp(22), option23 = cx_.ihxpp(23);
  int64_t* desc1 = cx_.int_ptr(descriptor_pos());
  int64_t* desc2 = desc1 + nsubs;

  double& t = slot(strm, n, 2);
  double& p = slot(strm, n, 3);
  switch (kspec) {
    case 1: {
      spec2_ = slot(strm, n, 4);
      int64_t zero = 0;
      TEBU_SETH(strm.data(), &nsubs, desc1, desc2, &zero);
      spec1_ = p;
      estimate_ = nsubs <= 1 ? t : Context::host_missing();
      break;
    }
    case 2: spec1_ = t, spec2_ = p; break;
    case 3: spec1_ = p, spec2_ = slot(strm, n, 5), estimate_ = t; break;
    case 4: spec1_ = t, spec2_ = slot(strm, n, 4), estimate_ = p; break;
    case 5: spec1_ = t, spec2_ = slot(strm, n, 5), estimate_ = p; break;
    default: break;
  }
  if ((kspec == 3 || kspec == 5) && spec2_ == Context::host_missing()) spec2_ = 0.0;
  out.spec1 = spec1_;
  out.spec2 = spec2_;
  // A flash result the host must write: the stream's vapour fraction, unless it is a specification.
  if (kspec != 3 && kspec != 5) slot(strm, n, 5) = Context::host_missing();

  const bool retained = record >= 0;
  double* real_record = cx_.real_ptr(retained ? cx_.ihxpp(25) + record * Context::stwork(1)
                                              : Context::stwkwk(1) + Context::stwork(25));
  int64_t* int_record = cx_.int_ptr(retained ? cx_.ihxpp(24) + record * (Context::stwork(2) + 1)
                                             : Context::stwkwk(2) + Context::stwork(30));
  int64_t retention = cx_.ihxpp(27), one = 1, judge_one = 1;
  int64_t status[3] = {kPoison, kPoison, kPoison};
  VOKA_FLSCOM[0] = kPoison;
  VOKA_FLSCM2[0] = 0;
  WEND_FLASH(strm.data(), &nsubs, desc1, desc2, options, &kspec, &kind, &nphase, &flash_option, &real_option,
             &spec1_, &spec2_, &estimate_, &option22, &option23, &retention, &one, real_record, int_record,
             &status[1]);
  out.status = status[1];
  out.status_in_place = status[0] == kPoison && status[2] == kPoison;
  out.judged = WEND_FLSTAT(&judge_one, &status[1]);
  out.flscom = VOKA_FLSCOM[0];
  out.flscm2 = VOKA_FLSCM2[0];
  VOKA_FLSCM2[0] = 0;  // as the library does after reading it
  out.strm = std::move(strm);
  return out;
}

namespace {

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
  const double t = Context::stwkwk_real(19), p = Context::stwkwk_real(20);
  const auto expect = [&](int w, double found, double spec, const char* what) {
    if (std::isfinite(found) && found > 0.0 && close(found, spec, 1e-9)) return;
    r.fail(Check::FlashConditions, "VOKA_STWKWK word " + num(w) + ", " + f.label + ": expected the " + what + " " +
                                       num(spec) + "; found " + num(found));
  };
  const bool t_spec = f.kspec == 2 || f.kspec == 4 || f.kspec == 5;
  if (t_spec) expect(19, t, f.spec1, "specified temperature");
  if (f.kspec == 2) expect(20, p, f.spec2, "specified pressure");
  if (f.kspec == 1 || f.kspec == 3) expect(20, p, f.spec1, "specified pressure");
  const auto positive = [&](int w, double v, const char* what) {
    if (std::isfinite(v) && v > 0.0) return;
    r.fail(Check::FlashConditions, "VOKA_STWKWK word " + num(w) + ", " + f.label + ": expected a positive " +
                                       what + "; found " + num(v));
  };
  positive(19, t, "temperature");
  positive(20, p, "pressure");
}

void check_split(Context& cx, const FlashOutcome& f) {
  Report& r = cx.report;
  r.exercised(Check::PhaseSplit);
  const int64_t n = cx.ncomp();
  const double vf = Context::stwkwk_real(21), beta = Context::stwkwk_real(23);
  const auto fraction = [&](int w, double v, const char* what) {
    if (v >= 0.0 && v <= 1.0) return;
    r.fail(Check::PhaseSplit, "VOKA_STWKWK word " + num(w) + ", " + f.label + ": expected a " + what +
                                  " from 0 to 1; found " + num(v));
  };
  fraction(21, vf, "vapour fraction");
  fraction(23, beta, "liquid split");
  const double strm_vf = f.strm[n + 4];
  if (!close(strm_vf, vf, 0.0, 1e-9)) {
    r.fail(Check::PhaseSplit, "stream slot NCOMP+5 (vapour fraction, read by the phase fractions), " + f.label +
                                  ": expected the flash's " + num(vf) + " (VOKA_STWKWK word 21); found " +
                                  num(strm_vf));
  }
  if ((f.kspec == 3 || f.kspec == 5) && !close(vf, f.spec2, 0.0, kSumTolerance)) {
    r.fail(Check::PhaseSplit, "VOKA_STWKWK word 21, " + f.label + ": expected the specified vapour fraction " +
                                  num(f.spec2) + "; found " + num(vf));
  }
}

// The flash count and component-number list; true when the checks that read through the list can run.
bool check_component_list(Context& cx, const FlashOutcome& f, const kvt_hostcheck_stream& s) {
  Report& r = cx.report;
  r.exercised(Check::ComponentList);
  const int64_t ncomp = cx.ncomp(), n = Context::stwkwk(3);
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
      r.fail(Check::ComponentList, at + ": expected a component number 1.." + num(ncomp) + "; found " + num(j));
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

void check_compositions(Context& cx, const FlashOutcome& f, const kvt_hostcheck_stream& s, const Split& sp) {
  Report& r = cx.report;
  r.exercised(Check::Compositions);
  const int64_t n = Context::stwkwk(3);
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

struct TablePhase {
  const char* name;
  int offset;  // 0 vapour, 1 liquid, 2 first liquid, 3 second liquid
  Comp comp;
};
constexpr TablePhase kTablePhases[4] = {
    {"vapour", 0, Comp::Y}, {"liquid", 1, Comp::X}, {"first liquid", 2, Comp::X1}, {"second liquid", 3, Comp::X2}};

void check_table(Context& cx, const FlashOutcome& f, const Split& sp) {
  Report& r = cx.report;
  r.exercised(Check::PhaseTable);
  const int64_t n = Context::stwkwk(3);
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
    const double table_mw = Context::stwork_real(word(59));
    if (!close(table_mw, mw, kRelTolerance)) {
      r.fail(Check::PhaseTable, at(59, "molecular weight") + ": expected " + num(mw) + " from composition " +
                                    comp_name(ph.comp) + " and the component weights; found " + num(table_mw));
    }
    const double v = Context::stwork_real(word(55));
    if (!(std::isfinite(v) && v > 0.0)) {
      r.fail(Check::PhaseTable, at(55, "molar volume") + ": expected a positive volume; found " + num(v));
    }
    const double h = Context::stwork_real(word(47));
    if (!std::isfinite(h)) {
      r.fail(Check::PhaseTable, at(47, "molar enthalpy") + ": expected a finite enthalpy; found " + num(h));
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
  TEBU_TOTFLO(strm.data(), &nsubs, desc1, desc1 + nsubs, &totflo);
  TEBU_TOTMAS(strm.data(), &nsubs, desc1, desc1 + nsubs, &totmas);
  TEBU_TOTENT(strm.data(), &nsubs, desc1, desc1 + nsubs, &totent);
  const auto expect = [&](const std::string& what, double found, double expected, const std::string& from) {
    if (close(found, expected, kRelTolerance)) return;
    r.fail(Check::StreamTotals, what + ", " + f.label + ": expected " + num(expected) + " (" + from + "); found " +
                                    num(found));
  };
  expect("TEBU_TOTFLO", totflo, flow, "the sum of the component flows");
  expect("stream slot NCOMP+1 (total flow)", strm[n], flow, "the sum of the component flows");
  expect("TEBU_TOTMAS", totmas, mass, "component flows times the weights at VOKA_IPOFF1 word 306");
  expect("stream slot NCOMP+9 (molecular weight)", strm[n + 8], mass / flow, "mass flow over mole flow");
  // The heat flows of the phases, as the library forms them, add up to the stream's.
  const double l1 = sp.l1_is_liquid ? Context::stwork_real(48) : Context::stwork_real(49);
  double phases = 0.0, scale = 0.0;
  const auto add = [&](bool present, double fraction, double h) {
    if (!present) return;
    phases += fraction * h * flow;
    scale = std::max(scale, std::abs(h * flow));
  };
  add(sp.vapour, sp.vf, Context::stwork_real(47));
  add(sp.liquid1, sp.beta * (1.0 - sp.vf), l1);
  add(sp.liquid2, (1.0 - sp.beta) * (1.0 - sp.vf), Context::stwork_real(50));
  if (!(std::abs(totent - phases) <= kRelTolerance * std::max(scale, std::abs(totent)))) {
    r.fail(Check::StreamTotals, "TEBU_TOTENT, " + f.label + ": expected " + num(phases) + " (the phases' molar "
                                "enthalpies, TEBU_STWORK words 47-50, times their flows); found " + num(totent));
  }
}

void check_retention(Context& cx, const Layout& l, Flasher& flasher, int64_t record) {
  Report& r = cx.report;
  if (l.records.size() != 2) return;
  const Area& ints = l.records[0];
  const Area& reals = l.records[1];
  std::vector<int64_t> before(VOKA_PLEX + ints.first - 1, VOKA_PLEX + ints.last());
  std::vector<int64_t> before_real(VOKA_PLEX + reals.first - 1, VOKA_PLEX + reals.last());
  const kvt_hostcheck_stream& s = cx.in.streams[0];
  flasher.flash(std::vector<double>(s.strm, s.strm + s.nstrm), 2, record / 5, record,
                stream_label(cx.in, 0) + " into retention record " + num(record));
  r.exercised(Check::Retention);
  const int64_t ilen = l.int_record_words, rlen = l.real_record_words;
  for (int64_t k = 0; k < ints.words; ++k) {
    const int64_t now = VOKA_PLEX[ints.first - 1 + k];
    const int64_t rec = k / ilen, w = k % ilen;
    if (now == before[k] || (rec == record && w < ilen - 1)) continue;
    const std::string what = w == ilen - 1 ? "the status word of record " + num(rec)
                                           : "word " + num(w + 1) + " of integer record " + num(rec);
    r.fail(Check::Retention, "VOKA_PLEX " + num(ints.first + k) + " (" + what + "): expected unchanged by a flash "
                             "into record " + num(record) + " (I = " + num(ilen - 1) + "); found " + num(now) +
                             ", was " + num(before[k]));
  }
  for (int64_t k = 0; k < reals.words; ++k) {
    if (VOKA_PLEX[reals.first - 1 + k] == before_real[k] || k / rlen == record) continue;
    r.fail(Check::Retention, "VOKA_PLEX " + num(reals.first + k) + " (word " + num(k % rlen + 1) + " of real "
                             "record " + num(k / rlen) + "): expected unchanged by a flash into record " +
                             num(record) + " (R = " + num(rlen) + "); found it written");
  }
}

void check_failed_flash(Context& cx, Flasher& flasher) {
  const kvt_hostcheck_stream& s = cx.in.streams[0];
  std::vector<double> strm(s.strm, s.strm + s.nstrm);
  for (int64_t j = 0; j <= cx.ncomp(); ++j) strm[j] = 0.0;  // no component flows, no total flow
  const FlashOutcome f = flasher.flash(strm, 2, s.side == 1 ? 1 : 0, -1, stream_label(cx.in, 0) + " without flow");
  Report& r = cx.report;
  r.exercised(Check::FlashStatus);
  if (!f.status_in_place) {
    r.fail(Check::FlashStatus, "WEND_FLASH, " + f.label + ": expected the status in argument 20 only; found a word "
                               "beside it written");
  }
  if (f.judged == 1) {
    r.fail(Check::FlashStatus, "WEND_FLSTAT, " + f.label + ": expected a verdict other than 1 for a stream "
                               "without flow; found 1 (status word " + num(f.status) + ")");
  } else if (f.flscm2 == 0) {
    r.fail(Check::FlashStatus, "VOKA_FLSCM2 word 1, " + f.label + ": expected a raised flag after a flash judged "
                               "not good (the library's IERR 1); found 0, which the library reports as IERR 0");
  }
}

}  // namespace

void check_flashes(Context& cx, const Layout& layout) {
  Flasher flasher(cx);
  for (int64_t k = 0; k < cx.in.nstreams; ++k) {
    const kvt_hostcheck_stream& s = cx.in.streams[k];
    for (int64_t kspec = 1; kspec <= 5; ++kspec) {
      const FlashOutcome f = flasher.flash(std::vector<double>(s.strm, s.strm + s.nstrm), kspec,
                                           s.side == 1 ? 1 : 0, -1, stream_label(cx.in, k));
      check_status(cx, f);
      // A flash the host judges failed leaves nothing the library's caller may read.
      if (f.judged != 1) continue;
      check_conditions(cx, f);
      check_split(cx, f);
      const Split sp = split_of_last_flash();
      check_totals(cx, f, sp);
      if (!check_component_list(cx, f, s)) continue;
      check_compositions(cx, f, s, sp);
      check_table(cx, f, sp);
    }
  }
  if (cx.ihxpp(27) != 0) {
    for (int64_t record = 0; record < kRecords; ++record) check_retention(cx, layout, flasher, record);
  }
  check_failed_flash(cx, flasher);
}

}  // namespace kvt::hostcheck
