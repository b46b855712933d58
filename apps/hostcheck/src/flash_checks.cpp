// The checks across flashes: each flash kind of every stream (with the checks of flash_leaves.cpp),
// T-P flashes at their results, shifted specifications, the retention records, a failed flash.
#include "flash_leaves.h"

#include <algorithm>
#include <cmath>

namespace kvt::hostcheck {

namespace {

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
