#include "setup.h"

#include <chrono>
#include <cstdint>
#include <map>

#include "flash_probe.h"
#include "isolate.h"

#if !defined(_WIN32)
#  include <dlfcn.h>
#  include <link.h>
#endif

namespace kvt::hostcheck {

namespace {

// The flashes and property calls of a whole run, for a stream count: what the time of one flash scales.
int64_t flashes_of_a_run(const Context& cx) {
  const int64_t ns = cx.in.nstreams;
  const int64_t retention = cx.ihxpp(KVT_IHXPP_RETENTION) != 0 ? kRecords : 0;
  // setup 1, eight flash checks 5 each (+1 without flow), flash-specs 22, after-failure 4, monitor checks 9
  return ns * (1 + 8 * 5 + 22 + 4 + 9) + 1 + retention;
}

std::string duration_text(double seconds) {
  if (seconds < 1.0) return num(static_cast<int64_t>(seconds * 1000.0 + 0.5)) + " ms";
  if (seconds < 120.0) return num(static_cast<int64_t>(seconds + 0.5)) + " s";
  return num(static_cast<int64_t>(seconds / 60.0 + 0.5)) + " min";
}

// The areas the setup places past the end of the host's work array.
std::string areas_past(const Layout& l, int64_t owned) {
  std::string past;
  for (const auto* areas : {&l.host, &l.packed, &l.records}) {
    for (const Area& a : *areas) {
      if (a.last() > owned) past += (past.empty() ? "" : ", ") + a.name + " at " + where(a);
    }
  }
  return past.empty() ? "none yet, but the host and the library take the declared length as theirs" : past;
}

}  // namespace

int64_t owned_plex_words() {
#if defined(_WIN32)
  return 0;
#else
  Dl_info info{};
  ElfW(Sym)* sym = nullptr;
  if (dladdr1(static_cast<const void*>(VOKA_PLEX), &info, reinterpret_cast<void**>(&sym), RTLD_DL_SYMENT) == 0 ||
      sym == nullptr || info.dli_saddr != static_cast<void*>(VOKA_PLEX)) {
    return 0;
  }
  return static_cast<int64_t>(sym->st_size / sizeof(int64_t));
#endif
}

void check_setup(Context& cx, const Layout& layout) {
  Report& r = cx.report;
  const int64_t declared = cx.in.plex_words, owned = owned_plex_words();
  r.exercised(Check::Setup);
  if (owned > 0 && declared > owned) {
    r.fail(Check::Setup, "plex_words: expected at most the " + num(owned) + " words of the host's VOKA_PLEX (the "
                         "size of its symbol); found " + num(declared) + ": the setup declares a longer work array "
                         "than the host owns. Past its end: " + areas_past(layout, owned));
    return;
  }
  if (owned == 0) {  // the platform does not tell the size: the last declared word must be the host's
    begin_call("VOKA_PLEX", "its last declared word, PLEX " + num(declared) + " (plex_words): the setup declares "
               "a longer work array than the host owns");
    volatile int64_t* last = VOKA_PLEX + (declared - 1);
    *last = *last;
    end_call();
  }
  if (!inside_work_array(cx, layout)) return;  // positions reports it; a flash would write outside
  Flasher flasher(cx);
  std::map<std::string, std::vector<int64_t>> breaches;  // finding without its stream -> the streams
  double first_seconds = -1.0;
  for (int64_t k = 0; k < cx.in.nstreams; ++k) {
    const int64_t nstrm = cx.in.streams[k].nstrm;
    const auto started = std::chrono::steady_clock::now();
    const FlashOutcome f = flasher.flash(stream_vector(cx, k), KVT_SPEC_TP, stream_side(cx, k), -1, "");
    if (first_seconds < 0.0) {
      first_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    r.exercised(Check::Setup);
    const int64_t slot = guard_breach(f.strm, nstrm);
    if (slot == 0) continue;
    breaches["stream vector: WEND_FLASH (" + f.label.substr(2) + ") wrote slot " + num(slot) + " (NCOMP+" +
             num(slot - cx.ncomp()) + "), past the " + num(nstrm) + " slots the setup gives (nstrm): the host's "
             "stream vectors are longer than the setup says; give nstrm as the host's own length"]
        .push_back(k);
  }
  for (const auto& [finding, streams] : breaches) {
    std::string which;
    for (int64_t k : streams) which += (which.empty() ? "" : ", ") + stream_label(cx.in, k);
    r.fail(Check::Setup, finding + " (" + which + ")");
  }
  if (first_seconds >= 0.0) {
    const int64_t flashes = flashes_of_a_run(cx);
    r.remark(Check::Setup, "the first flash took " + duration_text(first_seconds) + "; the checks make about " +
                               num(flashes) + " flashes: about " + duration_text(first_seconds * flashes) +
                               " for the whole run at that pace");
  }
}

void check_trace(Context& cx) {
  Report& r = cx.report;
  const int64_t* words = cx.in.hxoutp;
  int other = 0;
  for (int w = 2; w <= 4 && other == 0; ++w) other = words[w - 1] != 0 ? w : 0;
  if (words[0] == 0 && other == 0) {
    r.remark(Check::Trace, "KVT_HXOUTP not given (all 0): the trace path is not checked");
    return;
  }
  r.exercised(Check::Trace);
  if (words[0] == 0) {
    r.fail(Check::Trace, "KVT_HXOUTP word 1: expected the trace unit, the one word the library reads; found 0 while "
                         "word " + num(other) + " holds " + num(words[other - 1]) + ": a switched-on trace goes to "
                         "unit 0");
    return;
  }
  if (words[0] < INT32_MIN || words[0] > INT32_MAX) {
    r.fail(Check::Trace, "KVT_HXOUTP word 1: expected a unit number UNIT_WRITE takes (a 32-bit integer); found " +
                             num(words[0]));
    return;
  }
  const auto unit = static_cast<int32_t>(words[0]);
  const std::string text = " ***** kvt-hostcheck: a trace line on unit " + num(words[0]);
  const auto nchar = static_cast<int64_t>(text.size());
  host_call("UNIT_WRITE", "a trace line on unit " + num(words[0]), UNIT_WRITE, &unit, text.c_str(), &nchar);
}

}  // namespace kvt::hostcheck
