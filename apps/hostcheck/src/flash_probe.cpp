// Running a flash of the host the way KVT_HXFLSH does, with its words marked and watched; the checks
// on what it leaves are in flash_leaves.cpp, the checks across flashes in flash_checks.cpp.
#include "flash_probe.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "isolate.h"

namespace kvt::hostcheck {

namespace {

const char* const kSpecNames[6] = {"", "P-H", "T-P", "P-vapour fraction", "T-H", "T-vapour fraction"};
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

}  // namespace kvt::hostcheck
