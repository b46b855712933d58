#include "fuzz_host.h"

#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "kvt/kvt.h"

// The host's blocks, exactly as long as the host's contract makes them, so that a word read past
// their end is a crash too.
extern "C" {
KVT_HOST_API int64_t VOKA_PLEX[kvt::fuzz::kPlexWords];
KVT_HOST_API int64_t VOKA_NCOMP[1];
KVT_HOST_API int64_t VOKA_STWKWK[23];
KVT_HOST_API int64_t VOKA_IPOFF1[306];
KVT_HOST_API int64_t VOKA_RGLOB[1];
KVT_HOST_API int64_t VOKA_FLSCOM[1];
KVT_HOST_API int64_t VOKA_FLSCM2[1];
KVT_HOST_API int64_t TEBU_STWORK[62];
}

namespace kvt::fuzz {

namespace {

Layout the_layout;
Routine current = Routine::GetT;
Input* outputs = nullptr;  // where the host routines take their outputs from during a call

// A host routine found an argument that breaks the library's side of a host contract.
[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "kvt fuzz host: %s\n", what);
  std::abort();
}
void require(bool ok, const char* what) {
  if (!ok) broken(what);
}

Input& out() {
  static Input none(nullptr, 0);
  return outputs != nullptr ? *outputs : none;
}

// Read every word of a run the library handed over (a poisoned or foreign word is a crash).
volatile uint64_t sink;
template <class T>
void touch(const T* p, int64_t n) {
  for (int64_t i = 0; i < n; ++i) {
    uint64_t w = 0;
    std::memcpy(&w, &p[i], sizeof(T) < sizeof w ? sizeof(T) : sizeof w);
    sink = sink ^ w;
  }
}
// Read and rewrite every word of a record the host flash owns for the call.
template <class T>
void update(T* p, int64_t n) {
  for (int64_t i = 0; i < n; ++i) {
    T v = p[i];
    p[i] = v;
  }
}
int64_t count(const int64_t* n) { return *n > 0 ? *n : 0; }

void open(const Area& a, int64_t len) {
  if (len > a.len) broken("harness: an area is shorter than the current N or NCOMP");
  if (len > 0) ASAN_UNPOISON_MEMORY_REGION(&VOKA_PLEX[a.pos - 1], static_cast<std::size_t>(len) * 8);
}
void open_all(const Area& a) { open(a, a.len); }

int64_t& plex(int64_t pos) { return VOKA_PLEX[pos - 1]; }
void set_real(int64_t& word, double v) { word = std::bit_cast<int64_t>(v); }

// A trace switch: mostly off (a trace costs far more than its routine), on (1), on for ">= 1" only
// (2), or any value.
int64_t trace_switch(Input& in) {
  const uint8_t b = in.byte();
  if (b < 208) return 0;
  if (b < 232) return 1;
  if (b < 244) return 2;
  return in.code();
}

// Cheap filler for the words nothing of the library reads: a xorshift sequence seeded by the input.
struct Filler {
  uint64_t s;
  int64_t next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return static_cast<int64_t>(s);
  }
  void fill(const Area& a) {
    for (int64_t i = 0; i < a.len; ++i) plex(a.pos + i) = next();
  }
};

}  // namespace

const Layout& layout() { return the_layout; }

void expose_all() { ASAN_UNPOISON_MEMORY_REGION(VOKA_PLEX, sizeof VOKA_PLEX); }

int64_t flash_count() { return VOKA_STWKWK[2]; }

void set_flash_count(int64_t n) {
  VOKA_STWKWK[2] = n;
  // A count the flash packed is never above N.
  const int64_t room = n > 0 ? n : 0;
  for (const Area& a : the_layout.packed_count) {
    if (plex(a.pos) > room) plex(a.pos) = room;
  }
}

void fill_flash_results(Input& in) {
  const Layout& l = the_layout;
  const int64_t n = std::clamp<int64_t>(flash_count(), 0, l.capacity);
  for (const Area& c : l.comp) {
    for (int64_t i = 0; i < n; ++i) set_real(plex(c.pos + i), in.real());
  }
  for (int64_t i = 0; i < n; ++i) plex(l.complist.pos + i) = in.in(1, l.components);
  for (int w = 19; w <= 23; ++w) set_real(VOKA_STWKWK[w - 1], in.real());
  for (int w = 47; w <= 62; ++w) set_real(TEBU_STWORK[w - 1], in.real());
}

