/* The library's header compiled as C, and its routines called from C: set a stream's temperature and
 * pressure, read them back, flash it against the recording host with scripted results, and ask for
 * its phase fractions. The host's blocks are reached through kvt/host.h alone. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "kvt/kvt.h"

static int failures = 0;

#define CHECK(cond)                                                           \
  do {                                                                        \
    if (!(cond)) {                                                            \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      ++failures;                                                             \
    }                                                                         \
  } while (0)

#define CHECK_NEAR(a, b) CHECK(((a) - (b)) < 1e-12 && ((b) - (a)) < 1e-12)

enum { NCOMP = 2, NSTRM = NCOMP + 10 };
enum { REAL_BASE = 1001, INT_BASE = 2001, PACKED = 3001 };

static void set_word_real(int64_t* word, double v) { memcpy(word, &v, sizeof v); }
static double plex_real(int64_t pos) {
  double v;
  memcpy(&v, &VOKA_PLEX[pos - 1], sizeof v);
  return v;
}

/* The host's side of a flash: work-area positions, and the results its flash leaves. */
static void lay_out_host(void) {
  static const double x[NCOMP] = {0.4, 0.6}, x2[NCOMP] = {0.3, 0.7}, y[NCOMP] = {0.9, 0.1};
  int64_t i;
  int g;
  VOKA_NCOMP[0] = NCOMP;
  set_word_real(&VOKA_RGLOB[0], 1.0e30);
  VOKA_STWKWK[0] = REAL_BASE;
  VOKA_STWKWK[1] = INT_BASE;
  VOKA_STWKWK[2] = NCOMP; /* N */
  set_word_real(&VOKA_STWKWK[18], 350.0);
  set_word_real(&VOKA_STWKWK[19], 2.0e5);
  set_word_real(&VOKA_STWKWK[22], 0.6); /* liquid split */
  TEBU_STWORK[0] = 4;   /* retention record lengths */
  TEBU_STWORK[1] = 4;
  TEBU_STWORK[15] = 0;  /* X */
  TEBU_STWORK[16] = 10; /* X1 */
  TEBU_STWORK[17] = 20; /* X2 */
  TEBU_STWORK[18] = 30; /* Y */
  TEBU_STWORK[24] = 40; /* scratch real record */
  TEBU_STWORK[25] = 0;  /* component-number list (integer area) */
  TEBU_STWORK[28] = 10; /* substream descriptor lists */
  TEBU_STWORK[29] = 20; /* scratch integer record */
  for (i = 0; i < NCOMP; ++i) {
    set_word_real(&VOKA_PLEX[REAL_BASE - 1 + 0 + i], x[i]);
    set_word_real(&VOKA_PLEX[REAL_BASE - 1 + 10 + i], x[i]);
    set_word_real(&VOKA_PLEX[REAL_BASE - 1 + 20 + i], x2[i]);
    set_word_real(&VOKA_PLEX[REAL_BASE - 1 + 30 + i], y[i]);
  }
  VOKA_PLEX[INT_BASE - 1] = 7;
  VOKA_PLEX[INT_BASE] = 3;
  for (g = 0; g < 4; ++g) {
    KVT_HXPKV[g] = PACKED + g;
    KVT_HXPKV[g + 5] = PACKED + 10 + 10 * g;
    KVT_HXPKV[g + 10] = PACKED + 60 + 10 * g;
  }
  KVT_HXRMSS[0] = 1.0e35;
}

static double fraction(double* strm, int64_t iphs) {
  const int64_t nstrm = NSTRM, iside = 1, ibas = 0;
  double frc = -1.0;
  int64_t ierr = -1;
  KVT_HXPFRC(strm, &nstrm, &iside, &iphs, &ibas, &frc, &ierr);
  CHECK(ierr == 0);
  return frc;
}

int main(void) {
  double strm[NSTRM] = {1.0, 2.0};
  const int64_t nstrm = NSTRM, iside = 1, islot = 0, kspec = 2, kphs = 0, kpeq = 0, iphs = 4, ibas = 0;
  const double t = 300.0, p = 1.0e5, h = -5.0e4, vf = 0.25;
  double value = 0.0;
  int64_t ierr = -1;

  lay_out_host();

  KVT_HXUTMP(strm, NULL, NULL, &t);
  KVT_HXUPRS(strm, NULL, NULL, &p);
  KVT_HXUNTH(strm, NULL, NULL, &h);
  KVT_HXUVFR(strm, NULL, NULL, &vf);
  CHECK(strm[NCOMP + 1] == 300.0 && strm[NCOMP + 2] == 1.0e5);
  CHECK(strm[NCOMP + 3] == -5.0e4 && strm[NCOMP + 4] == 0.25);
  KVT_HXPTMP(strm, &nstrm, &iside, &iphs, &ibas, &value, &ierr);
  CHECK(value == 300.0 && ierr == 0);
  KVT_HXPPRS(strm, &nstrm, &iside, &iphs, &ibas, &value, &ierr);
  CHECK(value == 1.0e5 && ierr == 0);

  ierr = -1;
  KVT_HXFLSH(strm, &nstrm, &iside, &islot, &kspec, &kphs, &kpeq, &ierr);
  CHECK(ierr == 0);
  KVT_HXPTMP(strm, &nstrm, &iside, &iphs, &ibas, &value, &ierr);
  CHECK(value == 350.0);
  KVT_HXPPRS(strm, &nstrm, &iside, &iphs, &ibas, &value, &ierr);
  CHECK(value == 2.0e5);
  CHECK(VOKA_PLEX[PACKED + 3 - 1] == 2); /* vapour: both components, in flash order */
  CHECK(VOKA_PLEX[PACKED + 40 - 1] == 7 && VOKA_PLEX[PACKED + 41 - 1] == 3);
  CHECK(plex_real(PACKED + 90) == 0.9 && plex_real(PACKED + 91) == 0.1);

  CHECK(fraction(strm, 1) == 1.0);
  CHECK(fraction(strm, 2) == 0.25);
  CHECK(fraction(strm, 3) == 0.75);
  CHECK_NEAR(fraction(strm, 4), 0.45);
  CHECK_NEAR(fraction(strm, 5), 0.3);

  if (failures != 0) {
    fprintf(stderr, "%d check(s) failed\n", failures);
    return 1;
  }
  printf("PASS\n");
  return 0;
}
