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

enum { NCOMP = 2, NSTRM = NCOMP + 10 };
enum { REAL_BASE = 1001, INT_BASE = 2001, PACKED = 3001 };

static void set_real(int64_t* word, double v) { memcpy(word, &v, sizeof v); }

/* The host's side of a flash: work-area positions, and the results its flash leaves: X at offset 0,
 * X1 10, X2 20, Y 30 of the real area; component numbers 7 and 3. */
static void lay_out_host(void) {
  static const double x[NCOMP] = {0.4, 0.6}, x2[NCOMP] = {0.3, 0.7}, y[NCOMP] = {0.9, 0.1};
  const int64_t offsets[][2] = {{16, 0}, {17, 10}, {18, 20}, {19, 30}, {25, 40}, {26, 0}, {29, 10}, {30, 20}};
  int64_t i, g;
  VOKA_NCOMP[0] = NCOMP;
  set_real(&VOKA_RGLOB[0], 1.0e30);
  VOKA_STWKWK[0] = REAL_BASE, VOKA_STWKWK[1] = INT_BASE, VOKA_STWKWK[2] = NCOMP;
  set_real(&VOKA_STWKWK[18], 350.0);
  set_real(&VOKA_STWKWK[19], 2.0e5);
  set_real(&VOKA_STWKWK[22], 0.6); /* liquid split */
  TEBU_STWORK[0] = TEBU_STWORK[1] = 4;
  for (i = 0; i < 8; ++i) TEBU_STWORK[offsets[i][0] - 1] = offsets[i][1];
  for (i = 0; i < NCOMP; ++i) {
    set_real(&VOKA_PLEX[REAL_BASE - 1 + i], x[i]);
    set_real(&VOKA_PLEX[REAL_BASE - 1 + 10 + i], x[i]);
    set_real(&VOKA_PLEX[REAL_BASE - 1 + 20 + i], x2[i]);
    set_real(&VOKA_PLEX[REAL_BASE - 1 + 30 + i], y[i]);
  }
  VOKA_PLEX[INT_BASE - 1] = 7, VOKA_PLEX[INT_BASE] = 3;
  for (g = KVT_GROUP_LIQUID; g <= KVT_GROUP_VAPOUR; ++g) {
    KVT_WORD(KVT_HXPKV, KVT_HXPKV_COUNT + g - 1) = PACKED + g - 1;
    KVT_WORD(KVT_HXPKV, KVT_HXPKV_NUMBERS + g - 1) = PACKED + 10 * g;
    KVT_WORD(KVT_HXPKV, KVT_HXPKV_FRACTIONS + g - 1) = PACKED + 50 + 10 * g;
  }
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = 1.0e35;
}

static double ask(void (*routine)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*,
                                  int64_t*),
                  double* strm, int64_t iphs) {
  const int64_t nstrm = NSTRM, iside = KVT_SIDE_1, ibas = KVT_BASIS_MOLE;
  double v = -1.0;
  int64_t ierr = -1;
  routine(strm, &nstrm, &iside, &iphs, &ibas, &v, &ierr);
  CHECK(ierr == KVT_OK);
  return v;
}

int main(void) {
  double strm[NSTRM] = {1.0, 2.0};
  const int64_t nstrm = NSTRM, iside = KVT_SIDE_1, islot = 0, kspec = KVT_SPEC_TP, kphs = KVT_PHASES_OPTION_SET;
  const int64_t kpeq = KVT_PEQ_OFF;
  const double t = 300.0, p = 1.0e5, h = -5.0e4, vf = 0.25;
  int64_t ierr = -1;

  lay_out_host();
  KVT_HXUTMP(strm, NULL, NULL, &t);
  KVT_HXUPRS(strm, NULL, NULL, &p);
  KVT_HXUNTH(strm, NULL, NULL, &h);
  KVT_HXUVFR(strm, NULL, NULL, &vf);
  CHECK(strm[NCOMP + 3] == -5.0e4 && strm[NCOMP + 4] == 0.25);
  CHECK(ask(KVT_HXPTMP, strm, KVT_PHASE_LIQUID1) == 300.0 && ask(KVT_HXPPRS, strm, KVT_PHASE_LIQUID1) == 1.0e5);

  KVT_HXFLSH(strm, &nstrm, &iside, &islot, &kspec, &kphs, &kpeq, &ierr);
  CHECK(ierr == KVT_OK);
  CHECK(ask(KVT_HXPTMP, strm, KVT_PHASE_STREAM) == 350.0 && ask(KVT_HXPPRS, strm, KVT_PHASE_STREAM) == 2.0e5);
  /* The vapour's packed lists: both components, in flash order. */
  CHECK(VOKA_PLEX[PACKED + 3 - 1] == 2);
  CHECK(VOKA_PLEX[PACKED + 40 - 1] == 7 && VOKA_PLEX[PACKED + 41 - 1] == 3);

  CHECK(ask(KVT_HXPFRC, strm, KVT_PHASE_STREAM) == 1.0);
  CHECK(ask(KVT_HXPFRC, strm, KVT_PHASE_VAPOUR) == 0.25);
  CHECK(ask(KVT_HXPFRC, strm, KVT_PHASE_LIQUID) == 0.75);
  CHECK(ask(KVT_HXPFRC, strm, KVT_PHASE_LIQUID2) == 0.75 * 0.4);
  printf("%s\n", failures == 0 ? "PASS" : "FAILED");
  return failures == 0 ? 0 : 1;
}
