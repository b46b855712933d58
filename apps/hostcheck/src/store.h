// The host's data store as the checker reads it: the same words the library reads (kvt/host_layout.h),
// but every PLEX position tested against the length of the work array first, so that a wrong position
// becomes a finding rather than a stray read.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "kvt/hostcheck.h"
#include "kvt/kvt.h"
#include "report.h"

namespace kvt::hostcheck {

using Pos = int64_t;

// A span of PLEX words the library forms a position of.
struct Area {
  std::string name;  // what it is and which words name it
  Pos first = 0;
  int64_t words = 0;
  bool flash_writes = false;  // a flash may write it (compositions, component list, scratch records)
  bool doubles = false;       // its words hold doubles (weights, packed fractions, real records)
  Pos last() const { return first + words - 1; }
};

// An integer word as findings show it: one that holds the bits of a plausible double (a real written over
// an integer word) says so.
inline std::string int_word(int64_t bits) {
  const double d = std::abs(std::bit_cast<double>(bits));
  const bool real = std::abs(bits) > (int64_t{1} << 48) && std::isfinite(d) && d > 1e-30 && d < 1e30;
  return real ? num(bits) + " (the bits of the double " + num(std::bit_cast<double>(bits)) + ": a real written there)"
              : num(bits);
}

// Word i of the area as its findings show it; a real word holding a small integer's bits (a denormal) says so.
inline std::string word_text(const Area& a, int64_t bits) {
  if (!a.doubles) return int_word(bits);
  const std::string real = num(std::bit_cast<double>(bits));
  return bits > 0 && bits < (int64_t{1} << 32) ? real + " (the bits of the integer " + num(bits) + ": an integer "
                                                 "written there)" : real;
}

inline std::string where(const Area& a) {
  return a.words == 1 ? "PLEX " + num(a.first) : "PLEX " + num(a.first) + ".." + num(a.last());
}

// Everything a check needs: the host's input, the report and guarded access to the work array.
struct Context {
  const kvt_hostcheck_input& in;
  Report& report;

  int64_t ncomp() const { return KVT_WORD(VOKA_NCOMP, KVT_NCOMP_COUNT); }
  bool inside(Pos p, int64_t words = 1) const { return p >= 1 && words >= 0 && p + words - 1 <= in.plex_words; }
  int64_t plex_int(Pos p) const { return inside(p) ? VOKA_PLEX[p - 1] : 0; }
  double plex_real(Pos p) const { return inside(p) ? std::bit_cast<double>(VOKA_PLEX[p - 1]) : std::nan(""); }
  // Addresses handed to the host: only for positions inside the work array.
  double* real_ptr(Pos p) const { return reinterpret_cast<double*>(VOKA_PLEX + (p - 1)); }
  int64_t* int_ptr(Pos p) const { return VOKA_PLEX + (p - 1); }

  // Words of the host blocks, numbered from 1 (kvt/host_layout.h).
  static int64_t stwkwk(int w) { return KVT_WORD(VOKA_STWKWK, w); }
  static double stwkwk_real(int w) { return std::bit_cast<double>(KVT_WORD(VOKA_STWKWK, w)); }
  static void set_stwkwk_real(int w, double v) { KVT_WORD(VOKA_STWKWK, w) = std::bit_cast<int64_t>(v); }
  static int64_t stwork(int w) { return KVT_WORD(TEBU_STWORK, w); }
  static double stwork_real(int w) { return std::bit_cast<double>(KVT_WORD(TEBU_STWORK, w)); }
  static double host_missing() { return std::bit_cast<double>(KVT_WORD(VOKA_RGLOB, KVT_RGLOB_MISSING)); }
  static int64_t flash_count() { return stwkwk(KVT_STWKWK_FLASH_COUNT); }

  // Option words of KVT_IHXPP as the host fills them.
  int64_t ihxpp(int w) const { return in.ihxpp[w - 1]; }
  int64_t nsubs() const { return ihxpp(KVT_IHXPP_NSUBS); }
};

// Positions the library forms.
enum class Comp : int { Z = KVT_STWORK_Z, X = KVT_STWORK_X, X1 = KVT_STWORK_X1, X2 = KVT_STWORK_X2, Y = KVT_STWORK_Y };
inline Pos comp_pos(Comp c) {
  return Context::stwkwk(KVT_STWKWK_REAL_BASE) + Context::stwork(static_cast<int>(c));
}
inline Pos complist_pos() {
  return Context::stwkwk(KVT_STWKWK_INT_BASE) + Context::stwork(KVT_STWORK_COMPONENT_LIST);
}
inline Pos descriptor_pos() { return Context::stwkwk(KVT_STWKWK_INT_BASE) + Context::stwork(KVT_STWORK_DESCRIPTORS); }
inline Pos molwt_pos(int64_t component) { return KVT_WORD(VOKA_IPOFF1, KVT_IPOFF1_MOLWT) + component; }
// A stream vector's slot NCOMP + s, 0-based index (typed, so that a call with its arguments swapped
// does not compile).
inline std::size_t slot_index(int64_t ncomp, kvt_stream_slot s) { return static_cast<std::size_t>(ncomp + s - 1); }

inline const char* comp_name(Comp c) {
  constexpr const char* kNames[] = {"Z", "X", "X1", "X2", "Y"};
  return kNames[static_cast<int>(c) - static_cast<int>(Comp::Z)];
}

}  // namespace kvt::hostcheck