const Layout& lay_out(Input& in) {
  expose_all();
  Layout& l = the_layout;
  l = Layout{};
  l.ncomp = in.in(0, kMaxComponents);
  l.capacity = in.in(0, kMaxComponents);
  l.components = in.in(1, kMaxComponents);
  l.nsubs_room = in.in(1, 4);
  l.real_len = in.in(0, 6);
  l.int_len = in.in(0, 6);
  const int64_t cap = l.capacity;
  const int64_t wide = std::max(cap, l.ncomp);  // X, X1 (the flash copies NCOMP words), Z and the list (packed stream)

  struct Want {
    Area* area;
    int64_t len;
  };
  Want wants[] = {
      {&l.comp[0], wide}, {&l.comp[1], wide}, {&l.comp[2], wide}, {&l.comp[3], cap}, {&l.comp[4], cap},
      {&l.crit_work, in.in(1, 8)}, {&l.scratch_real, l.real_len}, {&l.complist, wide},
      {&l.descriptors, 2 * l.nsubs_room}, {&l.scratch_int, l.int_len + 1},
      {&l.packed_count[0], 1}, {&l.packed_count[1], 1}, {&l.packed_count[2], 1}, {&l.packed_count[3], 1},
      {&l.packed_numbers[0], cap}, {&l.packed_numbers[1], cap}, {&l.packed_numbers[2], cap},
      {&l.packed_numbers[3], cap}, {&l.packed_fractions[0], cap}, {&l.packed_fractions[1], cap},
      {&l.packed_fractions[2], cap}, {&l.packed_fractions[3], cap},
      {&l.real_records, 10 * l.real_len}, {&l.int_records, 10 * (l.int_len + 1)}, {&l.molwt, l.components},
  };
  // Areas in an order of the input's choosing, each followed by a gap that stays poisoned.
  constexpr int kAreas = static_cast<int>(std::size(wants));
  for (int i = kAreas - 1; i > 0; --i) std::swap(wants[i], wants[in.in(0, i)]);
  int64_t next = in.in(1, 64);
  for (Want& w : wants) {
    w.area->pos = next;
    w.area->len = w.len;
    next += w.len + in.in(1, 4);
  }
  if (next > kPlexWords) broken("harness: layout does not fit the work array");

  Filler filler{in.bits() | 1u};
  for (int64_t& w : VOKA_PLEX) w = filler.next();
  for (int64_t* block : {VOKA_STWKWK, VOKA_IPOFF1, TEBU_STWORK}) {
    const std::size_t words = block == VOKA_STWKWK ? 23 : block == VOKA_IPOFF1 ? 306 : 62;
    for (std::size_t i = 0; i < words; ++i) block[i] = filler.next();
  }

  // Every entry of the component-number list names a component with a molecular weight, also the
  // entries beyond N that a later, larger N brings in.
  for (int64_t i = 0; i < l.complist.len; ++i) {
    plex(l.complist.pos + i) = 1 + static_cast<int64_t>(static_cast<uint64_t>(filler.next()) % l.components);
  }

  // Bases anywhere in the array; the offsets (possibly negative) reach the areas from them.
  const int64_t real_base = in.in(1, kPlexWords);
  const int64_t int_base = in.in(1, kPlexWords);
  VOKA_STWKWK[0] = real_base;
  VOKA_STWKWK[1] = int_base;
  for (int k = 0; k < 5; ++k) TEBU_STWORK[14 + k] = l.comp[k].pos - real_base;
  TEBU_STWORK[19] = l.crit_work.pos - real_base;
  TEBU_STWORK[24] = l.scratch_real.pos - real_base;
  TEBU_STWORK[25] = l.complist.pos - int_base;
  TEBU_STWORK[28] = l.descriptors.pos - int_base;
  TEBU_STWORK[29] = l.scratch_int.pos - int_base;
  TEBU_STWORK[0] = l.real_len;
  TEBU_STWORK[1] = l.int_len;
  VOKA_IPOFF1[305] = l.molwt.pos - 1;
  VOKA_NCOMP[0] = l.ncomp;
  set_real(VOKA_RGLOB[0], in.real());
  VOKA_FLSCOM[0] = in.code();
  VOKA_FLSCM2[0] = in.code();

  // The library's blocks: positions laid out, every other word hostile.
  for (int g = 0; g < 4; ++g) {
    KVT_WORD(KVT_HXPKV, KVT_HXPKV_COUNT + g) = l.packed_count[g].pos;
    KVT_WORD(KVT_HXPKV, KVT_HXPKV_NUMBERS + g) = l.packed_numbers[g].pos;
    KVT_WORD(KVT_HXPKV, KVT_HXPKV_FRACTIONS + g) = l.packed_fractions[g].pos;
  }
  for (int w : {5, 10, 15, 16}) KVT_WORD(KVT_HXPKV, w) = in.code();  // words the library does not read
  for (int64_t& w : KVT_IHXPP) w = in.code();
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_INT_RECORDS) = l.int_records.pos;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_REAL_RECORDS) = l.real_records.pos;
  KVT_WORD(KVT_IHXPP, KVT_IHXPP_NSUBS) = in.in(0, l.nsubs_room);
  for (double& w : KVT_RHXPP) w = in.real();
  for (double& w : KVT_HXRMSS) w = in.real();
  for (double& w : KVT_HXRMIN) w = in.real();
  for (int64_t* block : {KVT_HXSBD, KVT_HXSTRB, KVT_HXIMSS, KVT_HXOUTP}) {
    for (int i = 0; i < 4; ++i) block[i] = in.code();
  }
  for (int64_t& w : KVT_HXPDBG) w = trace_switch(in);

  // The last flash's results.
  set_flash_count(in.in(-2, l.capacity));
  for (const Area& a : l.packed_count) plex(a.pos) = in.in(-1, std::max<int64_t>(flash_count(), 0));
  for (int64_t j = 0; j < l.components; ++j) set_real(plex(l.molwt.pos + j), in.real());
  fill_flash_results(in);
  return l;
}

