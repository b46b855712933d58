#include "monitor.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

#include "monitor_probe.h"

namespace kvt::hostcheck {

namespace {

// The components' molecular weights tell water (18.015 kg/kmol) from the rest: the checker has no
// component names.
int64_t water_position(const Context& cx, const int64_t* list, int64_t n) {
  for (int64_t i = 0; i < n; ++i) {
    if (std::abs(cx.plex_real(molwt_pos(list[i])) - 18.015) < 0.01) return i + 1;
  }
  return 0;
}

// Which phases the setup's streams gave, over every stream.
struct Seen {
  bool vapour = false, liquid = false, liquid2 = false, water = false;
};

// The phases the last flash left, as the library's property routines hand them to the monitor: the
// option copies with the water rule, and NERO_IDXWAT's answer and the position it must give.
struct Flashed {
  Probe probe;
  PhaseCall phases[3];
  bool present[3];
  int64_t water, expected_water;
};

std::optional<Flashed> flashed(Context& cx, const FlashOutcome& f, int64_t side, const std::string& label) {
  const int64_t n = Context::flash_count();
  // Without a good flash and a flash count in range there is nothing the library would hand the monitor.
  if (!f.good() || n < 1 || n > cx.ncomp()) return std::nullopt;
  const Split sp = split_of_last_flash();
  Flashed fl{{cx, label, Context::stwkwk_real(KVT_STWKWK_TEMPERATURE), Context::stwkwk_real(KVT_STWKWK_PRESSURE), n,
              cx.int_ptr(complist_pos()), cx.ihxpp(KVT_IHXPP_MONITOR), cx.ihxpp(KVT_IHXPP_COMMON)},
             {{"vapour", comp_pos(Comp::Y), KVT_TABLE_VAPOUR, {}, false},
              {"first liquid", comp_pos(sp.l1_is_liquid ? Comp::X : Comp::X1),
               sp.l1_is_liquid ? KVT_TABLE_LIQUID : KVT_TABLE_LIQUID1, {}, true},
              {"second liquid", comp_pos(Comp::X2), KVT_TABLE_LIQUID2, {}, true}},
             {sp.vapour, sp.liquid1, sp.liquid2}, 0, 0};
  Probe& probe = fl.probe;
  // NERO_IDXWAT is exercised on every stream; the library calls it when a side's water rule is on.
  fl.expected_water = water_position(cx, probe.list, n);
  fl.water = host_call("NERO_IDXWAT", probe.label, NERO_IDXWAT, probe.list, &probe.n);
  int64_t water = fl.water;
  const int base = static_cast<int>(side) * KVT_SIDE_STRIDE_I;
  if (cx.ihxpp(base + KVT_IHXPP_WATER) != 1 || water < 1 || water > n) water = 0;
  // The option copies, with the water rule: a liquid of pure water takes option word 5 for word 1.
  for (PhaseCall& ph : fl.phases) {
    for (int w = 0; w < 6; ++w) ph.options[w] = cx.ihxpp(base + KVT_IHXPP_OPTION_LIST + w);
    if (ph.liquid && water > 0 && cx.plex_real(ph.pos + water - 1) == 1.0) ph.options[0] = ph.options[4];
  }
  return fl;
}

// The second pressure of the property probes: where a gas's properties in a wrong unit (a viscosity in cP
// above 10 bar) show.
constexpr double kSecondPressure = 3e6;  // Pa

// pressure > 0: the stream flashed at that pressure instead of its own (its properties probed there).
void check_stream(Context& cx, Flasher& flasher, int64_t k, Check only, Seen& seen, double pressure = 0.0) {
  const int64_t side = stream_side(cx, k);
  std::vector<double> strm = stream_vector(cx, k);
  std::string label = stream_label(cx.in, k);
  if (pressure > 0.0) {
    slot(strm, cx.ncomp(), KVT_SLOT_PRESSURE) = pressure;
    label += " flashed at " + num(pressure / 1e5) + " bar";
  }
  const FlashOutcome f = flasher.flash(strm, KVT_SPEC_TP, side, -1, label);
  std::optional<Flashed> fl = flashed(cx, f, side, label);
  if (!fl) return;
  Probe& probe = fl->probe;
  probe.finite_only = pressure > 0.0;
  const int64_t n = probe.n;
  const Split sp = split_of_last_flash();
  seen.vapour |= sp.vapour;
  seen.liquid |= sp.liquid1 || sp.liquid2;
  seen.liquid2 |= sp.liquid1 && sp.liquid2;
  seen.water |= fl->expected_water > 0;
  const int64_t water = fl->water, expected_water = fl->expected_water;
  if (only == Check::PropertyValues) {
    cx.report.exercised(Check::PropertyValues);
    if (expected_water > 0 && water != expected_water) {
      cx.report.fail(Check::PropertyValues, "NERO_IDXWAT, " + probe.label + ": expected " + num(expected_water) +
                                            ", the position of water (component " +
                                            num(probe.list[expected_water - 1]) + ", 18.015 kg/kmol) in the "
                                            "component-number list; found " + num(water));
    } else if (expected_water == 0 && water > 0) {
      cx.report.fail(Check::PropertyValues, "NERO_IDXWAT, " + probe.label + ": expected 0 or less, no water in the "
                                            "component-number list; found " + num(water));
    }
  }
  // A routine that broke in an earlier check is left out; the phase's other routines are still checked.
  const auto guarded = [&](auto&& call) {
    try {
      call();
    } catch (const BrokenRoutine& b) {
      cx.report.remark(only, not_called(b));
    }
  };
  for (int i = 0; i < 3; ++i) {
    if (!fl->present[i]) continue;
    PhaseCall& ph = fl->phases[i];
    switch (only) {
      case Check::HeatCapacity: guarded([&] { probe.check_enthalpy(ph); }); break;
      case Check::Sweep: guarded([&] { probe.check_sweep(ph); }); break;
      case Check::CompositionUse: probe.check_composition_use(ph, guarded); break;
      case Check::PropertyValues:
      case Check::ErrorFlags:
      case Check::Units: {
        if (only == Check::PropertyValues) guarded([&] { probe.check_enthalpy(ph); });
        if (only == Check::Units) guarded([&] { probe.check_bands(ph); });
        for (const TransportCall& call : kVapourTransport) {
          if (!ph.liquid) guarded([&] { probe.check_transport(ph, call, only); });
        }
        for (const TransportCall& call : kLiquidTransport) {
          if (ph.liquid) guarded([&] { probe.check_transport(ph, call, only); });
        }
        if (!ph.liquid || only == Check::ErrorFlags || pressure > 0.0) break;
        for (int64_t j = 0; j < n; ++j) {
          if (only == Check::PropertyValues && cx.plex_real(comp_pos(Comp::Y) + j) > kPresent) {
            guarded([&] { probe.check_pure(ph, probe.list + j); });
          }
          if (only == Check::Units && cx.plex_real(ph.pos + j) > 1e-3) {
            guarded([&] { probe.check_vaporisation(ph, probe.list + j); });
          }
        }
        break;
      }
      default: break;
    }
  }
}

// What the library reads after a flash, word by word, and what the monitor answers for each phase then.
using Snapshot = std::vector<std::pair<std::string, double>>;

Snapshot snapshot(Context& cx, const FlashOutcome& f, int64_t side, const std::string& label, Snapshot& properties) {
  Snapshot words;
  const auto add = [&](std::string name, double v) { words.emplace_back(std::move(name), v); };
  for (int w : {KVT_STWKWK_TEMPERATURE, KVT_STWKWK_PRESSURE, KVT_STWKWK_VAPOUR_FRACTION}) {
    add("VOKA_STWKWK word " + num(w), Context::stwkwk_real(w));
  }
  add("VOKA_STWKWK word 3 (flash count)", static_cast<double>(Context::flash_count()));
  const int64_t n = std::clamp<int64_t>(Context::flash_count(), 0, cx.ncomp());
  for (int64_t i = 0; i < n; ++i) {
    add("component-number list entry " + num(i + 1), static_cast<double>(cx.plex_int(complist_pos() + i)));
  }
  // Each present phase's composition and phase-table words, as the library reads them.
  const Split sp = split_of_last_flash();
  const std::pair<Comp, int> phases[] = {{Comp::Y, sp.vapour ? KVT_TABLE_VAPOUR : -1},
                                         {Comp::X, sp.liquid ? KVT_TABLE_LIQUID : -1},
                                         {Comp::X1, sp.liquid1 && !sp.l1_is_liquid ? KVT_TABLE_LIQUID1 : -1},
                                         {Comp::X2, sp.liquid2 ? KVT_TABLE_LIQUID2 : -1}};
  for (const auto& [c, table] : phases) {
    if (table < 0) continue;
    for (int64_t i = 0; i < n; ++i) {
      add(std::string("composition ") + comp_name(c) + " entry " + num(i + 1) + " (PLEX " + num(comp_pos(c) + i) + ")",
          cx.plex_real(comp_pos(c) + i));
    }
    for (int g : {KVT_STWORK_ENTHALPY, KVT_STWORK_VOLUME, KVT_STWORK_MOLWT}) {
      add("TEBU_STWORK word " + num(g + table), Context::stwork_real(g + table));
    }
  }
  std::optional<Flashed> fl = flashed(cx, f, side, label);
  for (int i = 0; fl && i < 3; ++i) {
    if (!fl->present[i]) continue;
    const PhaseCall& ph = fl->phases[i];
    double h = 0.0, cp = 0.0;
    fl->probe.enthalpy(ph, fl->probe.t, h, cp);
    properties.emplace_back(fl->probe.at(ph.enthalpy_name(), ph, fl->probe.t) + " (heat capacity)", cp);
    for (const TransportCall& call : transports(ph.liquid)) {
      if (broken_routines().count(call.name) != 0) continue;  // left out, as the checks before say
      int64_t ierr = 0;
      properties.emplace_back(fl->probe.at(call.name, ph, fl->probe.t), fl->probe.transport(ph, call, fl->probe.t, ierr));
    }
  }
  return words;
}

bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || close(a, b, 1e-6, 1e-12); }

// The first entry of b that differs from a's, as "<name>: expected <a> as after the flash alone; found <b>", and
// how many more differ.
std::string first_difference(const Snapshot& a, const Snapshot& b, int64_t& more) {
  std::string first;
  more = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i].first == b[i].first && same(a[i].second, b[i].second)) continue;
    if (!first.empty()) {
      ++more;
      continue;
    }
    first = b[i].first + ": expected " + num(a[i].second) + " as after the flash alone; found " + num(b[i].second);
  }
  return first;
}

