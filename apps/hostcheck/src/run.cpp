// kvt_hostcheck_run: the checker's one entry point.
#include "flash_probe.h"
#include "kvt/hostcheck.h"
#include "layout.h"
#include "monitor.h"
#include "report.h"
#include "store.h"

namespace kvt::hostcheck {

namespace {

// Input the checks cannot start from; the report then says why and fails every check.
std::string unusable(const kvt_hostcheck_input& in) {
  const int64_t ncomp = VOKA_NCOMP[0];
  if (in.plex_words < 1) return "plex_words is " + num(in.plex_words) + ": the work array's length is needed";
  if (ncomp < 1) return "VOKA_NCOMP word 1 is " + num(ncomp) + ": the host has no component set";
  if (in.nstreams < 1 || in.streams == nullptr) return "no stream vectors were given";
  for (int64_t k = 0; k < in.nstreams; ++k) {
    const kvt_hostcheck_stream& s = in.streams[k];
    if (s.strm == nullptr || s.nstrm < ncomp + 9) {
      return stream_label(in, k) + " has " + num(s.nstrm) + " slots: a stream vector needs NCOMP + 9 = " +
             num(ncomp + 9);
    }
    double flow = 0.0;
    for (int64_t j = 0; j < ncomp; ++j) flow += s.strm[j];
    if (!(flow > 0.0)) return stream_label(in, k) + " has no flow";
  }
  return {};
}

}  // namespace

}  // namespace kvt::hostcheck

extern "C" KVT_HOSTCHECK_API int64_t kvt_hostcheck_run(const kvt_hostcheck_input* input, kvt_hostcheck_writer write,
                                                       void* context) {
  using namespace kvt::hostcheck;
  Report report;
  const kvt_hostcheck_input& in = *input;
  const std::string heading = "kvt-hostcheck: NCOMP " + num(VOKA_NCOMP[0]) + ", work array of " +
                              num(in.plex_words) + " words, " + num(in.nstreams) + " streams";
  const std::string why = unusable(in);
  if (!why.empty()) {
    for (int k = 0; k < kChecks; ++k) report.fail(static_cast<Check>(k), "not run: " + why);
    return report.write(heading, write, context);
  }
  Context cx{in, report};
  const Layout layout = lay_out(cx);
  check_layout(cx, layout);
  if (inside_work_array(cx, layout)) {
    check_flashes(cx, layout);
    check_monitor(cx);
  } else {
    // The host's own flash would read and write outside its work array: nothing to learn from it.
    for (int k = static_cast<int>(Check::FlashStatus); k < kChecks; ++k) {
      report.fail(static_cast<Check>(k), "not run: a host area or retention record lies outside the work array");
    }
  }
  return report.write(heading, write, context);
}
