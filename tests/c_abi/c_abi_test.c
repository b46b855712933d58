// The library's header compiled as C, and its routines called from C: set a stream's temperature and
// pressure, read them back, flash it against the recording host (laid out and scripted through its C
// interface) and ask for its phase fractions.
#include <stdio.h>

#include "kvt/kvt.h"
#include "recording_host_c.h"

static int failures = 0;

#define CHECK(cond) ((cond) ? (void)0 : (void)(++failures, fprintf(stderr, "line %d: %s\n", __LINE__, #cond)))

enum { NCOMP = 2, NSTRM = NCOMP + 10 };

typedef void (*routine)(double*, const int64_t*, const int64_t*, const int64_t*, const int64_t*, double*, int64_t*);
static double ask(routine r, double* strm, int64_t iphs) {
  const int64_t nstrm = NSTRM, iside = KVT_SIDE_1, ibas = KVT_BASIS_MOLE;
  double v = -1.0;
  int64_t ierr = -1;
  r(strm, &nstrm, &iside, &iphs, &ibas, &v, &ierr);
  CHECK(ierr == KVT_OK);
  return v;
}

// The word of the work array at the position word w of KVT_HXPKV names, plus i.
static int64_t packed(int w, int64_t i) { return VOKA_PLEX[KVT_WORD(KVT_HXPKV, w) - 1 + i]; }

int main(void) {
  static const int64_t capacity = 4, n = NCOMP, numbers[NCOMP] = {7, 3};
  static const double x[NCOMP] = {0.4, 0.6}, x2[NCOMP] = {0.3, 0.7}, y[NCOMP] = {0.9, 0.1}, table[16] = {0};
  static const double state[5] = {350.0, 2.0e5, 0.25, 0.0, 0.6}, host_missing = 1.0e30; /* T P VF duty split */
  const int64_t nstrm = NSTRM, iside = KVT_SIDE_1, islot = 0, kspec = KVT_SPEC_TP, kphs = 0, kpeq = KVT_PEQ_OFF;
  const double t = 300.0, p = 1.0e5;
  double strm[NSTRM] = {1.0, 2.0};
  int64_t ierr = -1, records[2];

  kvt_rec_reset();
  kvt_rec_lay_out(&capacity, KVT_HXPKV, records);
  kvt_rec_set_ncomp(&n);
  kvt_rec_set_host_missing(&host_missing);
  kvt_rec_set_flash_result(&n, numbers, y, x, x, x2, x, state, table);
  KVT_WORD(KVT_HXRMSS, KVT_HXRMSS_MISSING) = 1.0e35;

  strm[NCOMP + 4] = 0.25; // vapour fraction
  KVT_HXUTMP(strm, NULL, NULL, &t);
  KVT_HXUPRS(strm, NULL, NULL, &p);
  CHECK(ask(KVT_HXPTMP, strm, KVT_PHASE_LIQUID1) == 300.0 && ask(KVT_HXPPRS, strm, KVT_PHASE_LIQUID1) == 1.0e5);

  KVT_HXFLSH(strm, &nstrm, &iside, &islot, &kspec, &kphs, &kpeq, &ierr);
  CHECK(ierr == KVT_OK);
  CHECK(ask(KVT_HXPTMP, strm, KVT_PHASE_STREAM) == 350.0 && ask(KVT_HXPPRS, strm, KVT_PHASE_STREAM) == 2.0e5);
  // The vapour's packed lists: both components, in flash order.
  CHECK(packed(KVT_HXPKV_COUNT + KVT_GROUP_VAPOUR - 1, 0) == 2);
  CHECK(packed(KVT_HXPKV_NUMBERS + KVT_GROUP_VAPOUR - 1, 0) == 7 && packed(KVT_HXPKV_NUMBERS + KVT_GROUP_VAPOUR - 1, 1) == 3);

  CHECK(ask(KVT_HXPFRC, strm, KVT_PHASE_STREAM) == 1.0);
  CHECK(ask(KVT_HXPFRC, strm, KVT_PHASE_VAPOUR) == 0.25);
  CHECK(ask(KVT_HXPFRC, strm, KVT_PHASE_LIQUID) == 0.75);
  CHECK(ask(KVT_HXPFRC, strm, KVT_PHASE_LIQUID2) == 0.75 * 0.4);
  printf("%s\n", failures == 0 ? "PASS" : "FAILED");
  return failures == 0 ? 0 : 1;
}