// Stream k flashed alone, then after a flash of another stream and a failed flash: what the library reads, and
// the monitor's answers from it, must be the same.
void check_after_failure(Context& cx, Flasher& flasher, int64_t k) {
  const int64_t side = stream_side(cx, k), other = (k + 1) % cx.in.nstreams;
  const std::string label = stream_label(cx.in, k);
  Snapshot alone_props, after_props;
  const FlashOutcome alone = flasher.flash(stream_vector(cx, k), KVT_SPEC_TP, side, -1, label);
  if (!alone.good()) return;
  const Snapshot alone_words = snapshot(cx, alone, side, label, alone_props);
  flasher.flash(stream_vector(cx, other), KVT_SPEC_TP, stream_side(cx, other), -1, stream_label(cx.in, other));
  if (dry_flash(cx, flasher, k).good()) return;  // flash-status reports a flash without flow judged good
  const FlashOutcome after = flasher.flash(stream_vector(cx, k), KVT_SPEC_TP, side, -1, label);
  cx.report.exercised(Check::AfterFailure);
  const std::string what = "the T-P flash of " + label + " after a flash of " + stream_label(cx.in, other) +
                           " and a failed flash";
  if (!after.good()) {
    cx.report.fail(Check::AfterFailure, "WEND_FLSTAT, " + what + ": expected 1 (a good flash), as for the flash "
                                        "alone; found " + num(after.judged) + ": a failed flash spoils the next one");
    return;
  }
  const Snapshot after_words = snapshot(cx, after, side, label, after_props);
  int64_t more_words = 0, more_props = 0;
  const std::string word = first_difference(alone_words, after_words, more_words);
  const std::string prop = first_difference(alone_props, after_props, more_props);
  if (!word.empty()) {
    cx.report.fail(Check::AfterFailure, word + ", " + what + ": the flash after a failed one left it stale" +
                                            (more_words > 0 ? " (and " + num(more_words) + " more words)" : "") +
                                            (prop.empty() ? "" : "; so " + prop));
  } else if (!prop.empty()) {
    cx.report.fail(Check::AfterFailure, prop + ", " + what + " (the words the library reads are the same): the "
                                            "property monitor answers from a state the failed flash left" +
                                            (more_props > 0 ? " (and " + num(more_props) + " more properties)" : ""));
  }
}

}  // namespace

