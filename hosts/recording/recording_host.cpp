#include "recording_host.h"

#include <bit>
#include <cstring>

#include "kvt/host.h"

// The work array. On ELF it is the tail of a larger array whose first kGuardWords words hold a mark:
// a reader that strays below word 1 finds non-zero words there instead of zeros, and a writer that
// does changes them (store_guard_intact()). Elsewhere the array stands alone.
#if defined(__ELF__)
extern "C" {
[[gnu::used, gnu::visibility("hidden")]] int64_t kvt_rec_guarded_plex[kvt::rec::kGuardWords + kvt::rec::kPlexWords];
KVT_HOST_API extern int64_t VOKA_PLEX[kvt::rec::kPlexWords];
}
static_assert(kvt::rec::kGuardWords == 8 && kvt::rec::kPlexWords == 2097152, "the symbol's offset and size below");
asm(".globl VOKA_PLEX\n\t.type VOKA_PLEX, @object\n\t.size VOKA_PLEX, 16777216\n\t"
    ".set VOKA_PLEX, kvt_rec_guarded_plex + 64\n");
#else
extern "C" {
KVT_HOST_API int64_t VOKA_PLEX[kvt::rec::kPlexWords];
}
#endif

extern "C" {
KVT_HOST_API int64_t VOKA_NCOMP[1];
KVT_HOST_API int64_t VOKA_STWKWK[32];
KVT_HOST_API int64_t VOKA_IPOFF1[320];
KVT_HOST_API int64_t VOKA_RGLOB[1];
KVT_HOST_API int64_t VOKA_FLSCOM[1];
KVT_HOST_API int64_t VOKA_FLSCM2[1];
KVT_HOST_API int64_t TEBU_STWORK[64];
}

namespace kvt::rec {

namespace {

Host the_host;

// Whether p lies in the `words` words from byte address b.
bool inside(const void* p, std::uintptr_t b, std::size_t words) {
  const auto a = reinterpret_cast<std::uintptr_t>(p);
  return a >= b && a < b + words * sizeof(int64_t);
}
bool inside(const void* p, const int64_t* begin, std::size_t words) {
  return inside(p, reinterpret_cast<std::uintptr_t>(begin), words);
}

// The word at an address handed to the host. An address just outside the work array (a position
// below 1 or past its end) that is not one of the host's blocks is not read.
int64_t word_at(const void* p) {
  if (p == nullptr) return 0;
  constexpr std::size_t kMargin = 1024;  // words either side of the work array
  const auto plex = reinterpret_cast<std::uintptr_t>(VOKA_PLEX);
  const std::uintptr_t margin = kMargin * sizeof(int64_t);
  const bool in_margin =
      inside(p, plex - margin, kMargin) || inside(p, plex + kPlexWords * sizeof(int64_t), kMargin);
  if (in_margin) {
    bool in_block = false;
    for (const Blocks& b : host_blocks()) in_block = in_block || inside(p, b.data, b.words);
    if (!in_block) return 0;
  }
  int64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

double Arg::real() const { return std::bit_cast<double>(word); }

Host& host() { return the_host; }

std::vector<const Call*> Host::calls_to(std::string_view name) const {
  std::vector<const Call*> out;
  for (const Call& c : calls) {
    if (c.name == name) out.push_back(&c);
  }
  return out;
}

void reset() {
  the_host = Host{};
  std::memset(VOKA_PLEX, 0, sizeof VOKA_PLEX);
#if defined(__ELF__)
  for (int64_t i = 0; i < kGuardWords; ++i) kvt_rec_guarded_plex[i] = kGuardMark;
#endif
  for (int64_t* block : {VOKA_NCOMP, VOKA_RGLOB, VOKA_FLSCOM, VOKA_FLSCM2}) block[0] = 0;
  std::memset(VOKA_STWKWK, 0, sizeof VOKA_STWKWK);
  std::memset(VOKA_IPOFF1, 0, sizeof VOKA_IPOFF1);
  std::memset(TEBU_STWORK, 0, sizeof TEBU_STWORK);
}

bool store_guard_intact() {
#if defined(__ELF__)
  for (int64_t i = 0; i < kGuardWords; ++i) {
    if (static_cast<volatile int64_t*>(kvt_rec_guarded_plex)[i] != kGuardMark) return false;
  }
#endif
  return true;
}

Layout lay_out(int64_t capacity) {
  Layout l;
  l.capacity = capacity;
  int64_t next = 101;  // positions 1-100 stay free, so that a stray low position is visible
  const auto reserve = [&](int64_t n) {
    const int64_t p = next;
    next += n + 4;  // a gap between areas
    return p;
  };
  // Real work area: Z, X, X1, X2, Y, critical-point work, scratch real record.
  l.real_base = next;
  const int64_t cap = capacity > 0 ? capacity : 1;
  for (int w = KVT_STWORK_Z; w <= KVT_STWORK_CRITICAL_WORK; ++w) TEBU_STWORK[w - 1] = reserve(cap) - l.real_base;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_SCRATCH_REAL) = reserve(l.real_record_len) - l.real_base;
  // Integer work area: component-number list, substream descriptor lists, scratch integer record.
  l.int_base = next;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_COMPONENT_LIST) = reserve(cap) - l.int_base;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_DESCRIPTORS) = reserve(32) - l.int_base;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_SCRATCH_INT) = reserve(l.int_record_len + 1) - l.int_base;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_REAL_RECORD_WORDS) = l.real_record_len;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_INT_RECORD_WORDS) = l.int_record_len;
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_REAL_BASE) = l.real_base;
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_INT_BASE) = l.int_base;
  for (int g = 0; g < 4; ++g) {
    l.packed_count[g] = reserve(1);
    l.packed_numbers[g] = reserve(cap);
    l.packed_fractions[g] = reserve(cap);
  }
  l.real_records = reserve(KVT_RECORDS * l.real_record_len);
  l.int_records = reserve(KVT_RECORDS * (l.int_record_len + 1));
  l.molwt = reserve(cap + 1);
  KVT_WORD(VOKA_IPOFF1, KVT_IPOFF1_MOLWT) = l.molwt;
  l.end = next;
  return l;
}

