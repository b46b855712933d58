// Flashes of the host's streams made the way KVT_HXFLSH makes them, and the checks on what each
// flash leaves for the library to read.
#pragma once

#include <bit>
#include <string>
#include <vector>

#include "layout.h"
#include "store.h"

namespace kvt::hostcheck {

constexpr int64_t kPoison = -7777;  // a status or code word no host leaves by chance

// The phases of the phase property table, with their compositions.
struct TablePhase {
  const char* name;
  int offset;  // the phase's word in each table group (kvt_table_phase)
  Comp comp;
};
constexpr TablePhase kTablePhases[KVT_TABLE_PHASES] = {{"vapour", KVT_TABLE_VAPOUR, Comp::Y},
                                                       {"liquid", KVT_TABLE_LIQUID, Comp::X},
                                                       {"first liquid", KVT_TABLE_LIQUID1, Comp::X1},
                                                       {"second liquid", KVT_TABLE_LIQUID2, Comp::X2}};

// Slot NCOMP + s of a stream vector (kvt_stream_slot).
inline double& slot(std::vector<double>& strm, int64_t ncomp, kvt_stream_slot s) { return strm[slot_index(ncomp, s)]; }

struct FlashOutcome {
  std::string label;         // names the stream and the flash kind in findings
  std::vector<double> strm;  // the stream vector after the flash
  int64_t kspec = 0;
  double spec1 = 0.0, spec2 = 0.0;
  int64_t status = 0;        // the status word WEND_FLASH set (argument 20)
  bool status_in_place = true;  // the words either side of the status word untouched
  int64_t judged = 0;        // WEND_FLSTAT's verdict
  int64_t flscom = 0, flscm2 = 0;
  std::vector<std::string> unwritten;  // words the flash must write but left holding the marker
  std::vector<std::string> stray;      // words the flash must leave but changed
  bool good() const { return judged == 1; }
};

// The phases a flash left, as the library's phase fractions see them.
struct Split {
  double vf = 0.0, beta = 0.0;  // the vapour fraction and liquid split words, snapped at 1e-10 of the bounds
  bool vapour = false, liquid = false, liquid1 = false, liquid2 = false;
  bool l1_is_liquid = false;  // liquid split exactly 1: the library copies the liquid onto the first liquid
};
Split split_of_last_flash();

class Flasher {
 public:
  explicit Flasher(Context& cx, const Layout* layout = nullptr) : cx_(cx), layout_(layout) {}
  // record < 0: the flash's scratch records; else retention record `record` (0..9). With mark, the
  // words the flash must write are filled with a marker first and the words it must leave are watched
  // (needs the layout).
  FlashOutcome flash(std::vector<double> strm, int64_t kspec, int64_t side, int64_t record, const std::string& label,
                     bool mark = false);

 private:
  Context& cx_;
  const Layout* layout_;
  double spec1_ = 0.0, spec2_ = 0.0, estimate_ = 0.0;
};

// The stream k of the setup as a vector, its side, and a T-P flash of it. The vector holds kGuardWords
// guard words past the setup's nstrm slots, so that a host writing more slots than the setup declares
// writes them, not the checker's memory; guard_breach gives the last slot (1-based) written past nstrm, 0
// when none was.
inline constexpr int64_t kGuardWords = 16;
inline const double kGuard = std::bit_cast<double>(0x7FF4B1C5600DF00Dull);  // a NaN no host computes
std::vector<double> stream_vector(const Context& cx, int64_t k);
int64_t guard_breach(const std::vector<double>& strm, int64_t nstrm);
int64_t stream_side(const Context& cx, int64_t k);
// A T-P flash of stream k without flow (no component flows, no total flow): one the host must judge failed.
FlashOutcome dry_flash(Context& cx, Flasher& flasher, int64_t k);

// The checks made on every flash kind of every stream; `only` selects the check whose findings count.
void check_flashes(Context& cx, const Layout& layout, Check only);

// A stream's label in findings.
std::string stream_label(const kvt_hostcheck_input& in, int64_t k);

bool close(double a, double b, double rel, double abs = 0.0);

}  // namespace kvt::hostcheck