namespace {

// A vapour at low pressure is near ideal: its molar volume within 10 % of RT/P.
void check_ideal_gas(Context& cx, Flasher& flasher, int64_t k) {
  constexpr double kLowPressure = 100.0;  // Pa
  const int64_t n = cx.ncomp();
  std::vector<double> strm = stream_vector(cx, k);
  const double t = slot(strm, n, KVT_SLOT_TEMPERATURE);
  slot(strm, n, KVT_SLOT_PRESSURE) = kLowPressure;
  const FlashOutcome f = flasher.flash(strm, KVT_SPEC_TP, stream_side(cx, k), -1, stream_label(cx.in, k) +
                                       " at " + num(kLowPressure) + " Pa");
  if (!f.good() || !split_of_last_flash().vapour) return;
  cx.report.exercised(Check::Units);
  const int word = int{KVT_STWORK_VOLUME} + KVT_TABLE_VAPOUR;
  const double v = Context::stwork_real(word);
  const double ideal = kGasConstant * t / kLowPressure;
  if (!(std::abs(v - ideal) <= 0.1 * ideal)) {
    cx.report.fail(Check::Units, "TEBU_STWORK word " + num(word) + " (vapour molar "
                                 "volume), " + f.label + " at " + num(t) + " K: expected within 10 % of the ideal "
                                 "gas's RT/P = " + num(ideal) + " m3/kmol; found " + num(v));
  }
}

void check_coverage(Context& cx, const Seen& seen) {
  Report& r = cx.report;
  r.exercised(Check::Coverage, cx.in.nstreams);
  if (!seen.vapour) {
    r.fail(Check::Coverage, "GOSA_ENTHV, GOSA_TCONV, GOSA_VISCV: expected called for a vapour; found no stream of the "
                            "setup with a vapour phase (add a vapour or vapour-liquid stream)");
  }
  if (!seen.liquid) {
    r.fail(Check::Coverage, "GOSA_ENTHL, GOSA_TCONL, GOSA_VISCL, GOSA_SRFTEN, GOSA_VTHRM, GOSA_LTHRM, LORI_PL001: "
                            "expected called for a liquid; found no stream of the setup with a liquid phase (add a "
                            "liquid or vapour-liquid stream)");
  }
  if (!seen.liquid2) {
    r.remark(Check::Coverage, "no stream has a second liquid: the second-liquid words are not checked");
  }
  if (!seen.water) r.remark(Check::Coverage, "no stream holds water: NERO_IDXWAT is not checked with water present");
  r.remark(Check::Coverage, "not called by the checker: WEND_CRTCAL, TEBU_CPACK, MUTO_PEQPT1 (UNIT_WRITE: by trace)");
}

}  // namespace

void check_monitor(Context& cx, Check only) {
  Flasher flasher(cx);
  Seen seen, elsewhere;
  for (int64_t k = 0; k < cx.in.nstreams; ++k) {
    if (only == Check::AfterFailure) {
      check_after_failure(cx, flasher, k);
      continue;
    }
    check_stream(cx, flasher, k, only, seen);
    if (only != Check::Units) continue;
    check_ideal_gas(cx, flasher, k);
    const double p = cx.in.streams[k].strm[slot_index(cx.ncomp(), KVT_SLOT_PRESSURE)];
    check_stream(cx, flasher, k, only, elsewhere, std::max(kSecondPressure, 2.0 * p));
  }
  if (only == Check::Coverage) check_coverage(cx, seen);
}

}  // namespace kvt::hostcheck