void expose(Routine r) {
  ASAN_POISON_MEMORY_REGION(VOKA_PLEX, sizeof VOKA_PLEX);
  const Layout& l = the_layout;
  const int64_t n = std::max<int64_t>(flash_count(), 0);
  const int64_t wide = std::max(n, l.ncomp);
  enum { Z, X, X1, X2, Y };
  const auto open_groups = [&](std::initializer_list<int> groups) {
    for (int g : groups) {
      open(l.packed_count[g], 1);
      open(l.packed_numbers[g], n);
      open(l.packed_fractions[g], n);
    }
  };
  switch (r) {
    case Routine::GetT: case Routine::GetP: case Routine::SetT: case Routine::SetP: case Routine::SetH:
    case Routine::SetVf:
      return;  // the stream vector only
    case Routine::Flash:
      open(l.comp[X], wide);  // a single liquid: NCOMP words of X copied onto X1
      open(l.comp[X1], wide);
      open(l.comp[X2], n);
      open(l.comp[Y], n);
      open(l.complist, n);
      open_groups({0, 1, 2, 3});
      for (const Area* a : {&l.descriptors, &l.scratch_real, &l.scratch_int, &l.real_records, &l.int_records}) {
        open_all(*a);
      }
      return;
    default:
      break;
  }
  // A phase-resolved routine: the phase fractions (mass basis: compositions, component numbers,
  // molecular weights) and its trace (compositions).
  for (int c : {X, X1, X2, Y}) open(l.comp[c], n);
  open(l.complist, n);
  open_all(l.molwt);
  switch (r) {
    case Routine::MassFlow: case Routine::HeatFlow: open_all(l.descriptors); break;
    case Routine::Conductivity: case Routine::Viscosity: open_groups({1, 2, 3}); break;
    case Routine::SurfaceTension: open_groups({1, 2}); break;
    case Routine::CriticalT: case Routine::CriticalP:
      open(l.comp[Z], wide);  // the packed stream: up to NCOMP components
      open(l.complist, wide);
      open_all(l.crit_work);
      break;
    default: break;
  }
}

