#include "host_state.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "kvt/host.h"
#include "pure.h"

// ---- The host's data-store blocks -------------------------------------------------------------
KVT_HOST_API int64_t VOKA_PLEX[kvt::reference::kPlexWords] = {};
KVT_HOST_API int64_t VOKA_NCOMP[1] = {};
KVT_HOST_API int64_t VOKA_STWKWK[32] = {};
KVT_HOST_API int64_t VOKA_IPOFF1[320] = {};
KVT_HOST_API int64_t VOKA_RGLOB[4] = {};
KVT_HOST_API int64_t VOKA_FLSCOM[4] = {};
KVT_HOST_API int64_t VOKA_FLSCM2[4] = {};
KVT_HOST_API int64_t TEBU_STWORK[64] = {};

namespace kvt::reference {

namespace {

// Offsets in the real work area (multiples of NCOMP, so that each vector has NCOMP words).
enum RealVector { kZ = 0, kX = 1, kX1 = 2, kX2 = 3, kY = 4, kCrit = 5 };
constexpr std::int64_t kCritWork = 8;  // extra words of the critical-point work space

}  // namespace

void HostState::note(Note n) {
  const auto same = [&](const Note& kept) { return kept.text == n.text; };
  if (std::find_if(notes.begin(), notes.end(), same) != notes.end()) return;
  notes.push_back(std::move(n));
  while (notes.size() > 100) notes.pop_front();
}

void HostState::warn(std::string text) {
  Note n;
  n.routine = text.substr(0, std::min(text.find(':'), text.find(' ')));
  n.t = n.p = std::numeric_limits<double>::quiet_NaN();
  n.text = std::move(text);
  note(std::move(n));
}

void HostState::note(NoteKind kind, const std::string& routine, const std::string& what, NotePhase phase,
                     const std::string& component, double t, double p) {
  note({kind, routine, phase, component, t, p, routine + ": " + what});
}

void HostState::note(const std::string& routine, Note n, const std::string& tail) {
  n.routine = routine;
  n.text = routine + ": " + n.text + tail;
  note(std::move(n));
}

HostState& host() {
  static HostState state;
  return state;
}

double plex_real(std::int64_t pos) { return std::bit_cast<double>(VOKA_PLEX[pos - 1]); }
void set_plex_real(std::int64_t pos, double v) { VOKA_PLEX[pos - 1] = std::bit_cast<std::int64_t>(v); }
std::int64_t plex_int(std::int64_t pos) { return VOKA_PLEX[pos - 1]; }
void set_plex_int(std::int64_t pos, std::int64_t v) { VOKA_PLEX[pos - 1] = v; }
double word_real(const std::int64_t* block, int word) { return std::bit_cast<double>(block[word - 1]); }
void set_word_real(std::int64_t* block, int word, double v) { block[word - 1] = std::bit_cast<std::int64_t>(v); }

TRange set_range(const std::vector<const Component*>& comps) {
  TRange r{0.0, 1e300};
  for (const Component* c : comps) {
    const TRange cr = flash_range(*c);
    r.min = std::max(r.min, cr.min);
    r.max = std::min(r.max, cr.max);
  }
  return r;
}

void lay_out_store() {
  HostState& h = host();
  const std::int64_t n = h.ncomp();
  std::fill(std::begin(VOKA_PLEX), std::end(VOKA_PLEX), 0);
  std::fill(std::begin(VOKA_STWKWK), std::end(VOKA_STWKWK), 0);
  std::fill(std::begin(VOKA_IPOFF1), std::end(VOKA_IPOFF1), 0);
  std::fill(std::begin(TEBU_STWORK), std::end(TEBU_STWORK), 0);
  VOKA_FLSCOM[0] = 0;
  VOKA_FLSCM2[0] = 0;
  VOKA_NCOMP[0] = n;
  set_word_real(VOKA_RGLOB, 1, kHostMissing);

  Layout& l = h.layout;
  l.mw_base = 10;  // MW of component j at PLEX(10 + j)
  for (std::int64_t j = 1; j <= n; ++j) set_plex_real(l.mw_base + j, h.system.components[j - 1]->mw);
  l.real_base = l.mw_base + n + 1;
  const std::int64_t real_words = 6 * n + kCritWork + kRealRecordWords;
  l.int_base = l.real_base + real_words;
  const std::int64_t int_words = n + 2 + kIntRecordWords + 1;
  l.free = l.int_base + int_words;

  VOKA_IPOFF1[305] = l.mw_base;
  VOKA_STWKWK[0] = l.real_base;
  VOKA_STWKWK[1] = l.int_base;
  TEBU_STWORK[0] = kRealRecordWords;
  TEBU_STWORK[1] = kIntRecordWords;
  TEBU_STWORK[14] = kZ * n;
  TEBU_STWORK[15] = kX * n;
  TEBU_STWORK[16] = kX1 * n;
  TEBU_STWORK[17] = kX2 * n;
  TEBU_STWORK[18] = kY * n;
  TEBU_STWORK[19] = kCrit * n;
  TEBU_STWORK[24] = 6 * n + kCritWork;  // scratch real record
  TEBU_STWORK[25] = 0;                  // component-number list
  TEBU_STWORK[28] = n;                  // substream descriptor lists (2 words: one substream)
  TEBU_STWORK[29] = n + 2;              // scratch integer record
  // One substream: its descriptor lists hold the substream number and the stream length.
  set_plex_int(l.int_base + n, 1);
  set_plex_int(l.int_base + n + 1, n + 10);
}

void publish_flash(const FlashResult& r, std::span<const double> z, double* strm, double flow, double h_before) {
  HostState& h = host();
  const std::int64_t n = h.ncomp();
  const Layout& l = h.layout;
  auto put = [&](RealVector v, const std::vector<double>& a) {
    for (std::int64_t i = 0; i < n; ++i) set_plex_real(l.real_base + v * n + i, a[i]);
  };
  put(kZ, std::vector<double>(z.begin(), z.end()));
  put(kX, r.x);
  put(kX1, r.x1);
  put(kX2, r.x2);
  put(kY, r.y);
  for (std::int64_t i = 0; i < n; ++i) set_plex_int(l.int_base + i, i + 1);
  VOKA_STWKWK[2] = n;
  set_word_real(VOKA_STWKWK, 19, r.t);
  set_word_real(VOKA_STWKWK, 20, r.p);
  set_word_real(VOKA_STWKWK, 21, r.vapour_fraction);
  const bool h_known = std::isfinite(h_before) && h_before < kHostMissing;
  set_word_real(VOKA_STWKWK, 22, h_known ? flow * (r.enthalpy - h_before) : 0.0);
  set_word_real(VOKA_STWKWK, 23, r.liquid_split);
  for (int k = 0; k < 4; ++k) {
    set_word_real(TEBU_STWORK, 47 + k, r.phase_enthalpy[k]);
    set_word_real(TEBU_STWORK, 51 + k, r.phase_amount[k]);
    set_word_real(TEBU_STWORK, 55 + k, r.phase_volume[k]);
    set_word_real(TEBU_STWORK, 59 + k, r.phase_mw[k]);
  }
  store(strm, n, flow);
  store(strm, n + 1, r.t);
  store(strm, n + 2, r.p);
  store(strm, n + 3, r.enthalpy);
  store(strm, n + 4, r.vapour_fraction);
  store(strm, n + 5, r.liquid_split);
  store(strm, n + 8, r.molecular_weight);
  store(strm, n + 9, flow * r.molecular_weight);
}

void publish_failure(double* strm) {
  const std::int64_t n = host().ncomp();
  VOKA_STWKWK[2] = 0;
  set_word_real(VOKA_STWKWK, 19, load(strm, n + 1));
  set_word_real(VOKA_STWKWK, 20, load(strm, n + 2));
  set_word_real(VOKA_STWKWK, 21, kHostMissing);
  set_word_real(VOKA_STWKWK, 22, 0.0);
  set_word_real(VOKA_STWKWK, 23, 1.0);
  store(strm, n + 4, kHostMissing);
}

}  // namespace kvt::reference
