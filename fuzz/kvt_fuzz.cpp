// libFuzzer entry: one input lays out the host's store and runs a short sequence of calls of the
// library's routines with hostile codes, stream values, counts, host outputs and block contents.
//
// Besides AddressSanitizer (the work array is poisoned but for the words the routine may touch, the
// stream vector is a heap block of its exact length, every output argument a variable of its own)
// and UndefinedBehaviorSanitizer, each call is checked for what it may change in the stream vector
// and the library's blocks, and arguments a routine never reads point at poisoned memory.
#include <sanitizer/asan_interface.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "fuzz_host.h"
#include "input.h"
#include "kvt/kvt.h"

namespace kvt::fuzz {

namespace {

// Eight poisoned bytes handed for every argument a routine does not read.
alignas(32) int64_t unread_words[4];
const int64_t* unread() {
  static const bool poisoned = [] {
    ASAN_POISON_MEMORY_REGION(unread_words, sizeof unread_words);
    return true;
  }();
  (void)poisoned;
  return unread_words;
}

[[noreturn]] void fail(Routine r, const char* what) {
  std::fprintf(stderr, "kvt fuzz: routine %d: %s\n", static_cast<int>(r), what);
  std::abort();
}

// The library's blocks, word by word.
struct LibraryBlocks {
  int64_t ihxpp[28], hxpkv[16], hxsbd[4], hxstrb[4], hximss[4], hxpdbg[28], hxoutp[4];
  double rhxpp[8], hxrmss[4], hxrmin[4];
  static LibraryBlocks take() {
    LibraryBlocks b;
    std::memcpy(b.ihxpp, KVT_IHXPP, sizeof b.ihxpp);
    std::memcpy(b.hxpkv, KVT_HXPKV, sizeof b.hxpkv);
    std::memcpy(b.hxsbd, KVT_HXSBD, sizeof b.hxsbd);
    std::memcpy(b.hxstrb, KVT_HXSTRB, sizeof b.hxstrb);
    std::memcpy(b.hximss, KVT_HXIMSS, sizeof b.hximss);
    std::memcpy(b.hxpdbg, KVT_HXPDBG, sizeof b.hxpdbg);
    std::memcpy(b.hxoutp, KVT_HXOUTP, sizeof b.hxoutp);
    std::memcpy(b.rhxpp, KVT_RHXPP, sizeof b.rhxpp);
    std::memcpy(b.hxrmss, KVT_HXRMSS, sizeof b.hxrmss);
    std::memcpy(b.hxrmin, KVT_HXRMIN, sizeof b.hxrmin);
    return b;
  }
};

// Only the flash writes the library's blocks, and only word 27 of KVT_IHXPP (retention mode) and
// words 2 and 5 of KVT_RHXPP (estimate markers).
void check_blocks(Routine r, LibraryBlocks before) {
  if (r == Routine::Flash) {
    KVT_WORD(before.ihxpp, KVT_IHXPP_RETENTION) = KVT_WORD(KVT_IHXPP, KVT_IHXPP_RETENTION);
    const int markers[] = {KVT_RHXPP_ESTIMATE_MARKER, KVT_RHXPP_ESTIMATE_MARKER + KVT_SIDE_STRIDE_R};
    for (int w : markers) KVT_WORD(before.rhxpp, w) = KVT_WORD(KVT_RHXPP, w);
  }
  const LibraryBlocks after = LibraryBlocks::take();
  if (std::memcmp(&before, &after, sizeof before) != 0) fail(r, "a library block word changed that may not");
}

// The stream vector: the flash writes temperature and pressure (so may the host's TEBU_SETH), a
// setter its one slot, every other routine nothing.
void check_stream(Routine r, const double* before, const double* after, int64_t slots, int64_t ncomp) {
  for (int64_t i = 0; i < slots; ++i) {
    if (std::memcmp(&before[i], &after[i], sizeof(double)) == 0) continue;
    const int64_t k = i + 1 - ncomp;  // STRM(NCOMP + k)
    const bool allowed = (r == Routine::Flash && (k == 2 || k == 3)) || (r == Routine::SetT && k == 2) ||
                         (r == Routine::SetP && k == 3) || (r == Routine::SetH && k == 4) ||
                         (r == Routine::SetVf && k == 5);
    if (!allowed) fail(r, "a stream vector slot changed that may not");
  }
}

// IERR: 0 for the routines that report nothing, 0 or -1 (absent phase) for the others; the transport
// properties hand on the host's flag and the flash the host's error code, so any value goes there.
void check_error_code(Routine r, int64_t ierr) {
  switch (r) {
    case Routine::Fraction: case Routine::MassFlow: case Routine::HeatFlow: case Routine::GetT: case Routine::GetP:
      if (ierr != 0) fail(r, "IERR is not 0");
      return;
    case Routine::MolWt: case Routine::HeatCapacity: case Routine::Density: case Routine::HeatOfVaporisation:
    case Routine::CriticalT: case Routine::CriticalP:
      if (ierr != 0 && ierr != -1) fail(r, "IERR is neither 0 nor -1");
      return;
    default: return;
  }
}

using Property = void (*)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);
using Setter = void (*)(double*, const void*, const void*, const double*);

void call(Input& in, double* strm, int64_t slots) {
  const auto r = static_cast<Routine>(in.in(0, kRoutines - 1));
  // NSTRM: any value, but never beyond the vector's real length.
  int64_t nstrm = in.code();
  if (nstrm > slots) nstrm = in.in(0, slots);
  const int64_t iside = in.code();
  const int64_t iphs = in.code();
  const int64_t ibas = in.code();
  auto result = std::make_unique<double>(-7.0);
  auto ierr = std::make_unique<int64_t>(-7);

  const LibraryBlocks blocks = LibraryBlocks::take();
  const std::unique_ptr<double[]> stream_before(new double[static_cast<std::size_t>(slots)]);
  std::memcpy(stream_before.get(), strm, static_cast<std::size_t>(slots) * sizeof(double));
  const int64_t ncomp = VOKA_NCOMP[0];

  const auto property = [&](Property f, bool reads_side, bool reads_basis) {
    f(strm, &nstrm, reads_side ? &iside : unread(), &iphs, reads_basis ? &ibas : unread(), result.get(), ierr.get());
  };
  const auto getter = [&](Property f) { f(strm, &nstrm, unread(), unread(), unread(), result.get(), ierr.get()); };
  const auto setter = [&](Setter f) {
    const double value = in.real();
    f(strm, unread(), unread(), &value);
  };

  // Flash arguments are drawn before the call so that the host's outputs follow them in the input.
  const int64_t islot = in.code(), kspec = in.code(), kphs = in.code(), kpeq = in.code();
  begin_call(r, &in);
  expose(r);
  switch (r) {
    case Routine::Flash: KVT_HXFLSH(strm, &nstrm, &iside, &islot, &kspec, &kphs, &kpeq, ierr.get()); break;
    case Routine::Fraction: property(KVT_HXPFRC, false, true); break;
    case Routine::MolWt: property(KVT_HXPMWT, true, true); break;
    case Routine::MassFlow: property(KVT_HXPMFL, true, true); break;
    case Routine::HeatFlow: property(KVT_HXPQFL, true, false); break;
    case Routine::HeatCapacity: property(KVT_HXPCPP, true, true); break;
    case Routine::Conductivity: property(KVT_HXPTHC, true, false); break;
    case Routine::Viscosity: property(KVT_HXPVIS, true, false); break;
    case Routine::SurfaceTension: property(KVT_HXPSFT, true, false); break;
    case Routine::Density: property(KVT_HXPDNS, true, true); break;
    case Routine::HeatOfVaporisation: property(KVT_HXPTHV, true, true); break;
    case Routine::CriticalT: property(KVT_HXPTMC, true, false); break;
    case Routine::CriticalP: property(KVT_HXPPRC, true, false); break;
    case Routine::GetT: getter(KVT_HXPTMP); break;
    case Routine::GetP: getter(KVT_HXPPRS); break;
    case Routine::SetT: setter(KVT_HXUTMP); break;
    case Routine::SetP: setter(KVT_HXUPRS); break;
    case Routine::SetH: setter(KVT_HXUNTH); break;
    case Routine::SetVf: setter(KVT_HXUVFR); break;
  }
  end_call();
  expose_all();
  check_error_code(r, *ierr);
  check_blocks(r, blocks);
  check_stream(r, stream_before.get(), strm, slots, ncomp);
}

// Between calls the host may change any block word it owns, the stream, or the last flash's results.
void change(Input& in, double* strm, int64_t slots) {
  const Layout& l = layout();
  switch (in.in(0, 9)) {
    case 0: set_flash_count(in.in(-3, l.capacity)); break;
    case 1: fill_flash_results(in); break;
    case 2: {
      const auto w = in.in(0, 27) + 1;
      if (w == KVT_IHXPP_NSUBS) {
        KVT_WORD(KVT_IHXPP, w) = in.in(0, l.nsubs_room);  // within the descriptor lists
      } else if (w != KVT_IHXPP_INT_RECORDS && w != KVT_IHXPP_REAL_RECORDS) {
        KVT_WORD(KVT_IHXPP, w) = in.code();  // not the retention record bases
      }
      break;
    }
    case 3: KVT_RHXPP[in.in(0, 7)] = in.real(); break;
    case 4:
      KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = in.real();
      KVT_WORD(KVT_HXRMIN, KVT_HXRMIN_VOLUME) = in.real();
      break;
    case 5: KVT_HXPDBG[in.in(0, 27)] = in.code(); break;
    case 6: {
      const double v = in.real();
      std::memcpy(VOKA_RGLOB, &v, sizeof v);
      break;
    }
    case 7: VOKA_FLSCOM[0] = in.code(); VOKA_FLSCM2[0] = in.code(); break;
    case 8: strm[in.in(0, slots - 1)] = in.real(); break;
    default:
      KVT_HXSBD[in.in(0, 3)] = in.code();
      KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = in.code();
      break;
  }
}

}  // namespace

}  // namespace kvt::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace kvt::fuzz;
  Input in(data, size);
  const Layout& l = lay_out(in);
  // The stream vector: NCOMP + 9 slots at least, as the host's contract says, on the heap so that a
  // slot past its end is a crash.
  const int64_t slots = l.ncomp + 9 + in.in(0, 3);
  const std::unique_ptr<double[]> strm(new double[static_cast<std::size_t>(slots)]);
  for (int64_t i = 0; i < slots; ++i) strm[i] = in.real();
  const int64_t calls = in.in(1, 8);
  for (int64_t c = 0; c < calls; ++c) {
    for (int64_t k = in.in(0, 3); k > 0; --k) change(in, strm.get(), slots);
    call(in, strm.get(), slots);
  }
  expose_all();
  return 0;
}
