/* A host program in C against an installed kvt: it defines every symbol of kvt/host.h (here as stubs
 * that answer nothing; a real host binds its data store, flash and property monitor), fills the
 * library's blocks, sets a stream's temperature and reads it back with the getter's trace on. */
#include <stdio.h>
#include <string.h>

#include <kvt/kvt.h>

/* ---- What the host defines ---------------------------------------------------------------------- */

int64_t VOKA_PLEX[4096];
int64_t VOKA_NCOMP[1];
int64_t VOKA_STWKWK[32];
int64_t VOKA_IPOFF1[320];
int64_t VOKA_RGLOB[1];
int64_t VOKA_FLSCOM[1];
int64_t VOKA_FLSCM2[1];
int64_t TEBU_STWORK[64];

void TEBU_SETH(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, int64_t* zero) {
  (void)strm, (void)nsubs, (void)desc1, (void)desc2, (void)zero;
}
void TEBU_TOTFLO(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total) {
  (void)strm, (void)nsubs, (void)desc1, (void)desc2;
  *total = 0.0;
}
void TEBU_TOTMAS(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total) {
  (void)strm, (void)nsubs, (void)desc1, (void)desc2;
  *total = 0.0;
}
void TEBU_TOTENT(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total) {
  (void)strm, (void)nsubs, (void)desc1, (void)desc2;
  *total = 0.0;
}
void TEBU_CPACK(double* strm, int64_t* npack, int64_t* idx, double* z, double* w) {
  (void)strm, (void)idx, (void)z;
  *npack = 0;
  *w = 0.0;
}
void WEND_FLASH(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, int64_t* options, int64_t* kspec,
                int64_t* kind, int64_t* nphase, int64_t* flash_option, double* real_option, double* spec1,
                double* spec2, double* estimate, int64_t* option22, int64_t* option23, int64_t* retention_mode,
                int64_t* one, double* real_record, int64_t* int_record, int64_t* status) {
  (void)strm, (void)nsubs, (void)desc1, (void)desc2, (void)options, (void)kspec, (void)kind, (void)nphase;
  (void)flash_option, (void)real_option, (void)spec1, (void)spec2, (void)estimate, (void)option22;
  (void)option23, (void)retention_mode, (void)one, (void)real_record, (void)int_record;
  *status = 0;
}
int64_t WEND_FLSTAT(int64_t* one, int64_t* status) {
  (void)one;
  return *status;
}
void WEND_CRTCAL(int64_t* nc, double* comp, int64_t* idx, double* work, double* tc, double* pc, double* o7,
                 double* o8, int64_t* ierr) {
  (void)nc, (void)comp, (void)idx, (void)work, (void)o7, (void)o8, (void)ierr;
  *tc = 0.0;
  *pc = 0.0;
}
void MUTO_PEQPT1(int64_t* sbd) { (void)sbd; }

#define CONSUMER_ENTH(NAME)                                                                                  \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23, \
            int64_t* option21, int64_t* code, double* h, double* dhdt, int64_t* ierr) {                     \
    (void)t, (void)p, (void)x, (void)n, (void)idx, (void)options, (void)option23, (void)option21;           \
    (void)code, (void)ierr;                                                                                  \
    *h = 0.0;                                                                                                \
    *dhdt = 0.0;                                                                                             \
  }
CONSUMER_ENTH(GOSA_ENTHL)
CONSUMER_ENTH(GOSA_ENTHV)

#define CONSUMER_MIXTURE(NAME)                                                                               \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23, \
            double* value, int64_t* ierr) {                                                                  \
    (void)t, (void)p, (void)x, (void)n, (void)idx, (void)options, (void)option23, (void)ierr;               \
    *value = 0.0;                                                                                            \
  }
CONSUMER_MIXTURE(GOSA_TCONL)
CONSUMER_MIXTURE(GOSA_TCONV)
CONSUMER_MIXTURE(GOSA_VISCL)
CONSUMER_MIXTURE(GOSA_VISCV)
CONSUMER_MIXTURE(GOSA_SRFTEN)

#define CONSUMER_THRM(NAME)                                                                                   \
  void NAME(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,             \
            int64_t* option21, int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5, double* o13,  \
            double* o14, double* o15, double* o16, double* o17, double* o18, double* o19, double* o20,        \
            double* o21, double* o22, double* o23) {                                                          \
    (void)t, (void)p, (void)n, (void)idx, (void)options, (void)option23, (void)option21;                     \
    (void)c1, (void)c2, (void)c3, (void)c4, (void)c5;                                                         \
    *o13 = *o14 = *o15 = *o16 = *o17 = *o18 = *o19 = *o20 = *o21 = *o22 = *o23 = 0.0;                         \
  }
CONSUMER_THRM(GOSA_VTHRM)
CONSUMER_THRM(GOSA_LTHRM)

int64_t NERO_IDXWAT(int64_t* list, int64_t* n) {
  (void)list, (void)n;
  return 0;
}
void LORI_PL001(double* t, int64_t* one_a, int64_t* component, int64_t* one_b, int64_t* one_c, int64_t* option23,
                double* lnp, double* second) {
  (void)t, (void)one_a, (void)component, (void)one_b, (void)one_c, (void)option23;
  *lnp = 0.0;
  *second = 0.0;
}

/* The host's output units: every unit goes to standard output here. */
static int records_written = 0;
void UNIT_WRITE(const int32_t* unit, const char* text, const int64_t* nchar) {
  (void)unit;
  printf("%.*s\n", (int)*nchar, text);
  ++records_written;
}

/* ---- The host program ---------------------------------------------------------------------------- */

int main(void) {
  enum { NCOMP = 2 };
  double strm[NCOMP + 10];
  const int64_t nstrm = NCOMP + 10;
  const int64_t side = 0, iphs = 1, ibas = 0;
  const double t = 298.15;
  double got = 0.0;
  int64_t ierr = -7;

  memset(strm, 0, sizeof strm);
  VOKA_NCOMP[0] = NCOMP;
  KVT_HXRMSS[0] = 1.0e35;
  KVT_HXOUTP[0] = 6;
  KVT_HXPDBG[15] = 1; /* trace KVT_HXPTMP */

  KVT_HXUTMP(strm, NULL, NULL, &t);
  KVT_HXPTMP(strm, &nstrm, &side, &iphs, &ibas, &got, &ierr);
  printf("T = %.2f K, IERR = %lld\n", got, (long long)ierr);
  return got == t && ierr == 0 && records_written > 0 ? 0 : 1;
}
