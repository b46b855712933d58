#include "flash_probe.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <set>

#include "isolate.h"

namespace kvt::hostcheck {

namespace {

constexpr int64_t kPoison = -7777;   // a status or code word no host leaves by chance
constexpr double kSumTolerance = 1e-6;
constexpr double kRelTolerance = 1e-6;
const char* const kSpecNames[6] = {"", "P-H", "T-P", "P-vapour fraction", "T-H", "T-vapour fraction"};
// The phases of the phase property table, with their compositions.
struct TablePhase {
  const char* name;
  int offset;  // the phase's word in each table group (kvt_table_phase)
  Comp comp;
};
constexpr TablePhase kTablePhases[KVT_TABLE_PHASES] = {{"vapour", KVT_TABLE_VAPOUR, Comp::Y},
                                                       {"liquid", KVT_TABLE_LIQUID, Comp::X},
                                                       {"first liquid", KVT_TABLE_LIQUID1, Comp::X1},
                                                       {"second liquid", KVT_TABLE_LIQUID2, Comp::X2}};

double snap(double v) { return v <= 1e-10 ? 0.0 : v >= 0.9999999999 ? 1.0 : v; }

}  // namespace

bool close(double a, double b, double rel, double abs) {
  return std::abs(a - b) <= std::max(abs, rel * std::max(std::abs(a), std::abs(b)));
}

std::string stream_label(const kvt_hostcheck_input& in, int64_t k) {
  const char* name = in.streams[k].name;
  return "stream " + num(k + 1) + (name != nullptr ? std::string(" (") + name + ")" : std::string());
}

Split split_of_last_flash() {
  Split s;
  const double beta = Context::stwkwk_real(KVT_STWKWK_LIQUID_SPLIT);
  s.vf = snap(Context::stwkwk_real(KVT_STWKWK_VAPOUR_FRACTION));
  s.beta = snap(beta);
  s.vapour = s.vf > 0.0;
  s.liquid = s.vf < 1.0;
  s.liquid1 = s.liquid && s.beta > 0.0;
  s.liquid2 = s.liquid && s.beta < 1.0;
  s.l1_is_liquid = beta == 1.0;
  return s;
}

namespace {

constexpr uint64_t kMarkerBits = 0x7FF4B1C5DEADBEEFull;  // a NaN no host computes
const double kMarker = std::bit_cast<double>(kMarkerBits);
bool marked(double v) { return std::bit_cast<uint64_t>(v) == kMarkerBits; }

// The words a flash must write, by name, and where they are.
struct MustWrite {
  std::string name;
  int64_t* word;
};

std::vector<MustWrite> words_to_mark() {
  std::vector<MustWrite> w;
  const auto stwkwk = [&](int k, const char* what) {
    w.push_back({"VOKA_STWKWK word " + num(k) + " (" + what + ")", &KVT_WORD(VOKA_STWKWK, k)});
  };
  stwkwk(KVT_STWKWK_TEMPERATURE, "temperature");
  stwkwk(KVT_STWKWK_PRESSURE, "pressure");
  stwkwk(KVT_STWKWK_VAPOUR_FRACTION, "vapour fraction");
  stwkwk(KVT_STWKWK_DUTY, "duty");
  return w;
}

}  // namespace

FlashOutcome Flasher::flash(std::vector<double> strm, int64_t kspec, int64_t side, int64_t record,
                            const std::string& label, bool mark) {
  const int64_t n = cx_.ncomp();
  FlashOutcome out;
  out.label = label + ", " + kSpecNames[kspec] + " flash (KSPEC " + num(kspec) + ")";
  out.kspec = kspec;
  // The working copy of the side's option set.
  const int base = static_cast<int>(side) * KVT_SIDE_STRIDE_I;
  int64_t options[6];
  for (int k = 0; k < 6; ++k) options[k] = cx_.ihxpp(base + KVT_IHXPP_OPTION_LIST + k);
  int64_t nphase = cx_.ihxpp(base + KVT_IHXPP_PHASE_COUNT), kind = cx_.ihxpp(base + KVT_IHXPP_PHASE_KIND);
  int64_t flash_option = cx_.ihxpp(base + KVT_IHXPP_FLASH_OPTION);
  double real_option = cx_.in.rhxpp[side * KVT_SIDE_STRIDE_R + KVT_RHXPP_FLASH_REAL - 1];
  int64_t nsubs = cx_.nsubs(), option22 = cx_.ihxpp(KVT_IHXPP_FLASH), option23 = cx_.ihxpp(KVT_IHXPP_COMMON);
  int64_t* desc1 = cx_.int_ptr(descriptor_pos());
  int64_t* desc2 = desc1 + nsubs;

  double& t = slot(strm, n, KVT_SLOT_TEMPERATURE);
  double& p = slot(strm, n, KVT_SLOT_PRESSURE);
  switch (kspec) {
    case KVT_SPEC_PH: {
      spec2_ = slot(strm, n, KVT_SLOT_ENTHALPY);
      int64_t zero = 0;
      host_call("TEBU_SETH", out.label, TEBU_SETH, strm.data(), &nsubs, desc1, desc2, &zero);
      spec1_ = p;
      estimate_ = nsubs <= 1 ? t : Context::host_missing();
      break;
    }
    case KVT_SPEC_TP: spec1_ = t, spec2_ = p; break;
    case KVT_SPEC_PV: spec1_ = p, spec2_ = slot(strm, n, KVT_SLOT_VAPOUR_FRACTION), estimate_ = t; break;
    case KVT_SPEC_TH: spec1_ = t, spec2_ = slot(strm, n, KVT_SLOT_ENTHALPY), estimate_ = p; break;
    case KVT_SPEC_TV: spec1_ = t, spec2_ = slot(strm, n, KVT_SLOT_VAPOUR_FRACTION), estimate_ = p; break;
    default: break;
  }
  const bool vf_spec = kspec == KVT_SPEC_PV || kspec == KVT_SPEC_TV;
  const bool h_spec = kspec == KVT_SPEC_PH || kspec == KVT_SPEC_TH;
  if (vf_spec && spec2_ == Context::host_missing()) spec2_ = 0.0;
  out.spec1 = spec1_;
  out.spec2 = spec2_;
  // A flash result the host must write: the stream's vapour fraction, unless it is a specification.
  if (!vf_spec) slot(strm, n, KVT_SLOT_VAPOUR_FRACTION) = Context::host_missing();

  // The words the flash must write hold the marker; the areas it must leave are kept to compare.
  std::vector<MustWrite> must = mark ? words_to_mark() : std::vector<MustWrite>{};
  std::vector<std::pair<const Area*, std::vector<int64_t>>> kept;
  if (mark) {
    for (const MustWrite& w : must) *w.word = std::bit_cast<int64_t>(kMarker);
    if (!h_spec) slot(strm, n, KVT_SLOT_ENTHALPY) = kMarker;
    for (int k = 0; k < KVT_TABLE_PHASES; ++k) {
      for (int g : {KVT_STWORK_ENTHALPY, KVT_STWORK_VOLUME, KVT_STWORK_MOLWT}) {
        KVT_WORD(TEBU_STWORK, g + k) = std::bit_cast<int64_t>(kMarker);
      }
    }
    for (Comp c : {Comp::X, Comp::X1, Comp::X2, Comp::Y}) {
      for (int64_t i = 0; i < n; ++i) *cx_.real_ptr(comp_pos(c) + i) = kMarker;
    }
    KVT_WORD(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT) = std::bit_cast<int64_t>(kMarker);
    for (const auto* areas : {&layout_->host, &layout_->packed, &layout_->records}) {
      for (const Area& a : *areas) {
        if (a.flash_writes) continue;
        kept.emplace_back(&a, std::vector<int64_t>(cx_.int_ptr(a.first), cx_.int_ptr(a.first) + a.words));
      }
    }
  }

  const bool retained = record >= 0;
  const int64_t rlen = Context::stwork(KVT_STWORK_REAL_RECORD_WORDS);
  const int64_t ilen = Context::stwork(KVT_STWORK_INT_RECORD_WORDS);
  double* real_record = cx_.real_ptr(retained ? cx_.ihxpp(KVT_IHXPP_REAL_RECORDS) + record * rlen
                                              : Context::stwkwk(KVT_STWKWK_REAL_BASE) +
                                                    Context::stwork(KVT_STWORK_SCRATCH_REAL));
  int64_t* int_record = cx_.int_ptr(retained ? cx_.ihxpp(KVT_IHXPP_INT_RECORDS) + record * (ilen + 1)
                                             : Context::stwkwk(KVT_STWKWK_INT_BASE) +
                                                   Context::stwork(KVT_STWORK_SCRATCH_INT));
  int64_t retention = cx_.ihxpp(KVT_IHXPP_RETENTION), one = 1, judge_one = 1;
  int64_t status[3] = {kPoison, kPoison, kPoison};
  KVT_WORD(VOKA_FLSCOM, KVT_FLSCOM_CODE) = kPoison;
  KVT_WORD(VOKA_FLSCM2, KVT_FLSCM2_FAILED) = 0;
  host_call("WEND_FLASH", out.label, WEND_FLASH, strm.data(), &nsubs, desc1, desc2, options, &kspec, &kind, &nphase,
            &flash_option, &real_option, &spec1_, &spec2_, &estimate_, &option22, &option23, &retention, &one,
            real_record, int_record, &status[1]);
  out.status = status[1];
  out.status_in_place = status[0] == kPoison && status[2] == kPoison;
  out.judged = host_call("WEND_FLSTAT", out.label, WEND_FLSTAT, &judge_one, &status[1]);
  out.flscom = KVT_WORD(VOKA_FLSCOM, KVT_FLSCOM_CODE);
  out.flscm2 = KVT_WORD(VOKA_FLSCM2, KVT_FLSCM2_FAILED);
  KVT_WORD(VOKA_FLSCM2, KVT_FLSCM2_FAILED) = 0;  // as the library does after reading it

  if (mark && out.good()) {
    for (const MustWrite& w : must) {
      if (marked(std::bit_cast<double>(*w.word))) out.unwritten.push_back(w.name);
    }
    if (!h_spec && marked(slot(strm, n, KVT_SLOT_ENTHALPY))) {
      out.unwritten.push_back("stream slot NCOMP+" + num(KVT_SLOT_ENTHALPY) + " (enthalpy)");
    }
    const Split sp = split_of_last_flash();
    const int64_t count = std::clamp<int64_t>(Context::flash_count(), 0, n);
    const bool present[KVT_TABLE_PHASES] = {sp.vapour, sp.liquid, sp.liquid1 && !sp.l1_is_liquid, sp.liquid2};
    if (sp.liquid && marked(Context::stwkwk_real(KVT_STWKWK_LIQUID_SPLIT))) {
      out.unwritten.push_back("VOKA_STWKWK word " + num(KVT_STWKWK_LIQUID_SPLIT) + " (liquid split)");
    }
    for (const TablePhase& ph : kTablePhases) {
      if (!present[ph.offset]) continue;
      for (int g : {KVT_STWORK_ENTHALPY, KVT_STWORK_VOLUME, KVT_STWORK_MOLWT}) {
        if (marked(Context::stwork_real(g + ph.offset))) {
          out.unwritten.push_back("TEBU_STWORK word " + num(g + ph.offset) + " (" + ph.name + ")");
        }
      }
      for (int64_t i = 0; i < count; ++i) {
        if (!marked(cx_.plex_real(comp_pos(ph.comp) + i))) continue;
        out.unwritten.push_back(std::string("composition ") + comp_name(ph.comp) + " entry " + num(i + 1) + " (PLEX " +
                                num(comp_pos(ph.comp) + i) + ")");
      }
    }
    for (const auto& [area, before] : kept) {
      for (int64_t i = 0; i < area->words; ++i) {
        const int64_t now = VOKA_PLEX[area->first - 1 + i];
        if (now == before[static_cast<std::size_t>(i)]) continue;
        out.stray.push_back("PLEX " + num(area->first + i) + " (word " + num(i + 1) + " of " + area->name + "), " +
                            out.label + ": expected unchanged by the flash, " +
                            word_text(*area, before[static_cast<std::size_t>(i)]) + "; found " + word_text(*area, now));
        break;
      }
    }
  }
  out.strm = std::move(strm);
  return out;
}

FlashOutcome dry_flash(Context& cx, Flasher& flasher, int64_t k) {
  std::vector<double> strm = stream_vector(cx, k);
  for (int64_t j = 0; j <= cx.ncomp(); ++j) strm[static_cast<std::size_t>(j)] = 0.0;  // no flows, no total flow
  return flasher.flash(strm, KVT_SPEC_TP, stream_side(cx, k), -1, stream_label(cx.in, k) + " without flow");
}

std::vector<double> stream_vector(const Context& cx, int64_t k) {
  const kvt_hostcheck_stream& s = cx.in.streams[k];
  std::vector<double> v(s.strm, s.strm + s.nstrm);
  v.resize(static_cast<std::size_t>(s.nstrm + kGuardWords), kGuard);
  return v;
}

int64_t guard_breach(const std::vector<double>& strm, int64_t nstrm) {
  int64_t last = 0;
  for (int64_t i = nstrm; i < static_cast<int64_t>(strm.size()); ++i) {
    if (std::bit_cast<uint64_t>(strm[static_cast<std::size_t>(i)]) != std::bit_cast<uint64_t>(kGuard)) last = i + 1;
  }
  return last;
}

int64_t stream_side(const Context& cx, int64_t k) { return cx.in.streams[k].side == 1 ? 1 : 0; }

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

// The flash count and component-number list; true when the checks that read through the list can run.
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

void check_retention(Context& cx, const Layout& l, Flasher& flasher, int64_t record) {
  Report& r = cx.report;
  if (l.records.size() != 2) return;
  const Area& ints = l.records[0];
  const Area& reals = l.records[1];
  std::vector<int64_t> before(VOKA_PLEX + ints.first - 1, VOKA_PLEX + ints.last());
  std::vector<int64_t> before_real(VOKA_PLEX + reals.first - 1, VOKA_PLEX + reals.last());
  flasher.flash(stream_vector(cx, 0), 2, record / 5, record,
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
  const FlashOutcome f = dry_flash(cx, flasher, 0);
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

// Words a flash must write left holding the marker, and words it must leave changed.
void check_writes(Context& cx, const FlashOutcome& f) {
  Report& r = cx.report;
  r.exercised(Check::FlashWrites);
  for (const std::string& w : f.unwritten) {
    r.fail(Check::FlashWrites, w + ", " + f.label + ": expected rewritten by the flash (it held a marker before); "
                               "found the marker, so the library would read what an earlier flash left there");
  }
  for (const std::string& w : f.stray) r.fail(Check::FlashWrites, w);
}

// What a T-P flash at a flash's result gives: the flash agrees with it, and meets its specification.
void check_against_tp(Context& cx, Flasher& flasher, const FlashOutcome& f, int64_t side, const std::string& what) {
  Report& r = cx.report;
  const int64_t n = cx.ncomp();
  const double t = Context::stwkwk_real(KVT_STWKWK_TEMPERATURE), p = Context::stwkwk_real(KVT_STWKWK_PRESSURE);
  const double vf = Context::stwkwk_real(KVT_STWKWK_VAPOUR_FRACTION);
  const double h = f.strm[slot_index(n, KVT_SLOT_ENTHALPY)];
  std::vector<double> strm = f.strm;
  slot(strm, n, KVT_SLOT_TEMPERATURE) = t;
  slot(strm, n, KVT_SLOT_PRESSURE) = p;
  const FlashOutcome tp = flasher.flash(strm, KVT_SPEC_TP, side, -1, what);
  r.exercised(Check::FlashSpecs);
  const std::string at = " at " + num(t) + " K, " + num(p) + " Pa";
  if (!tp.good()) {
    r.fail(Check::FlashSpecs, "WEND_FLASH, " + tp.label + at + " (the result of the " + f.label + "): expected a good "
                              "flash; found it judged " + num(tp.judged));
    return;
  }
  const double tp_vf = Context::stwkwk_real(KVT_STWKWK_VAPOUR_FRACTION);
  const double tp_h = tp.strm[slot_index(n, KVT_SLOT_ENTHALPY)];
  if (!close(vf, tp_vf, 0.0, 1e-4)) {
    r.fail(Check::FlashSpecs, "vapour fraction (VOKA_STWKWK word 21) of the " + f.label + " and of a T-P flash" + at +
                                  " disagree: " + num(vf) + " and " + num(tp_vf));
  }
  const bool h_spec = f.kspec == KVT_SPEC_PH || f.kspec == KVT_SPEC_TH;
  const bool vf_spec = f.kspec == KVT_SPEC_PV || f.kspec == KVT_SPEC_TV;
  const double dh = 1e-4 * std::max(std::abs(tp_h), 1e4 * t);
  if (h_spec && !(std::abs(tp_h - f.spec2) <= dh)) {
    r.fail(Check::FlashSpecs, "enthalpy of a T-P flash at the result of the " + f.label + at + ": expected the "
                              "specified " + num(f.spec2) + " (stream slot NCOMP+4); found " + num(tp_h) +
                              ": the flash did not follow its enthalpy (a stale temperature, or TEBU_SETH)");
  } else if (!h_spec && !(std::abs(tp_h - h) <= dh)) {
    r.fail(Check::FlashSpecs, "enthalpy (stream slot NCOMP+4) of the " + f.label + " and of a T-P flash" + at +
                                  " disagree: " + num(h) + " and " + num(tp_h));
  }
  if (vf_spec && !close(tp_vf, f.spec2, 0.0, 1e-4)) {
    r.fail(Check::FlashSpecs, "vapour fraction of a T-P flash at the result of the " + f.label + at + ": expected "
                              "the specified " + num(f.spec2) + "; found " + num(tp_vf));
  }
}

// Flashes at specifications shifted from the stream's own: enthalpy +-5 %, vapour fraction 0.3 and 0.7.
void check_shifted(Context& cx, Flasher& flasher, int64_t k) {
  const int64_t n = cx.ncomp(), side = stream_side(cx, k);
  const std::vector<double> base = stream_vector(cx, k);
  const double h = base[slot_index(n, KVT_SLOT_ENTHALPY)];
  struct Shift {
    int64_t kspec;
    kvt_stream_slot s;
    double value;
    const char* what;
  };
  const double dh = std::max(0.05 * std::abs(h), 1e6);
  const Shift shifts[] = {{KVT_SPEC_PH, KVT_SLOT_ENTHALPY, h + dh, "enthalpy 5 % up"},
                          {KVT_SPEC_PH, KVT_SLOT_ENTHALPY, h - dh, "enthalpy 5 % down"},
                          {KVT_SPEC_PV, KVT_SLOT_VAPOUR_FRACTION, 0.3, "vapour fraction 0.3"},
                          {KVT_SPEC_PV, KVT_SLOT_VAPOUR_FRACTION, 0.7, "vapour fraction 0.7"},
                          {KVT_SPEC_TV, KVT_SLOT_VAPOUR_FRACTION, 0.3, "vapour fraction 0.3"},
                          {KVT_SPEC_TV, KVT_SLOT_VAPOUR_FRACTION, 0.7, "vapour fraction 0.7"}};
  for (const Shift& sh : shifts) {
    std::vector<double> strm = base;
    slot(strm, n, sh.s) = sh.value;
    const std::string label = stream_label(cx.in, k) + " at " + sh.what;
    const FlashOutcome f = flasher.flash(strm, sh.kspec, side, -1, label);
    // A specification the host cannot meet (no bubble point above the critical point) is its to refuse.
    if (!f.good()) continue;
    check_against_tp(cx, flasher, f, side, label);
  }
}

}  // namespace

void check_flashes(Context& cx, const Layout& layout, Check only) {
  Flasher flasher(cx, &layout);
  const bool mark = only == Check::FlashWrites;
  for (int64_t k = 0; only != Check::Retention && k < cx.in.nstreams; ++k) {
    const kvt_hostcheck_stream& s = cx.in.streams[k];
    for (int64_t kspec = KVT_SPEC_PH; kspec <= KVT_SPEC_TV; ++kspec) {
      const FlashOutcome f = flasher.flash(stream_vector(cx, k), kspec, stream_side(cx, k), -1,
                                           stream_label(cx.in, k), mark);
      if (only == Check::FlashStatus) check_status(cx, f);
      // A flash the host judges failed leaves nothing the library's caller may read.
      if (!f.good()) continue;
      const Split sp = split_of_last_flash();
      switch (only) {
        case Check::FlashConditions: check_conditions(cx, f); break;
        case Check::FlashWrites: check_writes(cx, f); break;
        case Check::PhaseSplit: check_split(cx, f); break;
        case Check::StreamTotals: check_totals(cx, f, sp); break;
        case Check::FlashSpecs: check_against_tp(cx, flasher, f, stream_side(cx, k), stream_label(cx.in, k)); break;
        case Check::ComponentList: check_component_list(cx, f, s); break;
        case Check::Compositions:
          if (check_component_list(cx, f, s)) check_compositions(cx, f, s, sp);
          break;
        case Check::PhaseTable:
          if (check_component_list(cx, f, s)) check_table(cx, f, sp);
          break;
        default: break;
      }
    }
    if (only == Check::FlashSpecs) check_shifted(cx, flasher, k);
  }
  if (only == Check::Retention && cx.ihxpp(KVT_IHXPP_RETENTION) != 0) {
    for (int64_t record = 0; record < kRecords; ++record) check_retention(cx, layout, flasher, record);
  }
  if (only == Check::FlashStatus) check_failed_flash(cx, flasher);
}

}  // namespace kvt::hostcheck