void begin_call(Routine r, Input* in) {
  current = r;
  outputs = in;
}

void end_call() { outputs = nullptr; }

}  // namespace kvt::fuzz

// ---- The host's routines ------------------------------------------------------------------------

using kvt::fuzz::count;
using kvt::fuzz::out;
using kvt::fuzz::require;
using kvt::fuzz::touch;

namespace {

void descriptors(int64_t* nsubs, int64_t* d1, int64_t* d2) {
  touch(nsubs, 1);
  touch(d1, count(nsubs));
  touch(d2, count(nsubs));
}

}  // namespace

extern "C" {

void TEBU_SETH(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, int64_t* zero) {
  descriptors(nsubs, d1, d2);
  require(*zero == 0, "TEBU_SETH: fifth argument is not 0");
  touch(strm, VOKA_NCOMP[0] + 9);
  if (out().flag()) {
    strm[VOKA_NCOMP[0] + 1] = out().real();
    strm[VOKA_NCOMP[0] + 2] = out().real();
  }
}
void TEBU_TOTFLO(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  descriptors(nsubs, d1, d2);
  touch(strm, VOKA_NCOMP[0] + 9);
  *total = out().real();
}
void TEBU_TOTMAS(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  TEBU_TOTFLO(strm, nsubs, d1, d2, total);
}
void TEBU_TOTENT(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  TEBU_TOTFLO(strm, nsubs, d1, d2, total);
}
void TEBU_CPACK(double* strm, int64_t* npack, int64_t* idx, double* z, double* w) {
  touch(strm, VOKA_NCOMP[0]);
  const int64_t kept = out().in(0, VOKA_NCOMP[0]);
  for (int64_t j = 0; j < kept; ++j) {
    idx[j] = out().in(1, kvt::fuzz::layout().components);
    z[j] = out().real();
  }
  *npack = kept;
  *w = out().real();
}

void WEND_FLASH(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, int64_t* options, int64_t* kspec, int64_t* kind,
                int64_t* nphase, int64_t* flash_option, double* real_option, double* spec1, double* spec2,
                double* estimate, int64_t* option22, int64_t* option23, int64_t* retention_mode, int64_t* one,
                double* real_record, int64_t* int_record, int64_t* status) {
  using namespace kvt::fuzz;
  descriptors(nsubs, d1, d2);
  touch(strm, VOKA_NCOMP[0] + 9);
  touch(options, 6);
  for (const int64_t* p : {kspec, kind, nphase, flash_option, option22, option23, retention_mode}) touch(p, 1);
  for (const double* p : {real_option, spec1, spec2, estimate}) touch(p, 1);
  require(*one == 1, "WEND_FLASH: argument 17 is not 1");
  update(real_record, layout().real_len);
  update(int_record, layout().int_len + 1);
  *status = out().flag() ? 1 : out().code();
  if (out().flag()) {
    // This flash leaves results of its own: a new N, compositions, split and phase table.
    expose_all();
    set_flash_count(out().in(-2, layout().capacity));
    fill_flash_results(out());
    VOKA_FLSCOM[0] = out().code();
    VOKA_FLSCM2[0] = out().code();
    expose(Routine::Flash);
  }
}
int64_t WEND_FLSTAT(int64_t* one, int64_t* status) {
  require(*one == 1, "WEND_FLSTAT: first argument is not 1");
  return out().flag() ? *status : out().code();
}
void WEND_CRTCAL(int64_t* nc, double* comp, int64_t* idx, double* work, double* tc, double* pc, double* o7, double* o8,
                 int64_t* ierr) {
  touch(comp, count(nc));
  touch(idx, count(nc));
  touch(work, kvt::fuzz::layout().crit_work.len);
  *tc = out().real();
  *pc = out().real();
  *o7 = out().real();
  *o8 = out().real();
  *ierr = out().code();
}
void MUTO_PEQPT1(int64_t* sbd) { touch(sbd, 1); }

void GOSA_ENTHL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,
                int64_t* option21, int64_t* code, double* h, double* dhdt, int64_t* ierr) {
  touch(t, 1);
  touch(p, 1);
  touch(x, count(n));
  touch(idx, count(n));
  touch(options, 6);
  touch(option23, 1);
  touch(option21, 1);
  require(*code == 2, "GOSA_ENTHL/V: calculation code is not 2");
  *h = out().real();
  *dhdt = out().real();
  *ierr = out().code();
}
void GOSA_ENTHV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,
                int64_t* option21, int64_t* code, double* h, double* dhdt, int64_t* ierr) {
  GOSA_ENTHL(t, p, x, n, idx, options, option23, option21, code, h, dhdt, ierr);
}

