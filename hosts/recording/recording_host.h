// A scriptable stand-in for the host, for tests and benchmarks. It defines every host block and
// routine that libkvt imports and UNIT_WRITE; it records each call with the addresses of its
// arguments and the 8-byte word found at each, returns scripted outputs, and captures trace records
// per unit. It knows nothing of physics: tests put the results of a "flash" into its store themselves.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "kvt/host_layout.h"

namespace kvt::rec {

inline constexpr int64_t kPlexWords = int64_t{1} << 21;  // 16 MiB of work array
// Words just before the work array (ELF builds), each holding kGuardMark, the bits of 0.75: a read
// below word 1 gives a positive fraction or count where a guarded read gives 0.
inline constexpr int64_t kGuardWords = 8;
inline constexpr int64_t kGuardMark = 0x3FE8000000000000;

struct Arg {
  const void* addr;
  int64_t word;  // the 8 bytes at addr when the call was made (0 when not readable)
  double real() const;
};

struct Call {
  std::string name;
  std::vector<Arg> args;
  const Arg& operator[](std::size_t i) const { return args.at(i - 1); }  // 1-based, as argument numbers
};

// Positions of one test's work areas, 1-based PLEX positions.
struct Layout {
  int64_t capacity = 0;    // room for this many flash components
  int64_t real_base = 0;   // VOKA_STWKWK word 1
  int64_t int_base = 0;    // VOKA_STWKWK word 2
  int64_t packed_count[4] = {};      // for KVT_HXPKV words 1-4
  int64_t packed_numbers[4] = {};    // for KVT_HXPKV words 6-9
  int64_t packed_fractions[4] = {};  // for KVT_HXPKV words 11-14
  int64_t int_records = 0;           // for KVT_IHXPP word 24
  int64_t real_records = 0;          // for KVT_IHXPP word 25
  int64_t real_record_len = 8;       // TEBU_STWORK word 1
  int64_t int_record_len = 8;        // TEBU_STWORK word 2
  int64_t molwt = 0;                 // VOKA_IPOFF1 word 306
  int64_t end = 0;                   // first position after the laid-out areas

  // The 16 words of KVT_HXPKV that locate the packed lists (words 5, 10, 15, 16 are 0).
  std::array<int64_t, 16> hxpkv() const {
    std::array<int64_t, 16> w{};
    for (int g = 0; g < 4; ++g) {
      w[g] = packed_count[g];
      w[g + 5] = packed_numbers[g];
      w[g + 10] = packed_fractions[g];
    }
    return w;
  }
};

// Compositions by their TEBU_STWORK offset word.
enum class Comp : int { Z = KVT_STWORK_Z, X = KVT_STWORK_X, X1 = KVT_STWORK_X1, X2 = KVT_STWORK_X2, Y = KVT_STWORK_Y };

struct Host {
  // Recording.
  bool recording = true;       // false: calls are not recorded (benchmarks)
  bool capture_trace = true;   // false: trace records are dropped (benchmarks)
  std::vector<Call> calls;
  std::map<int32_t, std::vector<std::string>> records;  // trace records by unit

  // Scripted answers. Each routine writes its main output from outputs[name] in call order (the
  // front is taken), else defaults[name], else default_output. Names: the routine's, and "WEND_CRTCAL:PC" for the
  // critical pressure; "GOSA_VTHRM"/"GOSA_LTHRM" feed output 14, "LORI_PL001" output 7,
  // "GOSA_ENTHL"/"GOSA_ENTHV" output 11.
  std::map<std::string, std::deque<double>, std::less<>> outputs;
  std::map<std::string, double, std::less<>> defaults;
  double default_output = 0.0;
  int64_t flash_status = 1;            // written by WEND_FLASH into its status word
  int64_t idxwat = 0;                  // NERO_IDXWAT's result
  std::deque<int64_t> error_flags;     // left by the nine-argument property routines, in call order
  std::function<void()> on_flash;      // runs inside WEND_FLASH (e.g. to change the flash results)
  std::function<void(double* strm)> on_seth;  // runs inside TEBU_SETH

  // Calls by name, in order.
  std::vector<const Call*> calls_to(std::string_view name) const;
  std::size_t count(std::string_view name) const { return calls_to(name).size(); }
  const std::vector<std::string>& trace(int32_t unit) { return records[unit]; }
};

Host& host();

// Zero every host block and the work array, mark the words before it, and forget calls, records and
// scripts.
void reset();
// Whether the words just before the work array still hold their mark (no write strayed below word 1).
bool store_guard_intact();

// Lay out the work areas for `capacity` flash components and set the host's position words
// (VOKA_STWKWK 1-2, TEBU_STWORK offsets and record lengths, VOKA_IPOFF1 306). The caller copies the
// packed-list and retention positions into the library's blocks.
Layout lay_out(int64_t capacity);

// The host's blocks as words, for snapshots.
struct Blocks {
  const int64_t* data;
  std::size_t words;
  const char* name;
};
std::vector<Blocks> host_blocks();  // VOKA_NCOMP, VOKA_STWKWK, VOKA_IPOFF1, VOKA_RGLOB, VOKA_FLSCOM, VOKA_FLSCM2, TEBU_STWORK

// ---- The store, 1-based -------------------------------------------------------------------------

int64_t plex_int(int64_t pos);
double plex_real(int64_t pos);
void set_plex_int(int64_t pos, int64_t v);
void set_plex_real(int64_t pos, double v);
const void* plex_addr(int64_t pos);

void set_ncomp(int64_t n);
void set_host_missing(double v);
void set_stwkwk_int(int word, int64_t v);
void set_stwkwk_real(int word, double v);
double stwkwk_real(int word);
void set_stwork_real(int word, double v);  // phase property table, words 47-62
double stwork_real(int word);
int64_t stwork_int(int word);
void set_flash_error(int64_t v);    // VOKA_FLSCOM word 1
void set_failure_flag(int64_t v);   // VOKA_FLSCM2 word 1
int64_t failure_flag();

// Flash results: N, the component-number list and the compositions.
int64_t comp_pos(Comp c);  // PLEX position of element 1
int64_t complist_pos();
void set_flash_count(int64_t n);
void set_components(const std::vector<int64_t>& numbers);
void set_composition(Comp c, const std::vector<double>& x);
void set_molwt(int64_t component, double mw);  // molecular weight of host component number j

}  // namespace kvt::rec
