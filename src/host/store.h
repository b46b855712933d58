// Typed access to the host's data store: the one place where a VOKA_PLEX position is formed.
//
// Every host word is 8 bytes holding an int64_t or the bits of a double; words are read and written
// through std::bit_cast, never through a pointer of the other type. Positions are 1-based PLEX word
// numbers. They are formed with wrapping arithmetic (a host that has not filled its offsets yet must
// not make the library overflow), and a read of a position below 1 gives 0 while a write there is
// skipped: a host that has not yet laid out its work areas leaves zeros in the position words.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>

#include "kvt/host.h"

namespace kvt::host {

using Pos = int64_t;

constexpr Pos add(Pos a, int64_t b) {
  return static_cast<Pos>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
constexpr Pos mul(int64_t a, int64_t b) {
  return static_cast<Pos>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

// ---- VOKA_PLEX words ----------------------------------------------------------------------------

inline int64_t plex_int(Pos p) { return p >= 1 ? VOKA_PLEX[p - 1] : 0; }
inline double plex_real(Pos p) { return p >= 1 ? std::bit_cast<double>(VOKA_PLEX[p - 1]) : 0.0; }
inline void set_plex_int(Pos p, int64_t v) {
  if (p >= 1) VOKA_PLEX[p - 1] = v;
}
inline void set_plex_real(Pos p, double v) {
  if (p >= 1) VOKA_PLEX[p - 1] = std::bit_cast<int64_t>(v);
}
// Addresses handed to host routines. The library never dereferences them itself; the host reads
// integers or doubles there as the routine's contract says.
inline int64_t* plex_int_ptr(Pos p) { return VOKA_PLEX + add(p, -1); }
inline double* plex_real_ptr(Pos p) { return reinterpret_cast<double*>(plex_int_ptr(p)); }

// ---- Walks over runs of consecutive PLEX words -----------------------------------------------------
//
// A walk over n words from a position checks the run once: when every position p .. p+n-1 is 1 or
// above (p at least 1 and p+n-1 formed without wrapping), the walk reads and writes the words directly;
// otherwise it goes word by word through the checks above, with exactly their result. Both kinds of
// run read and write the same words in the same order, so the walk's outcome does not depend on which
// one it gets.

// Words of a run that passed its check.
struct CheckedRun {
  int64_t* first;
  explicit CheckedRun(int64_t* word) : first(word) {}
  // The first word's address, held in a register of its own: the walk then indexes it directly
  // instead of re-forming it from the store's base and the position on every word.
  explicit CheckedRun(Pos p) : first(VOKA_PLEX + (p - 1)) { asm("" : "+r"(first)); }
  CheckedRun shifted(int64_t n) const { return CheckedRun(first + n); }
  int64_t word(int64_t i) const { return first[i]; }
  double real(int64_t i) const { return std::bit_cast<double>(first[i]); }
  void set_word(int64_t i, int64_t v) const { first[i] = v; }
  void set_real(int64_t i, double v) const { first[i] = std::bit_cast<int64_t>(v); }
};

// Words of a run checked word by word.
struct GuardedRun {
  Pos first;
  GuardedRun shifted(int64_t n) const { return {add(first, n)}; }
  int64_t word(int64_t i) const { return plex_int(add(first, i)); }
  double real(int64_t i) const { return plex_real(add(first, i)); }
  void set_word(int64_t i, int64_t v) const { set_plex_int(add(first, i), v); }
  void set_real(int64_t i, double v) const { set_plex_real(add(first, i), v); }
};

// (p - 1 is taken unsigned, so that a position below 1 wraps above the bound: one comparison tests
// both ends of the run, against a bound that is the same for every run of a walk.)
inline bool run_in_store(Pos p, int64_t n) {
  return n > 0 && static_cast<uint64_t>(p) - 1u <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max() - n);
}

// walk(run...) over the n words from each position: checked runs when every run passes, else guarded.
// Always inline, so that a walk costs its caller no call and keeps to the caller's free registers.
template <class Walk, class... Positions>
[[gnu::always_inline]] inline decltype(auto) walk_runs(int64_t n, Walk&& walk, Positions... p) {
  if ((run_in_store(p, n) && ...)) return walk(CheckedRun{p}...);
  return walk(GuardedRun{p}...);
}

// ---- Small host blocks ----------------------------------------------------------------------------

inline int64_t ncomp() { return VOKA_NCOMP[KVT_NCOMP_COUNT - 1]; }
inline double host_missing() { return std::bit_cast<double>(VOKA_RGLOB[KVT_RGLOB_MISSING - 1]); }

inline int64_t stwkwk_int(int w) { return VOKA_STWKWK[w - 1]; }
inline double stwkwk_real(int w) { return std::bit_cast<double>(VOKA_STWKWK[w - 1]); }
inline Pos real_base() { return stwkwk_int(KVT_STWKWK_REAL_BASE); }
inline Pos int_base() { return stwkwk_int(KVT_STWKWK_INT_BASE); }
// N (also called NCPM): flash components of the last flash. Its address is handed to the host.
inline int64_t flash_count() { return stwkwk_int(KVT_STWKWK_FLASH_COUNT); }
inline int64_t* flash_count_ptr() { return &VOKA_STWKWK[KVT_STWKWK_FLASH_COUNT - 1]; }
inline double calc_temperature() { return stwkwk_real(KVT_STWKWK_TEMPERATURE); }
inline double calc_pressure() { return stwkwk_real(KVT_STWKWK_PRESSURE); }
inline double calc_vapour_fraction() { return stwkwk_real(KVT_STWKWK_VAPOUR_FRACTION); }
inline double calc_duty() { return stwkwk_real(KVT_STWKWK_DUTY); }
inline double liquid_split() { return stwkwk_real(KVT_STWKWK_LIQUID_SPLIT); }

inline int64_t stwork_int(int64_t w) { return TEBU_STWORK[w - 1]; }

inline int64_t& flash_error_word() { return VOKA_FLSCOM[KVT_FLSCOM_CODE - 1]; }
inline int64_t& flash_failure_flag() { return VOKA_FLSCM2[KVT_FLSCM2_FAILED - 1]; }

// ---- Compositions of the last flash (real work area) ----------------------------------------------

// A composition is named by the TEBU_STWORK word that holds its offset in the real work area.
using CompWord = int64_t;

inline Pos comp_pos(CompWord c) { return add(real_base(), stwork_int(c)); }
inline double comp_value(CompWord c, int64_t i) { return plex_real(add(comp_pos(c), i - 1)); }
inline double* comp_ptr(CompWord c) { return plex_real_ptr(comp_pos(c)); }

// Component-number list (integer area): the host component number of each flash component.
inline Pos complist_pos() { return add(int_base(), stwork_int(KVT_STWORK_COMPONENT_LIST)); }
inline int64_t component_number(int64_t i) { return plex_int(add(complist_pos(), i - 1)); }
inline int64_t* complist_ptr() { return plex_int_ptr(complist_pos()); }

// The two substream descriptor lists handed to the host's stream utilities and flash.
inline Pos descriptor_pos() { return add(int_base(), stwork_int(KVT_STWORK_DESCRIPTORS)); }
inline int64_t* descriptor1_ptr() { return plex_int_ptr(descriptor_pos()); }
inline int64_t* descriptor2_ptr(int64_t nsubs) { return plex_int_ptr(add(descriptor_pos(), nsubs)); }

// Work places of the flash and of the critical-point routine.
inline double* scratch_real_record() { return plex_real_ptr(add(real_base(), stwork_int(KVT_STWORK_SCRATCH_REAL))); }
inline int64_t* scratch_int_record() { return plex_int_ptr(add(int_base(), stwork_int(KVT_STWORK_SCRATCH_INT))); }
inline double* critical_work() { return plex_real_ptr(add(real_base(), stwork_int(KVT_STWORK_CRITICAL_WORK))); }

// Molecular weight of host component number j.
inline Pos molwt_table() { return VOKA_IPOFF1[KVT_IPOFF1_MOLWT - 1]; }
inline double component_molwt(int64_t j) { return plex_real(add(molwt_table(), j)); }

// Molecular weights read by a walk over many component numbers. With the table at a position from 1
// to 2^62, a number from 0 to 2^31 - 1 gives a position from 1 to below 2^63, which cannot wrap: such
// a number indexes the table directly, with component_molwt's result and no position formed.
struct DirectMolwts {
  const int64_t* number0;  // the word of component number 0
  static bool fits(Pos table) { return table >= 1 && table <= Pos{1} << 62; }
  static bool fits_number(int64_t j) { return static_cast<uint64_t>(j) < uint64_t{1} << 31; }
  explicit DirectMolwts(Pos table) : number0(VOKA_PLEX + (table - 1)) {}
  double operator[](int64_t j) const { return std::bit_cast<double>(number0[j]); }
};

// ---- Phase property table ---------------------------------------------------------------------------

// Four groups of four words, one word per phase; a phase is named by its slot 0..3 in every group.
enum class PhaseItem : int {
  Enthalpy = KVT_STWORK_ENTHALPY,
  Further = KVT_STWORK_FURTHER,
  Volume = KVT_STWORK_VOLUME,
  MolWt = KVT_STWORK_MOLWT
};
using TableSlot = int;

constexpr int table_word(PhaseItem item, TableSlot slot) { return static_cast<int>(item) + slot; }
inline double phase_value(PhaseItem item, TableSlot slot) {
  return std::bit_cast<double>(TEBU_STWORK[table_word(item, slot) - 1]);
}
inline void set_phase_value(PhaseItem item, TableSlot slot, double v) {
  TEBU_STWORK[table_word(item, slot) - 1] = std::bit_cast<int64_t>(v);
}

// ---- Retention records of the flash ---------------------------------------------------------------

struct RetentionRecord {
  double* real;
  int64_t* integer;
  Pos status;  // position of the record's status word
};

// Record r (0-based) of the areas whose first records start at real_first and int_first.
inline RetentionRecord retention_record(Pos real_first, Pos int_first, int64_t r) {
  const int64_t rlen = stwork_int(KVT_STWORK_REAL_RECORD_WORDS);
  const int64_t ilen = stwork_int(KVT_STWORK_INT_RECORD_WORDS);
  const Pos ipos = add(int_first, mul(add(ilen, 1), r));
  return {plex_real_ptr(add(real_first, mul(rlen, r))), plex_int_ptr(ipos), add(ipos, ilen)};
}

}  // namespace kvt::host
