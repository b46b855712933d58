#include "host/host_state.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "kvt/host.h"
#include "data/pure.h"

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

void set_plex_real(std::int64_t pos, double v) { VOKA_PLEX[pos - 1] = std::bit_cast<std::int64_t>(v); }
void set_plex_int(std::int64_t pos, std::int64_t v) { VOKA_PLEX[pos - 1] = v; }
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
  // The words the previous layout and its reservations handed out are zeroed; the host writes no
  // word beyond them, so the rest of the work array is still zero and a selection costs no more than
  // the words it uses.
  std::fill(VOKA_PLEX, VOKA_PLEX + std::clamp<std::int64_t>(h.layout.free - 1, 0, kPlexWords), 0);
  std::fill(std::begin(VOKA_STWKWK), std::end(VOKA_STWKWK), 0);
  std::fill(std::begin(VOKA_IPOFF1), std::end(VOKA_IPOFF1), 0);
  std::fill(std::begin(TEBU_STWORK), std::end(TEBU_STWORK), 0);
  KVT_WORD(VOKA_FLSCOM, KVT_FLSCOM_CODE) = 0;
  KVT_WORD(VOKA_FLSCM2, KVT_FLSCM2_FAILED) = 0;
  KVT_WORD(VOKA_NCOMP, KVT_NCOMP_COUNT) = n;
  set_word_real(VOKA_RGLOB, KVT_RGLOB_MISSING, kHostMissing);

  Layout& l = h.layout;
  l.mw_base = 10;  // MW of component j at PLEX(10 + j)
  for (std::int64_t j = 1; j <= n; ++j) set_plex_real(l.mw_base + j, h.system.components[j - 1]->mw);
  l.real_base = l.mw_base + n + 1;
  const std::int64_t real_words = 6 * n + kCritWork + kRealRecordWords;
  l.int_base = l.real_base + real_words;
  const std::int64_t int_words = n + 2 + kIntRecordWords + 1;
  l.free = l.int_base + int_words;

  KVT_WORD(VOKA_IPOFF1, KVT_IPOFF1_MOLWT) = l.mw_base;
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_REAL_BASE) = l.real_base;
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_INT_BASE) = l.int_base;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_REAL_RECORD_WORDS) = kRealRecordWords;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_INT_RECORD_WORDS) = kIntRecordWords;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_Z) = kZ * n;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_X) = kX * n;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_X1) = kX1 * n;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_X2) = kX2 * n;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_Y) = kY * n;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_CRITICAL_WORK) = kCrit * n;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_SCRATCH_REAL) = 6 * n + kCritWork;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_COMPONENT_LIST) = 0;
  KVT_WORD(TEBU_STWORK, KVT_STWORK_DESCRIPTORS) = n;  // 2 words: one substream
  KVT_WORD(TEBU_STWORK, KVT_STWORK_SCRATCH_INT) = n + 2;
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
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_FLASH_COUNT) = n;
  set_word_real(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE, r.t);
  set_word_real(VOKA_STWKWK, KVT_STWKWK_PRESSURE, r.p);
  set_word_real(VOKA_STWKWK, KVT_STWKWK_VAPOUR_FRACTION, r.vapour_fraction);
  const bool h_known = std::isfinite(h_before) && h_before < kHostMissing;
  set_word_real(VOKA_STWKWK, KVT_STWKWK_DUTY, h_known ? flow * (r.enthalpy - h_before) : 0.0);
  set_word_real(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT, r.liquid_split);
  for (int k = 0; k < 4; ++k) {
    set_word_real(TEBU_STWORK, KVT_STWORK_ENTHALPY + k, r.phase_enthalpy[k]);
    set_word_real(TEBU_STWORK, KVT_STWORK_FURTHER + k, r.phase_amount[k]);
    set_word_real(TEBU_STWORK, KVT_STWORK_VOLUME + k, r.phase_volume[k]);
    set_word_real(TEBU_STWORK, KVT_STWORK_MOLWT + k, r.phase_mw[k]);
  }
  store(strm, slot_index(n, KVT_SLOT_TOTAL_FLOW), flow);
  store(strm, slot_index(n, KVT_SLOT_TEMPERATURE), r.t);
  store(strm, slot_index(n, KVT_SLOT_PRESSURE), r.p);
  store(strm, slot_index(n, KVT_SLOT_ENTHALPY), r.enthalpy);
  store(strm, slot_index(n, KVT_SLOT_VAPOUR_FRACTION), r.vapour_fraction);
  store(strm, slot_index(n, kSlotLiquidSplit), r.liquid_split);
  store(strm, slot_index(n, KVT_SLOT_MOLWT), r.molecular_weight);
  store(strm, slot_index(n, kSlotMassFlow), flow * r.molecular_weight);
}

void publish_failure(double* strm) {
  const std::int64_t n = host().ncomp();
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_FLASH_COUNT) = 0;
  set_word_real(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE, load(strm, slot_index(n, KVT_SLOT_TEMPERATURE)));
  set_word_real(VOKA_STWKWK, KVT_STWKWK_PRESSURE, load(strm, slot_index(n, KVT_SLOT_PRESSURE)));
  set_word_real(VOKA_STWKWK, KVT_STWKWK_VAPOUR_FRACTION, kHostMissing);
  set_word_real(VOKA_STWKWK, KVT_STWKWK_DUTY, 0.0);
  set_word_real(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT, 1.0);
  store(strm, slot_index(n, KVT_SLOT_VAPOUR_FRACTION), kHostMissing);
}

}  // namespace kvt::reference
