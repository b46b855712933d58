// The routines the faults change, defined in the test program so that they take the place of the
// reference host's for the checker; each forwards to the reference host's own and then injects the
// selected fault.
#include "faulty_host.h"

#include <dlfcn.h>

#include <bit>
#include <cmath>

#include "kvt/host.h"

Fault fault = Fault::none;

namespace {

template <class F>
F next(F, const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

double word(const int64_t* block, int64_t w) { return std::bit_cast<double>(block[w - 1]); }
void set_word(int64_t* block, int64_t w, double v) { block[w - 1] = std::bit_cast<int64_t>(v); }

}  // namespace

extern "C" {

void WEND_FLASH(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, int64_t* options, int64_t* kspec,
                int64_t* kind, int64_t* nphase, int64_t* flash_option, double* real_option, double* spec1,
                double* spec2, double* estimate, int64_t* o22, int64_t* o23, int64_t* mode, int64_t* one,
                double* real_record, int64_t* int_record, int64_t* status) {
  static const auto forward = next(&WEND_FLASH, "WEND_FLASH");
  const int64_t n = VOKA_NCOMP[0];
  const double vf = strm[n + 4];
  forward(strm, nsubs, d1, d2, options, kspec, kind, nphase, flash_option, real_option, spec1, spec2, estimate, o22,
          o23, mode, one, real_record, int_record, fault == Fault::status_beside_argument ? status + 1 : status);
  const int64_t y = VOKA_STWKWK[0] + TEBU_STWORK[18], list = VOKA_STWKWK[1] + TEBU_STWORK[25];
  switch (fault) {
    case Fault::failure_not_flagged: VOKA_FLSCM2[0] = 0; break;
    case Fault::hot_flash: set_word(VOKA_STWKWK, 19, word(VOKA_STWKWK, 19) + 0.5); break;
    case Fault::duplicate_number: VOKA_PLEX[list] = VOKA_PLEX[list - 1]; break;
    case Fault::vapour_not_normalised:
      for (int64_t i = 0; i < VOKA_STWKWK[2]; ++i) set_word(VOKA_PLEX, y + i, 1.05 * word(VOKA_PLEX, y + i));
      break;
    case Fault::stale_vapour_fraction: strm[n + 4] = vf; break;
    case Fault::heavy_vapour: set_word(TEBU_STWORK, 59, 1.1 * word(TEBU_STWORK, 59)); break;
    default: break;
  }
}

void TEBU_TOTMAS(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  static const auto mass = next(&TEBU_TOTMAS, "TEBU_TOTMAS");
  (fault == Fault::mole_flow_as_mass ? TEBU_TOTFLO : mass)(strm, nsubs, d1, d2, total);
}

void GOSA_ENTHL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                int64_t* o21, int64_t* code, double* h, double* dhdt, int64_t* ierr) {
  static const auto forward = next(&GOSA_ENTHL, "GOSA_ENTHL");
  forward(t, p, x, n, idx, options, o23, o21, code, h, dhdt, ierr);
  if (fault == Fault::steep_liquid) *dhdt *= 1.2;
}

void GOSA_VISCV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                double* value, int64_t* ierr) {
  static const auto forward = next(&GOSA_VISCV, "GOSA_VISCV");
  forward(t, p, x, n, idx, options, o23, value, ierr);
  if (fault == Fault::nan_viscosity) *value = std::nan("");
}

void GOSA_TCONL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                double* value, int64_t* ierr) {
  static const auto forward = next(&GOSA_TCONL, "GOSA_TCONL");
  forward(t, p, x, n, idx, options, o23, value, ierr);
  if (fault == Fault::negative_flag) *ierr = -1;
}

}  // extern "C"
