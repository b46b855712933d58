// A host program in C against an installed kvt: it defines every symbol of kvt/host.h (here as stubs
// that answer nothing; a real host binds its data store, flash and property monitor), fills the
// library's blocks, sets a stream's temperature and reads it back with the getter's trace on.
#include <stdio.h>

#include <kvt/kvt.h>

// ---- What the host defines ----------------------------------------------------------------------

int64_t VOKA_PLEX[4096], VOKA_NCOMP[1], VOKA_STWKWK[32], VOKA_IPOFF1[320], VOKA_RGLOB[1], VOKA_FLSCOM[1],
    VOKA_FLSCM2[1], TEBU_STWORK[64];

void TEBU_SETH(double* s, int64_t* n, int64_t* d1, int64_t* d2, int64_t* zero) {}
void TEBU_TOTFLO(double* s, int64_t* n, int64_t* d1, int64_t* d2, double* total) { *total = 0.0; }
void TEBU_TOTMAS(double* s, int64_t* n, int64_t* d1, int64_t* d2, double* total) { *total = 0.0; }
void TEBU_TOTENT(double* s, int64_t* n, int64_t* d1, int64_t* d2, double* total) { *total = 0.0; }
void TEBU_CPACK(double* s, int64_t* npack, int64_t* idx, double* z, double* w) { *npack = 0; }
void WEND_FLASH(double* s, int64_t* n, int64_t* d1, int64_t* d2, int64_t* o, int64_t* kspec, int64_t* kind,
                int64_t* nphase, int64_t* fo, double* ro, double* s1, double* s2, double* est, int64_t* o22,
                int64_t* o23, int64_t* mode, int64_t* one, double* rr, int64_t* ir, int64_t* status) { *status = 0; }
int64_t WEND_FLSTAT(int64_t* one, int64_t* status) { return *status; }
void WEND_CRTCAL(int64_t* nc, double* x, int64_t* idx, double* work, double* tc, double* pc, double* o7, double* o8,
                 int64_t* ierr) { *tc = *pc = 0.0; }
void MUTO_PEQPT1(int64_t* sbd) {}

#define CONSUMER_ENTH(NAME)                                                                                 \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* o, int64_t* o23, int64_t* o21, \
            int64_t* code, double* h, double* dhdt, int64_t* ierr) { *h = *dhdt = 0.0; }
CONSUMER_ENTH(GOSA_ENTHL) CONSUMER_ENTH(GOSA_ENTHV)

#define CONSUMER_MIXTURE(NAME)                                                                              \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* o, int64_t* o23, double* value, \
            int64_t* ierr) { *value = 0.0; }
CONSUMER_MIXTURE(GOSA_TCONL) CONSUMER_MIXTURE(GOSA_TCONV) CONSUMER_MIXTURE(GOSA_VISCL) CONSUMER_MIXTURE(GOSA_VISCV)
CONSUMER_MIXTURE(GOSA_SRFTEN)

#define CONSUMER_THRM(NAME)                                                                                    \
  void NAME(double* t, double* p, int64_t* n, int64_t* idx, int64_t* o, int64_t* o23, int64_t* o21, int64_t* c1, \
            int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5, double* o13, double* o14, double* o15, double* o16, \
            double* o17, double* o18, double* o19, double* o20, double* o21r, double* o22, double* o23r) { *o14 = 0.0; }
CONSUMER_THRM(GOSA_VTHRM) CONSUMER_THRM(GOSA_LTHRM)

int64_t NERO_IDXWAT(int64_t* list, int64_t* n) { return 0; }
void LORI_PL001(double* t, int64_t* a, int64_t* component, int64_t* b, int64_t* c, int64_t* o23, double* lnp,
                double* second) { *lnp = *second = 0.0; }

// The host's output units: every unit goes to standard output here.
static int records_written = 0;
void UNIT_WRITE(const int32_t* unit, const char* text, const int64_t* nchar) {
  records_written += printf("%.*s\n", (int)*nchar, text) > 0;
}

// ---- The host program ----------------------------------------------------------------------------

int main(void) {
  enum { NCOMP = 2 };
  const int64_t nstrm = NCOMP + 10, side = KVT_SIDE_0, iphs = KVT_PHASE_STREAM, ibas = KVT_BASIS_MOLE;
  const double t = 298.15;
  double strm[NCOMP + 10] = {0}, got = 0.0;
  int64_t ierr = -7;

  VOKA_NCOMP[0] = NCOMP;
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = 1.0e35;
  KVT_WORD(KVT_HXOUTP, KVT_HXOUTP_UNIT) = 6;
  KVT_WORD(KVT_HXPDBG, KVT_TRACE_HXPTMP) = 1;

  KVT_HXUTMP(strm, NULL, NULL, &t);
  KVT_HXPTMP(strm, &nstrm, &side, &iphs, &ibas, &got, &ierr);
  printf("T = %.2f K, IERR = %lld\n", got, (long long)ierr);
  return got == t && ierr == KVT_OK && records_written > 0 ? 0 : 1;
}
