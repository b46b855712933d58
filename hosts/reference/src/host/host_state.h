// The reference host's own state behind the C entry points: the databank, the selected component set,
// the layout of the work array, the output units and the notes kept for the program.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <limits>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "data/databank.h"
#include "flash/flash.h"
#include "kvt/host_layout.h"
#include "kvt_reference/reference_host.h"
#include "data/pure.h"

namespace kvt::reference {

inline constexpr std::int64_t kPlexWords = 1 << 17;
inline constexpr double kHostMissing = 1.0e35;
inline constexpr double kPressureMin = 1.0e2;  // Pa
inline constexpr double kPressureMax = 5.0e7;  // Pa
// Retention records: real words T, P, vapour fraction, liquid split, enthalpy, KSPEC, 2 spare;
// integer words: validity marker, NCOMP, phases present (the status word follows, the library's).
inline constexpr std::int64_t kRealRecordWords = 8;
inline constexpr std::int64_t kIntRecordWords = 3;
inline constexpr std::int64_t kRecordMarker = 0x4B5649;  // a record written by this host

struct Layout {
  std::int64_t mw_base = 0;    // VOKA_IPOFF1 word 306
  std::int64_t real_base = 0;  // VOKA_STWKWK word 1
  std::int64_t int_base = 0;   // VOKA_STWKWK word 2
  std::int64_t free = 0;       // first free PLEX position
};

inline constexpr double kNoState = std::numeric_limits<double>::quiet_NaN();

struct HostState {
  Databank databank;
  bool loaded = false;
  FlashSystem system;  // the selected components, in component-number order
  Layout layout;
  // the last flash's phase settings, used by TEBU_SETH
  bool last_free_water = false;
  PhaseModel last_model = PhaseModel::kEquilibrium;
  double last_p = 101325.0;  // the last flash's pressure, Pa: the enthalpy routines' when given none
  std::deque<Note> notes;
  std::map<std::int32_t, std::FILE*> units;

  std::int64_t ncomp() const { return static_cast<std::int64_t>(system.components.size()); }
  // Keep a note (a repeat of a kept note with the same text is dropped).
  void note(Note n);
  // Keep a note from `routine` whose text is "routine: what" (T and P NaN: the note has no state).
  void note(NoteKind kind, const std::string& routine, const std::string& what, NotePhase phase = NotePhase::none,
            const std::string& component = {}, double t = kNoState, double p = kNoState);
  // Keep a flash's note (flash.h: it has no routine yet) as raised by `routine`, `tail` after its text.
  void note(const std::string& routine, Note n, const std::string& tail = {});
};

HostState& host();

// Typed access to VOKA_PLEX words and to doubles behind pointers that may point into it.
void set_plex_real(std::int64_t pos, double v);
void set_plex_int(std::int64_t pos, std::int64_t v);
inline double load(const double* p, std::int64_t i) {
  double v;
  std::memcpy(&v, p + i, sizeof v);
  return v;
}
inline void store(double* p, std::int64_t i, double v) { std::memcpy(p + i, &v, sizeof v); }
// Index of stream slot NCOMP + s: the slots of kvt/host_layout.h (KVT_SLOT_*), and two of this host's
// own, the liquid split and the mass flow.
// Typed, so that a call with its arguments swapped does not compile.
enum OwnSlot : int { kSlotLiquidSplit = 6, kSlotMassFlow = 10 };
inline std::int64_t slot_index(std::int64_t ncomp, kvt_stream_slot s) { return ncomp + s - 1; }
inline std::int64_t slot_index(std::int64_t ncomp, OwnSlot s) { return ncomp + s - 1; }
void set_word_real(std::int64_t* block, int word, double v);  // 1-based word of a host block

// Temperature range over the given components (intersection of their flash ranges).
TRange set_range(const std::vector<const Component*>& comps);

// Lay out the data store for the selected set (zeroes VOKA_PLEX and the blocks).
void lay_out_store();

// Publish a flash result into the data store and the stream vector; `h_before` is the stream's
// enthalpy before the flash (for the duty), `strm` the caller's stream vector.
void publish_flash(const FlashResult& r, std::span<const double> z, double* strm, double flow, double h_before);
// Mark the data store after a failed flash: phase split unknown, T and P those of the stream.
void publish_failure(double* strm);

}  // namespace kvt::reference
