// A lean host for the fuzzer: it defines every host symbol the library imports, lays out its work
// array from the fuzzer's bytes, and poisons (AddressSanitizer) every word of the work array that the
// routine being called may not touch, so that a stray read or write is a crash. Its routines take
// their outputs from the fuzzer's bytes, and read every word of every area they are handed, so that
// an address or a count that the library hands on wrongly is a crash too.
#pragma once

#include <cstdint>

#include "input.h"

namespace kvt::fuzz {

inline constexpr int64_t kPlexWords = 2048;
inline constexpr int64_t kMaxComponents = 48;
inline constexpr int kRoutines = 19;

// The exported routines, in the order the harness numbers them.
enum class Routine : int {
  Flash, Fraction, MolWt, MassFlow, HeatFlow, HeatCapacity, Conductivity, Viscosity, SurfaceTension,
  Density, HeatOfVaporisation, CriticalT, CriticalP, GetT, GetP, SetT, SetP, SetH, SetVf
};

// A run of PLEX words: 1-based position of the first, and how many the host reserved.
struct Area {
  int64_t pos = 0;
  int64_t len = 0;
};

struct Layout {
  int64_t ncomp = 0;       // VOKA_NCOMP
  int64_t capacity = 0;    // room for flash components; N stays within it
  int64_t components = 0;  // component numbers 1..components have a molecular weight
  int64_t nsubs_room = 0;  // NSUBS stays within 0..nsubs_room
  int64_t real_len = 0;    // TEBU_STWORK word 1
  int64_t int_len = 0;     // TEBU_STWORK word 2
  Area comp[5];            // Z, X, X1, X2, Y
  Area crit_work, scratch_real, complist, descriptors, scratch_int;
  Area packed_count[4], packed_numbers[4], packed_fractions[4];
  Area real_records, int_records, molwt;
};

// Lay the store out from the fuzzer's bytes and fill every host block and the work array with
// consistent, hostile contents. The library's blocks get their positions (KVT_HXPKV, KVT_IHXPP 24-26).
const Layout& lay_out(Input& in);
const Layout& layout();

// Poison the work array but for the words `r` may touch with the current N and NCOMP.
void expose(Routine r);
// Unpoison the whole work array (for the harness's own changes between calls).
void expose_all();

// The routine being called, and where the host routines take their outputs from.
void begin_call(Routine r, Input* in);
void end_call();

// Keep N within the room of the lists, and the packed counts at or below N.
int64_t flash_count();
void set_flash_count(int64_t n);
// Fill the flash results (compositions, component numbers, split, phase table) from the bytes.
void fill_flash_results(Input& in);

}  // namespace kvt::fuzz
