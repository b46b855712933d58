// Flashes of the host's streams made the way KVT_HXFLSH makes them, and the checks on what each
// flash leaves for the library to read.
#pragma once

#include <string>
#include <vector>

#include "layout.h"
#include "store.h"

namespace kvt::hostcheck {

// Slot NCOMP + k of a stream vector.
inline double& slot(std::vector<double>& strm, int64_t ncomp, int k) { return strm[ncomp + k - 1]; }

struct FlashOutcome {
  std::string label;         // names the stream and the flash kind in findings
  std::vector<double> strm;  // the stream vector after the flash
  int64_t kspec = 0;
  double spec1 = 0.0, spec2 = 0.0;
  int64_t status = 0;        // the status word WEND_FLASH set (argument 20)
  bool status_in_place = true;  // the words either side of the status word untouched
  int64_t judged = 0;        // WEND_FLSTAT's verdict
  int64_t flscom = 0, flscm2 = 0;
};

// The phases a flash left, as the library's phase fractions see them.
struct Split {
  double vf = 0.0, beta = 0.0;  // VOKA_STWKWK words 21 and 23, snapped at 1e-10 of the bounds
  bool vapour = false, liquid = false, liquid1 = false, liquid2 = false;
  bool l1_is_liquid = false;  // liquid split exactly 1: the library copies the liquid onto the first liquid
};
Split split_of_last_flash();

class Flasher {
 public:
  explicit Flasher(Context& cx) : cx_(cx) {}
  // record < 0: the flash's scratch records; else retention record `record` (0..9).
  FlashOutcome flash(std::vector<double> strm, int64_t kspec, int64_t side,
                     int64_t record, const std::string& label);

 private:
  Context& cx_;
  double spec1_ = 0.0, spec2_ = 0.0, estimate_ = 0.0;
};

// Every flash kind for every stream, a retention flash into each record, and a flash that must fail.
void check_flashes(Context& cx, const Layout& layout);

// A stream's label in findings.
std::string stream_label(const kvt_hostcheck_input& in, int64_t k);

}  // namespace kvt::hostcheck
