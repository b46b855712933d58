// The host routines of the stand-in host: each records its call, then writes its scripted outputs.
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "kvt/host.h"
#include "recording_host.h"

namespace kvt::rec {
void record(const char* name, std::initializer_list<const void*> args);
double output(std::string_view name);
void leave_error(int64_t* ierr);
}  // namespace kvt::rec

using kvt::rec::host;
using kvt::rec::leave_error;
using kvt::rec::output;
using kvt::rec::record;

extern "C" {

void TEBU_SETH(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, int64_t* zero) {
  record("TEBU_SETH", {strm, nsubs, d1, d2, zero});
  if (host().on_seth) host().on_seth(strm);
}
void TEBU_TOTFLO(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  record("TEBU_TOTFLO", {strm, nsubs, d1, d2, total});
  *total = output("TEBU_TOTFLO");
}
void TEBU_TOTMAS(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  record("TEBU_TOTMAS", {strm, nsubs, d1, d2, total});
  *total = output("TEBU_TOTMAS");
}
void TEBU_TOTENT(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  record("TEBU_TOTENT", {strm, nsubs, d1, d2, total});
  *total = output("TEBU_TOTENT");
}
// Packs the components with a positive flow, fractions of their sum.
void TEBU_CPACK(double* strm, int64_t* npack, int64_t* idx, double* z, double* w) {
  record("TEBU_CPACK", {strm, npack, idx, z, w});
  const int64_t n = VOKA_NCOMP[0];
  double total = 0.0;
  for (int64_t j = 0; j < n; ++j) total += strm[j] > 0.0 ? strm[j] : 0.0;
  int64_t kept = 0;
  for (int64_t j = 0; j < n; ++j) {
    if (!(strm[j] > 0.0)) continue;
    idx[kept] = j + 1;
    z[kept] = strm[j] / total;
    ++kept;
  }
  *npack = kept;
  *w = 0.0;
}

void WEND_FLASH(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, int64_t* options, int64_t* kspec, int64_t* kind,
                int64_t* nphase, int64_t* flash_option, double* real_option, double* spec1, double* spec2,
                double* estimate, int64_t* option22, int64_t* option23, int64_t* retention_mode, int64_t* one,
                double* real_record, int64_t* int_record, int64_t* status) {
  record("WEND_FLASH", {strm, nsubs, d1, d2, options, kspec, kind, nphase, flash_option, real_option, spec1, spec2,
                        estimate, option22, option23, retention_mode, one, real_record, int_record, status});
  *status = host().flash_status;
  if (host().on_flash) host().on_flash();
}
int64_t WEND_FLSTAT(int64_t* one, int64_t* status) {
  record("WEND_FLSTAT", {one, status});
  return *status;
}
void WEND_CRTCAL(int64_t* nc, double* comp, int64_t* idx, double* work, double* tc, double* pc, double* o7, double* o8,
                 int64_t* ierr) {
  record("WEND_CRTCAL", {nc, comp, idx, work, tc, pc, o7, o8, ierr});
  *tc = output("WEND_CRTCAL");
  *pc = output("WEND_CRTCAL:PC");
}
void MUTO_PEQPT1(int64_t* sbd) { record("MUTO_PEQPT1", {sbd}); }

#define KVT_REC_ENTH(NAME)                                                                                     \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,   \
            int64_t* option21, int64_t* code, double* h, double* dhdt, int64_t* ierr) {                       \
    record(#NAME, {t, p, x, n, idx, options, option23, option21, code, h, dhdt, ierr});                       \
    *h = 0.0;                                                                                                  \
    *dhdt = output(#NAME);                                                                                     \
  }
KVT_REC_ENTH(GOSA_ENTHL)
KVT_REC_ENTH(GOSA_ENTHV)

#define KVT_REC_MIXTURE(NAME)                                                                                  \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,   \
            double* value, int64_t* ierr) {                                                                    \
    record(#NAME, {t, p, x, n, idx, options, option23, value, ierr});                                         \
    *value = output(#NAME);                                                                                    \
    leave_error(ierr);                                                                                         \
  }
KVT_REC_MIXTURE(GOSA_TCONL)
KVT_REC_MIXTURE(GOSA_TCONV)
KVT_REC_MIXTURE(GOSA_VISCL)
KVT_REC_MIXTURE(GOSA_VISCV)
KVT_REC_MIXTURE(GOSA_SRFTEN)

#define KVT_REC_THRM(NAME)                                                                                      \
  void NAME(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23, int64_t* option21, \
            int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5, double* o13, double* o14, double* o15,  \
            double* o16, double* o17, double* o18, double* o19, double* o20, double* o21, double* o22, double* o23) { \
    record(#NAME, {t, p, n, idx, options, option23, option21, c1, c2, c3, c4, c5, o13, o14, o15, o16, o17, o18, o19, \
                   o20, o21, o22, o23});                                                                        \
    for (double* o : {o13, o15, o16, o17, o18, o19, o20, o21, o22, o23}) *o = -1.0;                            \
    *o14 = output(#NAME);                                                                                       \
  }
KVT_REC_THRM(GOSA_VTHRM)
KVT_REC_THRM(GOSA_LTHRM)

int64_t NERO_IDXWAT(int64_t* list, int64_t* n) {
  record("NERO_IDXWAT", {list, n});
  return host().idxwat;
}
void LORI_PL001(double* t, int64_t* one_a, int64_t* component, int64_t* one_b, int64_t* one_c, int64_t* option23,
                double* lnp, double* second) {
  record("LORI_PL001", {t, one_a, component, one_b, one_c, option23, lnp, second});
  *lnp = output("LORI_PL001");
  *second = -1.0;
}

void UNIT_WRITE(const int32_t* unit, const char* text, const int64_t* nchar) {
  if (host().capture_trace) host().records[*unit].emplace_back(text, static_cast<std::size_t>(*nchar));
}

}  // extern "C"
