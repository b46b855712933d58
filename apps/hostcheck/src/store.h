// The host's data store as the checker reads it: the same words the library reads, but every PLEX
// position tested against the length of the work array first, so that a wrong position becomes a
// finding rather than a stray read.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "kvt/host.h"
#include "kvt/hostcheck.h"
#include "report.h"

namespace kvt::hostcheck {

using Pos = int64_t;

// A span of PLEX words the library forms a position of.
struct Area {
  std::string name;  // what it is and which words name it
  Pos first = 0;
  int64_t words = 0;
  Pos last() const { return first + words - 1; }
};

inline std::string where(const Area& a) {
  return a.words == 1 ? "PLEX " + num(a.first) : "PLEX " + num(a.first) + ".." + num(a.last());
}

// Everything a check needs: the host's input, the report and guarded access to the work array.
struct Context {
  const kvt_hostcheck_input& in;
  Report& report;

  int64_t ncomp() const { return VOKA_NCOMP[0]; }
  bool inside(Pos p, int64_t words = 1) const { return p >= 1 && words >= 0 && p + words - 1 <= in.plex_words; }
  int64_t plex_int(Pos p) const { return inside(p) ? VOKA_PLEX[p - 1] : 0; }
  double plex_real(Pos p) const { return inside(p) ? std::bit_cast<double>(VOKA_PLEX[p - 1]) : std::nan(""); }
  // Addresses handed to the host: only for positions inside the work array.
  double* real_ptr(Pos p) const { return reinterpret_cast<double*>(VOKA_PLEX + (p - 1)); }
  int64_t* int_ptr(Pos p) const { return VOKA_PLEX + (p - 1); }

  // Words of the host blocks, numbered from 1.
  static int64_t stwkwk(int w) { return VOKA_STWKWK[w - 1]; }
  static double stwkwk_real(int w) { return std::bit_cast<double>(VOKA_STWKWK[w - 1]); }
  static int64_t stwork(int w) { return TEBU_STWORK[w - 1]; }
  static double stwork_real(int w) { return std::bit_cast<double>(TEBU_STWORK[w - 1]); }
  static double host_missing() { return std::bit_cast<double>(VOKA_RGLOB[0]); }

  // Option words of KVT_IHXPP as the host fills them.
  int64_t ihxpp(int w) const { return in.ihxpp[w - 1]; }
  int64_t nsubs() const { return ihxpp(26); }
};

// Positions the library forms.
enum class Comp : int { Z = 15, X = 16, X1 = 17, X2 = 18, Y = 19 };
inline Pos comp_pos(Comp c) { return Context::stwkwk(1) + Context::stwork(static_cast<int>(c)); }
inline Pos complist_pos() { return Context::stwkwk(2) + Context::stwork(26); }
inline Pos descriptor_pos() { return Context::stwkwk(2) + Context::stwork(29); }
inline Pos molwt_pos(int64_t component) { return VOKA_IPOFF1[305] + component; }

inline const char* comp_name(Comp c) {
  constexpr const char* kNames[] = {"Z", "X", "X1", "X2", "Y"};
  return kNames[static_cast<int>(c) - static_cast<int>(Comp::Z)];
}

}  // namespace kvt::hostcheck