#define KVT_FUZZ_MIXTURE(NAME)                                                                                 \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,   \
            double* value, int64_t* ierr) {                                                                    \
    touch(t, 1);                                                                                               \
    touch(p, 1);                                                                                               \
    touch(x, count(n));                                                                                        \
    touch(idx, count(n));                                                                                      \
    touch(options, 6);                                                                                         \
    touch(option23, 1);                                                                                        \
    touch(ierr, 1);                                                                                            \
    *value = out().real();                                                                                     \
    if (out().flag()) *ierr = out().code();                                                                    \
  }
KVT_FUZZ_MIXTURE(GOSA_TCONL)
KVT_FUZZ_MIXTURE(GOSA_TCONV)
KVT_FUZZ_MIXTURE(GOSA_VISCL)
KVT_FUZZ_MIXTURE(GOSA_VISCV)
KVT_FUZZ_MIXTURE(GOSA_SRFTEN)

void GOSA_VTHRM(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23, int64_t* option21,
                int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5, double* o13, double* o14,
                double* o15, double* o16, double* o17, double* o18, double* o19, double* o20, double* o21,
                double* o22, double* o23) {
  touch(t, 1);
  touch(p, 1);
  require(*n == 1, "GOSA_VTHRM/LTHRM: count is not 1");
  touch(idx, 1);
  touch(options, 6);
  touch(option23, 1);
  touch(option21, 1);
  for (const int64_t* c : {c1, c2, c3, c4, c5}) require(*c == 1, "GOSA_VTHRM/LTHRM: a code is not 1");
  for (double* o : {o13, o15, o16, o17, o18, o19, o20, o21, o22, o23}) *o = 0.0;
  *o14 = out().real();
}
void GOSA_LTHRM(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23, int64_t* option21,
                int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5, double* o13, double* o14,
                double* o15, double* o16, double* o17, double* o18, double* o19, double* o20, double* o21,
                double* o22, double* o23) {
  GOSA_VTHRM(t, p, n, idx, options, option23, option21, c1, c2, c3, c4, c5, o13, o14, o15, o16, o17, o18, o19, o20,
             o21, o22, o23);
}

// Water is at a position within the list, or nowhere (0 or less).
int64_t NERO_IDXWAT(int64_t* list, int64_t* n) {
  touch(list, count(n));
  if (*n >= 1 && out().flag()) return out().in(1, *n);
  const int64_t v = out().code();
  return v > 0 ? -v : v;
}
void LORI_PL001(double* t, int64_t* one_a, int64_t* component, int64_t* one_b, int64_t* one_c, int64_t* option23,
                double* lnp, double* second) {
  touch(t, 1);
  require(*one_a == 1 && *one_b == 1 && *one_c == 1, "LORI_PL001: a code is not 1");
  touch(component, 1);
  touch(option23, 1);
  *lnp = out().real();
  *second = out().real();
}

// A trace record is one line of printable characters, never longer than the widest trace line.
void UNIT_WRITE(const int32_t* unit, const char* text, const int64_t* nchar) {
  touch(unit, 1);
  require(*nchar >= 1 && *nchar <= 40, "UNIT_WRITE: record length out of range");
  for (int64_t i = 0; i < *nchar; ++i) require(text[i] >= ' ' && text[i] <= '~', "UNIT_WRITE: unprintable character");
}

}  // extern "C"