std::vector<Blocks> host_blocks() {
  return {{VOKA_NCOMP, 1, "VOKA_NCOMP"},   {VOKA_STWKWK, 32, "VOKA_STWKWK"}, {VOKA_IPOFF1, 320, "VOKA_IPOFF1"},
          {VOKA_RGLOB, 1, "VOKA_RGLOB"},   {VOKA_FLSCOM, 1, "VOKA_FLSCOM"},  {VOKA_FLSCM2, 1, "VOKA_FLSCM2"},
          {TEBU_STWORK, 64, "TEBU_STWORK"}};
}

int64_t plex_int(int64_t pos) { return VOKA_PLEX[pos - 1]; }
double plex_real(int64_t pos) { return std::bit_cast<double>(VOKA_PLEX[pos - 1]); }
void set_plex_int(int64_t pos, int64_t v) { VOKA_PLEX[pos - 1] = v; }
void set_plex_real(int64_t pos, double v) { VOKA_PLEX[pos - 1] = std::bit_cast<int64_t>(v); }
const void* plex_addr(int64_t pos) { return VOKA_PLEX + (pos - 1); }

void set_ncomp(int64_t n) { KVT_WORD(VOKA_NCOMP, KVT_NCOMP_COUNT) = n; }
void set_host_missing(double v) { KVT_WORD(VOKA_RGLOB, KVT_RGLOB_MISSING) = std::bit_cast<int64_t>(v); }
void set_stwkwk_int(int word, int64_t v) { VOKA_STWKWK[word - 1] = v; }
void set_stwkwk_real(int word, double v) { VOKA_STWKWK[word - 1] = std::bit_cast<int64_t>(v); }
double stwkwk_real(int word) { return std::bit_cast<double>(VOKA_STWKWK[word - 1]); }
void set_stwork_real(int word, double v) { TEBU_STWORK[word - 1] = std::bit_cast<int64_t>(v); }
double stwork_real(int word) { return std::bit_cast<double>(TEBU_STWORK[word - 1]); }
int64_t stwork_int(int word) { return TEBU_STWORK[word - 1]; }
void set_flash_error(int64_t v) { KVT_WORD(VOKA_FLSCOM, KVT_FLSCOM_CODE) = v; }
void set_failure_flag(int64_t v) { KVT_WORD(VOKA_FLSCM2, KVT_FLSCM2_FAILED) = v; }
int64_t failure_flag() { return KVT_WORD(VOKA_FLSCM2, KVT_FLSCM2_FAILED); }

int64_t comp_pos(Comp c) {
  return KVT_WORD(VOKA_STWKWK, KVT_STWKWK_REAL_BASE) + KVT_WORD(TEBU_STWORK, static_cast<int>(c));
}
int64_t complist_pos() {
  return KVT_WORD(VOKA_STWKWK, KVT_STWKWK_INT_BASE) + KVT_WORD(TEBU_STWORK, KVT_STWORK_COMPONENT_LIST);
}
void set_flash_count(int64_t n) { KVT_WORD(VOKA_STWKWK, KVT_STWKWK_FLASH_COUNT) = n; }
void set_components(const std::vector<int64_t>& numbers) {
  for (std::size_t i = 0; i < numbers.size(); ++i) set_plex_int(complist_pos() + static_cast<int64_t>(i), numbers[i]);
}
void set_composition(Comp c, const std::vector<double>& x) {
  for (std::size_t i = 0; i < x.size(); ++i) set_plex_real(comp_pos(c) + static_cast<int64_t>(i), x[i]);
}
void set_molwt(int64_t component, double mw) { set_plex_real(KVT_WORD(VOKA_IPOFF1, KVT_IPOFF1_MOLWT) + component, mw); }

// ---- Recording and scripted outputs, for the host routines below ---------------------------------

void record(const char* name, std::initializer_list<const void*> args) {
  if (!the_host.recording) return;
  Call c{name, {}};
  c.args.reserve(args.size());
  for (const void* a : args) c.args.push_back({a, word_at(a)});
  the_host.calls.push_back(std::move(c));
}

double output(std::string_view name) {
  if (!the_host.outputs.empty()) {
    const auto it = the_host.outputs.find(name);
    if (it != the_host.outputs.end() && !it->second.empty()) {
      const double v = it->second.front();
      it->second.pop_front();
      return v;
    }
  }
  if (!the_host.defaults.empty()) {
    const auto it = the_host.defaults.find(name);
    if (it != the_host.defaults.end()) return it->second;
  }
  return the_host.default_output;
}

void leave_error(int64_t* ierr) {
  if (the_host.error_flags.empty()) return;
  *ierr = the_host.error_flags.front();
  the_host.error_flags.pop_front();
}

}  // namespace kvt::rec
