// kvt_hostcheck_run: the checker's one entry point. Each check runs in a process of its own and its
// lines are written as soon as it finishes.
#include <cstdio>
#include <set>

#include "flash_probe.h"
#include "isolate.h"
#include "kvt/hostcheck.h"
#include "layout.h"
#include "monitor.h"
#include "report.h"
#include "setup.h"
#include "store.h"

namespace kvt::hostcheck {

namespace {

constexpr double kDefaultCallSeconds = 10.0;

// Input the checks cannot start from; the report then says why and fails every check.
std::string unusable(const kvt_hostcheck_input& in) {
  const int64_t ncomp = KVT_WORD(VOKA_NCOMP, KVT_NCOMP_COUNT);
  if (in.plex_words < 1) return "plex_words is " + num(in.plex_words) + ": the work array's length is needed";
  if (ncomp < 1) return "VOKA_NCOMP word 1 is " + num(ncomp) + ": the host has no component set";
  if (in.nstreams < 1 || in.streams == nullptr) return "no stream vectors were given";
  for (int64_t k = 0; k < in.nstreams; ++k) {
    const kvt_hostcheck_stream& s = in.streams[k];
    if (s.strm == nullptr || s.nstrm < ncomp + KVT_STREAM_SLOTS) {
      return stream_label(in, k) + " has " + num(s.nstrm) + " slots: a stream vector needs NCOMP + 9 = " +
             num(ncomp + KVT_STREAM_SLOTS);
    }
    double flow = 0.0;
    for (int64_t j = 0; j < ncomp; ++j) flow += s.strm[j];
    if (!(flow > 0.0)) return stream_label(in, k) + " has no flow";
  }
  return {};
}

// The work of one check, in its own process.
void run_check(Context& cx, Check c) {
  const Layout layout = lay_out(cx);
  switch (c) {
    case Check::Setup: check_setup(cx, layout); break;
    case Check::Trace: check_trace(cx); break;
    case Check::Positions:
    case Check::HostAreas:
    case Check::PackedLists: check_layout(cx, layout); break;
    case Check::Retention:
      check_layout(cx, layout);
      check_flashes(cx, layout, c);
      break;
    case Check::HeatCapacity:
    case Check::PropertyValues:
    case Check::ErrorFlags:
    case Check::Units:
    case Check::Sweep:
    case Check::AfterFailure:
    case Check::CompositionUse:
    case Check::Coverage: check_monitor(cx, c); break;
    default: check_flashes(cx, layout, c); break;
  }
}

// One check's part of the report, from a fresh report: what a check's own process hands back.
std::string check_report(const kvt_hostcheck_input& in, Check c) {
  Report own;
  Context cx{in, own};
  try {
    run_check(cx, c);
  } catch (const BrokenRoutine& b) {
    own.skip(c, not_called(b));
  }
  return own.serialise(c);
}

}  // namespace

}  // namespace kvt::hostcheck

extern "C" KVT_HOSTCHECK_API int64_t kvt_hostcheck_run(const kvt_hostcheck_input* input, kvt_hostcheck_writer write,
                                                       void* context) {
  using namespace kvt::hostcheck;
  Report report;
  const kvt_hostcheck_input& in = *input;
  // A check's own process started again (Windows): that check alone, its report after the marker.
  if (const std::string only = child_check(); !only.empty()) {
    for (int k = 0; k < kChecks; ++k) {
      const auto c = static_cast<Check>(k);
      if (only != check_name(c)) continue;
      std::printf("%s\n%s", kChildMarker, check_report(in, c).c_str());
      std::fflush(stdout);
    }
    return 0;
  }
  Report::write_line("kvt-hostcheck: NCOMP " + num(KVT_WORD(VOKA_NCOMP, KVT_NCOMP_COUNT)) + ", work array of " +
                         num(in.plex_words) + " words, " + num(in.nstreams) + " streams",
                     write, context);
  const std::string why = unusable(in);
  if (!why.empty()) {
    for (int k = 0; k < kChecks; ++k) {
      report.fail(static_cast<Check>(k), "not run: " + why);
      report.write_check(static_cast<Check>(k), write, context);
    }
    if (in.json_file != nullptr) report.write_json(in.json_file, in);
    return report.write_summary(write, context);
  }
  const double call_seconds = in.call_seconds > 0.0 ? in.call_seconds : kDefaultCallSeconds;
  // The host's own flash would read and write outside its work array: nothing to learn from it.
  bool inside = true;
  {
    Report layout_report;
    Context cx{in, layout_report};
    inside = inside_work_array(cx, lay_out(cx));
  }
  // Checks whose one finding is a routine that broke: what depends on them still runs, without that routine.
  std::set<Check> only_broke;
  for (int k = 0; k < kChecks; ++k) {
    const auto c = static_cast<Check>(k);
    std::string skipped;
    for (Check d : depends_on(c)) {
      const bool wrong = (report.failed(d) && only_broke.count(d) == 0) || report.folded(d) || report.skipped(d);
      if (skipped.empty() && wrong) skipped = std::string("depends on ") + check_name(d);
    }
    if (skipped.empty() && !inside && c >= Check::FlashStatus && c != Check::Trace) {
      skipped = "depends on positions: a host area or retention record lies outside the work array";
    }
    if (!skipped.empty()) {
      report.skip(c, skipped);
      report.write_check(c, write, context);
      continue;
    }
    const Isolated out = run_isolated([&] { return check_report(in, c); }, call_seconds, check_name(c));
    report.merge(c, out.output);
    if (!out.fault.empty()) {
      report.fail(c, out.fault);
      // A setup that faults is the setup's fault, whatever routine was running.
      if (!out.routine.empty() && c != Check::Setup) {
        broken_routines()[out.routine] = check_name(c);
        only_broke.insert(c);
      }
    }
    // One mistake, one finding: a failure that follows from an earlier check's is folded under it.
    for (Check d : follows_from(c)) {
      if (report.failed(c) && report.failed(d) && only_broke.count(d) == 0) report.fold(c, d);
    }
    report.write_check(c, write, context);
  }
  broken_routines().clear();
  if (in.json_file != nullptr && !report.write_json(in.json_file, in)) {
    Report::write_line(std::string("kvt-hostcheck: cannot write the JSON report ") + in.json_file, write, context);
  }
  return report.write_summary(write, context);
}
