/* The toy host's model and every symbol kvt binds (kvt/host.h): its data store, stream utilities,
 * flash and property monitor. */
#include "c_host.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <kvt/host.h>

/* ---- The model ------------------------------------------------------------------------------------ */

#define R_GAS 8314.46 /* J/(kmol K) */
#define T_REF 298.15  /* enthalpies are 0 for the ideal gas at T_REF */

struct component {
  double mw;           /* kg/kmol */
  double a, b;         /* ln(p_sat / Pa) = a - b / T */
  double cp;           /* J/(kmol K), gas and liquid */
  double v_liquid;     /* m3/kmol */
  double mu_gas, k_gas, mu_liquid, k_liquid, sigma; /* at 300 K: Pa s, W/(m K), Pa s, W/(m K), N/m */
  double tc, pc;       /* K, Pa */
};
static const struct component kComponents[C_HOST_NCOMP] = {
    {86.18, 21.69, 3476.0, 143.0e3, 0.1316, 7.0e-6, 0.0125, 3.0e-4, 0.120, 0.0180, 507.6, 3.025e6},
    {100.2, 21.82, 3825.0, 166.0e3, 0.1475, 6.5e-6, 0.0115, 3.9e-4, 0.125, 0.0200, 540.2, 2.740e6},
};

static double p_sat(int i, double t) { return exp(kComponents[i].a - kComponents[i].b / t); }
static double h_gas(int i, double t) { return kComponents[i].cp * (t - T_REF); }
/* The heat of vaporisation R b: what Clausius-Clapeyron gives on the vapour pressure above. */
static double h_liquid(int i, double t) { return h_gas(i, t) - R_GAS * kComponents[i].b; }

/* A mixture's value: the mole-fraction average of f over its components (numbers idx, 1-based). */
static double average(const double* x, int64_t n, const int64_t* idx, double t, double (*f)(int, double)) {
  double sum = 0.0;
  for (int64_t k = 0; k < n; ++k) {
    const int64_t i = idx[k] - 1;
    if (i >= 0 && i < C_HOST_NCOMP) sum += x[k] * f((int)i, t);
  }
  return sum;
}
static double mw_of(int i, double t) { (void)t; return kComponents[i].mw; }
static double cp_of(int i, double t) { (void)t; return kComponents[i].cp; }
static double v_of(int i, double t) { (void)t; return kComponents[i].v_liquid; }
static double mu_gas(int i, double t) { return kComponents[i].mu_gas * pow(t / 300.0, 0.8); }
static double k_gas(int i, double t) { return kComponents[i].k_gas * pow(t / 300.0, 1.6); }
static double mu_liquid(int i, double t) { return kComponents[i].mu_liquid * exp(1200.0 * (1.0 / t - 1.0 / 300.0)); }
static double k_liquid(int i, double t) { return kComponents[i].k_liquid * (1.0 - 0.001 * (t - 300.0)); }
static double sigma(int i, double t) {
  return t < kComponents[i].tc ? kComponents[i].sigma * pow(1.0 - t / kComponents[i].tc, 1.2) / pow(1.0 - 300.0 / kComponents[i].tc, 1.2) : 0.0;
}
static double tc_of(int i, double t) { (void)t; return kComponents[i].tc; }
static double pc_of(int i, double t) { (void)t; return kComponents[i].pc; }

static const int64_t kAll[C_HOST_NCOMP] = {1, 2};

/* One flashed state: vapour fraction vf, liquid x and vapour y (an absent phase: its incipient
 * composition), the mixture's molar enthalpy h. */
struct state {
  double t, p, vf, x[C_HOST_NCOMP], y[C_HOST_NCOMP], h;
};

static void normalise(double* v) {
  double s = 0.0;
  for (int i = 0; i < C_HOST_NCOMP; ++i) s += v[i];
  for (int i = 0; i < C_HOST_NCOMP; ++i) v[i] /= s;
}

/* Rachford-Rice residual at vapour fraction vf for the equilibrium ratios k. */
static double rachford_rice(const double* z, const double* k, double vf) {
  double g = 0.0;
  for (int i = 0; i < C_HOST_NCOMP; ++i) g += z[i] * (k[i] - 1.0) / (1.0 + vf * (k[i] - 1.0));
  return g;
}
static void ratios(double t, double p, double* k) {
  for (int i = 0; i < C_HOST_NCOMP; ++i) k[i] = p_sat(i, t) / p;
}

/* The T-P flash; vapour_only / liquid_only for a one-phase flash. */
static void tp_flash(const double* z, double t, double p, int vapour_only, int liquid_only, struct state* s) {
  double k[C_HOST_NCOMP];
  ratios(t, p, k);
  s->t = t, s->p = p;
  if (liquid_only || (!vapour_only && rachford_rice(z, k, 0.0) <= 0.0)) {
    s->vf = 0.0;
  } else if (vapour_only || rachford_rice(z, k, 1.0) >= 0.0) {
    s->vf = 1.0;
  } else {
    double lo = 0.0, hi = 1.0;
    for (int it = 0; it < 200 && hi - lo > 1e-15; ++it) {
      const double mid = 0.5 * (lo + hi);
      *(rachford_rice(z, k, mid) > 0.0 ? &lo : &hi) = mid;
    }
    s->vf = 0.5 * (lo + hi);
  }
  for (int i = 0; i < C_HOST_NCOMP; ++i) {
    s->x[i] = s->vf >= 1.0 ? z[i] / k[i] : z[i] / (1.0 + s->vf * (k[i] - 1.0));
    s->y[i] = s->vf >= 1.0 ? z[i] : k[i] * s->x[i];
  }
  normalise(s->x);
  normalise(s->y);
  s->h = s->vf * average(s->y, C_HOST_NCOMP, kAll, t, h_gas) + (1.0 - s->vf) * average(s->x, C_HOST_NCOMP, kAll, t, h_liquid);
}

/* The root of f over [lo, hi] (f rising), by bisection; f(lo) and f(hi) must bracket it. */
typedef double (*residual)(const double* z, double known, double unknown, double target, int vo, int lo_only);
static int bisect(residual f, const double* z, double known, double target, double lo, double hi, int vo, int lq,
                  double* root) {
  double flo = f(z, known, lo, target, vo, lq), fhi = f(z, known, hi, target, vo, lq);
  if (!(flo <= 0.0 && fhi >= 0.0)) return 0;
  for (int it = 0; it < 200 && hi - lo > 1e-13 * hi; ++it) {
    const double mid = 0.5 * (lo + hi);
    *(f(z, known, mid, target, vo, lq) < 0.0 ? &lo : &hi) = mid;
  }
  *root = 0.5 * (lo + hi);
  return 1;
}
/* Residuals: enthalpy over T at fixed P, vapour fraction over T at fixed P, and over -ln P at fixed T. */
static double h_over_t(const double* z, double p, double t, double h, int vo, int lq) {
  struct state s;
  tp_flash(z, t, p, vo, lq, &s);
  return s.h - h;
}
static double vf_over_t(const double* z, double p, double t, double vf, int vo, int lq) {
  double k[C_HOST_NCOMP];
  (void)vo, (void)lq;
  ratios(t, p, k);
  return rachford_rice(z, k, vf);
}
static double vf_over_lnp(const double* z, double t, double minus_lnp, double vf, int vo, int lq) {
  double k[C_HOST_NCOMP];
  (void)vo, (void)lq;
  ratios(t, exp(-minus_lnp), k);
  return rachford_rice(z, k, vf);
}
static double h_over_lnp(const double* z, double t, double minus_lnp, double h, int vo, int lq) {
  struct state s;
  tp_flash(z, t, exp(-minus_lnp), vo, lq, &s);
  return s.h - h;
}

/* The flash of kind kspec (1 P-H, 2 T-P, 3 P-vapour fraction, 4 T-H, 5 T-vapour fraction); 0 when it
 * has no solution. */
static int flash(const double* z, int64_t kspec, int vo, int lq, double spec1, double spec2, double estimate,
                 struct state* s) {
  double t = 0.0, p = 0.0, root = 0.0;
  switch (kspec) {
    case 1: /* P, H */
      p = spec1;
      if (!bisect(h_over_t, z, p, spec2, 100.0, 2000.0, vo, lq, &t)) return 0;
      break;
    case 2: t = spec1, p = spec2; break;
    case 3: /* P, vapour fraction */
      p = spec1;
      if (vo || lq || spec2 < 0.0 || spec2 > 1.0 || !bisect(vf_over_t, z, p, spec2, 100.0, 2000.0, 0, 0, &t)) return 0;
      break;
    case 4: /* T, H: the estimate's pressure when it meets H (a one-phase stream), else the pressure
               between the dew and the bubble point that does */
      t = spec1;
      tp_flash(z, t, estimate, vo, lq, s);
      if (estimate > 0.0 && fabs(s->h - spec2) <= 1e-9 * (fabs(spec2) + 1e3)) {
        p = estimate;
      } else if (bisect(h_over_lnp, z, t, spec2, -log(1e9), -log(1.0), vo, lq, &root)) {
        p = exp(-root);
      } else {
        return 0;
      }
      break;
    case 5: /* T, vapour fraction */
      t = spec1;
      if (vo || lq || spec2 < 0.0 || spec2 > 1.0 || !bisect(vf_over_lnp, z, t, spec2, -log(1e10), -log(1e-3), 0, 0, &root)) return 0;
      p = exp(-root);
      break;
    default: return 0;
  }
  if (!(t > 0.0 && p > 0.0 && isfinite(t) && isfinite(p))) return 0;
  tp_flash(z, t, p, vo, lq, s);
  return 1;
}

/* ---- The data store ------------------------------------------------------------------------------- */

/* VOKA_PLEX layout (1-based words): the real work area from word 100 (Z, X, X1, X2, Y 10 words apart,
 * critical work space, scratch real record), the integer work area from word 200 (component-number
 * list, descriptor lists, scratch integer record), the molecular weights after word 300, the packed
 * lists from 400 (8 words per group), the integer retention records from 500, the real ones from 540. */
enum {
  kRealBase = 100, kIntBase = 200, kMolwt = 300, kPacked = 400, kIntRecords = 500, kRealRecords = 540,
  kRealRecordWords = 4, kIntRecordWords = 2, kPlexWords = 1024
};
enum { kZ = 0, kX = 10, kX1 = 20, kX2 = 30, kY = 40, kCritical = 50, kScratchReal = 60 };
enum { kList = 0, kDescriptors = 10, kScratchInt = 20 };
static const double kHostMissing = 1.0e35;

int64_t VOKA_PLEX[kPlexWords], VOKA_NCOMP[1] = {C_HOST_NCOMP}, VOKA_STWKWK[32], VOKA_IPOFF1[320], VOKA_RGLOB[1],
    VOKA_FLSCOM[1], VOKA_FLSCM2[1], TEBU_STWORK[64];

static void put_real(int64_t* block, int64_t word, double v) { memcpy(&block[word - 1], &v, sizeof v); }

int64_t c_host_plex_words(void) { return kPlexWords; }

/* The layout words, written once (the first call of any routine below). */
static void lay_out(void) {
  static int done = 0;
  if (done) return;
  done = 1;
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_REAL_BASE) = kRealBase;
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_INT_BASE) = kIntBase;
  KVT_WORD(VOKA_IPOFF1, KVT_IPOFF1_MOLWT) = kMolwt;
  for (int i = 0; i < C_HOST_NCOMP; ++i) put_real(VOKA_PLEX, kMolwt + 1 + i, kComponents[i].mw);
  put_real(VOKA_RGLOB, KVT_RGLOB_MISSING, kHostMissing);
  const int64_t words[][2] = {
      {KVT_STWORK_REAL_RECORD_WORDS, kRealRecordWords}, {KVT_STWORK_INT_RECORD_WORDS, kIntRecordWords},
      {KVT_STWORK_Z, kZ}, {KVT_STWORK_X, kX}, {KVT_STWORK_X1, kX1}, {KVT_STWORK_X2, kX2}, {KVT_STWORK_Y, kY},
      {KVT_STWORK_CRITICAL_WORK, kCritical}, {KVT_STWORK_SCRATCH_REAL, kScratchReal},
      {KVT_STWORK_COMPONENT_LIST, kList}, {KVT_STWORK_DESCRIPTORS, kDescriptors}, {KVT_STWORK_SCRATCH_INT, kScratchInt}};
  for (size_t w = 0; w < sizeof words / sizeof words[0]; ++w) KVT_WORD(TEBU_STWORK, words[w][0]) = words[w][1];
  /* One substream: its descriptor lists hold the substream number and the stream length. */
  KVT_WORD(VOKA_PLEX, kIntBase + kDescriptors) = 1;
  KVT_WORD(VOKA_PLEX, kIntBase + kDescriptors + 1) = C_HOST_NSTRM;
}

void c_host_blocks(int64_t ihxpp[28], double rhxpp[8], int64_t hxpkv[16], double* missing) {
  lay_out();
  memset(ihxpp, 0, 28 * sizeof ihxpp[0]);
  memset(rhxpp, 0, 8 * sizeof rhxpp[0]);
  for (int side = 0; side < 2; ++side) {
    KVT_WORD(ihxpp, KVT_IHXPP_PHASE_COUNT + KVT_SIDE_STRIDE_I * side) = 2;
    KVT_WORD(ihxpp, KVT_IHXPP_PHASE_KIND + KVT_SIDE_STRIDE_I * side) = 1;
  }
  KVT_WORD(ihxpp, KVT_IHXPP_INT_RECORDS) = kIntRecords;
  KVT_WORD(ihxpp, KVT_IHXPP_REAL_RECORDS) = kRealRecords;
  KVT_WORD(ihxpp, KVT_IHXPP_NSUBS) = 1;
  KVT_WORD(ihxpp, KVT_IHXPP_RETENTION) = KVT_RETENTION_ON;
  for (int g = KVT_GROUP_LIQUID; g <= KVT_GROUP_VAPOUR; ++g) {
    const int64_t base = kPacked + 8 * (g - 1);
    KVT_WORD(hxpkv, KVT_HXPKV_COUNT + g - 1) = base;
    KVT_WORD(hxpkv, KVT_HXPKV_NUMBERS + g - 1) = base + 1;
    KVT_WORD(hxpkv, KVT_HXPKV_FRACTIONS + g - 1) = base + 1 + C_HOST_NCOMP;
  }
  *missing = 1.0e30;
}

/* ---- Stream utilities ------------------------------------------------------------------------------ */

static double slot(const double* strm, int s) { return strm[C_HOST_NCOMP + s - 1]; }
static double* slot_at(double* strm, int s) { return &strm[C_HOST_NCOMP + s - 1]; }

/* The stream's mole fractions into z; its total flow. */
static double fractions(const double* strm, double* z) {
  double f = 0.0;
  for (int i = 0; i < C_HOST_NCOMP; ++i) f += strm[i] > 0.0 ? strm[i] : 0.0;
  for (int i = 0; i < C_HOST_NCOMP; ++i) z[i] = f > 0.0 && strm[i] > 0.0 ? strm[i] / f : 0.0;
  return f;
}

void TEBU_SETH(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, int64_t* zero) {
  double z[C_HOST_NCOMP], t = 0.0;
  (void)nsubs, (void)desc1, (void)desc2, (void)zero;
  if (fractions(strm, z) > 0.0 && bisect(h_over_t, z, slot(strm, KVT_SLOT_PRESSURE), slot(strm, KVT_SLOT_ENTHALPY),
                                         100.0, 2000.0, 0, 0, &t)) {
    *slot_at(strm, KVT_SLOT_TEMPERATURE) = t;
  }
}
void TEBU_TOTFLO(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total) {
  double z[C_HOST_NCOMP];
  (void)nsubs, (void)desc1, (void)desc2;
  *total = fractions(strm, z);
}
void TEBU_TOTMAS(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total) {
  double z[C_HOST_NCOMP];
  (void)nsubs, (void)desc1, (void)desc2;
  *total = fractions(strm, z) * average(z, C_HOST_NCOMP, kAll, 0.0, mw_of);
}
void TEBU_TOTENT(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, double* total) {
  double z[C_HOST_NCOMP];
  struct state s;
  (void)nsubs, (void)desc1, (void)desc2;
  const double f = fractions(strm, z);
  tp_flash(z, slot(strm, KVT_SLOT_TEMPERATURE), slot(strm, KVT_SLOT_PRESSURE), 0, 0, &s);
  *total = f * s.h;
}
void TEBU_CPACK(double* strm, int64_t* npack, int64_t* idx, double* z, double* w) {
  double all[C_HOST_NCOMP];
  (void)w;
  fractions(strm, all);
  *npack = 0;
  for (int i = 0; i < C_HOST_NCOMP; ++i) {
    if (all[i] > 0.0) idx[*npack] = i + 1, z[*npack] = all[i], ++*npack;
  }
}

/* ---- Flash ------------------------------------------------------------------------------------------ */

/* The flash's results where kvt reads them: VOKA_STWKWK, the compositions, the component-number list,
 * the phase table and the stream vector. */
static void publish(const struct state* s, const double* z, double* strm, double flow, double h_before) {
  const double* compositions[] = {z, s->x, s->x, s->x, s->y};
  const int offsets[] = {kZ, kX, kX1, kX2, kY};
  for (int c = 0; c < 5; ++c) {
    for (int i = 0; i < C_HOST_NCOMP; ++i) put_real(VOKA_PLEX, kRealBase + offsets[c] + i, compositions[c][i]);
  }
  for (int i = 0; i < C_HOST_NCOMP; ++i) KVT_WORD(VOKA_PLEX, kIntBase + kList + i) = i + 1;
  KVT_WORD(VOKA_STWKWK, KVT_STWKWK_FLASH_COUNT) = C_HOST_NCOMP;
  put_real(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE, s->t);
  put_real(VOKA_STWKWK, KVT_STWKWK_PRESSURE, s->p);
  put_real(VOKA_STWKWK, KVT_STWKWK_VAPOUR_FRACTION, s->vf);
  put_real(VOKA_STWKWK, KVT_STWKWK_DUTY, isfinite(h_before) && h_before < kHostMissing ? flow * (s->h - h_before) : 0.0);
  put_real(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT, 1.0); /* one liquid: the first is all of it */
  for (int k = 0; k < KVT_TABLE_PHASES; ++k) {
    const double* x = k == KVT_TABLE_VAPOUR ? s->y : s->x;
    const int gas = k == KVT_TABLE_VAPOUR;
    put_real(TEBU_STWORK, KVT_STWORK_ENTHALPY + k, average(x, C_HOST_NCOMP, kAll, s->t, gas ? h_gas : h_liquid));
    put_real(TEBU_STWORK, KVT_STWORK_VOLUME + k, gas ? R_GAS * s->t / s->p : average(x, C_HOST_NCOMP, kAll, 0.0, v_of));
    put_real(TEBU_STWORK, KVT_STWORK_MOLWT + k, average(x, C_HOST_NCOMP, kAll, 0.0, mw_of));
  }
  *slot_at(strm, KVT_SLOT_TOTAL_FLOW) = flow;
  *slot_at(strm, KVT_SLOT_TEMPERATURE) = s->t;
  *slot_at(strm, KVT_SLOT_PRESSURE) = s->p;
  *slot_at(strm, KVT_SLOT_ENTHALPY) = s->h;
  *slot_at(strm, KVT_SLOT_VAPOUR_FRACTION) = s->vf;
  *slot_at(strm, KVT_SLOT_MOLWT) = average(z, C_HOST_NCOMP, kAll, 0.0, mw_of);
}

void WEND_FLASH(double* strm, int64_t* nsubs, int64_t* desc1, int64_t* desc2, int64_t* options, int64_t* kspec,
                int64_t* kind, int64_t* nphase, int64_t* flash_option, double* real_option, double* spec1,
                double* spec2, double* estimate, int64_t* option22, int64_t* option23, int64_t* retention_mode,
                int64_t* one, double* real_record, int64_t* int_record, int64_t* status) {
  double z[C_HOST_NCOMP];
  struct state s;
  (void)nsubs, (void)desc1, (void)desc2, (void)options, (void)flash_option, (void)real_option, (void)option22;
  (void)option23, (void)retention_mode, (void)one, (void)real_record, (void)int_record;
  lay_out();
  const double flow = fractions(strm, z);
  /* One phase of kind 2: liquid only; one of kind 1: vapour only. */
  const int one_phase = *nphase == 1, liquid_only = one_phase && *kind % 10 == 2;
  if (flow > 0.0 && flash(z, *kspec, one_phase && !liquid_only, liquid_only, *spec1, *spec2, *estimate, &s)) {
    publish(&s, z, strm, flow, slot(strm, KVT_SLOT_ENTHALPY));
    KVT_WORD(VOKA_FLSCOM, KVT_FLSCOM_CODE) = 0;
    *status = 1;
  } else {
    KVT_WORD(VOKA_FLSCM2, KVT_FLSCM2_FAILED) = 1;
    *status = 0;
  }
}
int64_t WEND_FLSTAT(int64_t* one, int64_t* status) {
  (void)one;
  return *status == 1 ? 1 : 0;
}
void WEND_CRTCAL(int64_t* nc, double* comp, int64_t* idx, double* work, double* tc, double* pc, double* o7,
                 double* o8, int64_t* ierr) {
  (void)work, (void)o7, (void)o8, (void)ierr;
  *tc = average(comp, *nc, idx, 0.0, tc_of);
  *pc = average(comp, *nc, idx, 0.0, pc_of);
}
void MUTO_PEQPT1(int64_t* sbd) { (void)sbd; }

int c_host_stream(const double flows[C_HOST_NCOMP], double t, double p, double strm[C_HOST_NSTRM]) {
  int64_t nsubs = 1, two = 2, nphase = 2, kind = 1, zero = 0, one = 1, status = 0;
  double none = 0.0, missing = kHostMissing;
  memset(strm, 0, C_HOST_NSTRM * sizeof strm[0]);
  memcpy(strm, flows, C_HOST_NCOMP * sizeof strm[0]);
  lay_out();
  WEND_FLASH(strm, &nsubs, &zero, &zero, &zero, &two, &kind, &nphase, &zero, &none, &t, &p, &missing, &zero, &zero,
             &zero, &one, &none, &zero, &status);
  return status == 1 ? 0 : 1;
}

/* ---- Property monitor ------------------------------------------------------------------------------- */

#define C_HOST_ENTHALPY(NAME, H)                                                                              \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,     \
            int64_t* option21, int64_t* code, double* h, double* dhdt, int64_t* ierr) {                         \
    (void)p, (void)options, (void)option23, (void)option21, (void)code;                                         \
    *h = average(x, *n, idx, *t, H);                                                                            \
    *dhdt = average(x, *n, idx, *t, cp_of);                                                                     \
    *ierr = 0;                                                                                                  \
  }
C_HOST_ENTHALPY(GOSA_ENTHL, h_liquid)
C_HOST_ENTHALPY(GOSA_ENTHV, h_gas)

#define C_HOST_TRANSPORT(NAME, F)                                                                             \
  void NAME(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23,     \
            double* value, int64_t* ierr) {                                                                     \
    (void)p, (void)options, (void)option23, (void)ierr;                                                         \
    *value = average(x, *n, idx, *t, F);                                                                        \
  }
C_HOST_TRANSPORT(GOSA_TCONL, k_liquid)
C_HOST_TRANSPORT(GOSA_TCONV, k_gas)
C_HOST_TRANSPORT(GOSA_VISCL, mu_liquid)
C_HOST_TRANSPORT(GOSA_VISCV, mu_gas)
C_HOST_TRANSPORT(GOSA_SRFTEN, sigma)

#define C_HOST_PURE(NAME, H)                                                                                  \
  void NAME(double* t, double* p, int64_t* n, int64_t* idx, int64_t* options, int64_t* option23, int64_t* option21, \
            int64_t* c1, int64_t* c2, int64_t* c3, int64_t* c4, int64_t* c5, double* o13, double* o14, double* o15, \
            double* o16, double* o17, double* o18, double* o19, double* o20, double* o21, double* o22, double* o23) { \
    const double one = 1.0;                                                                                     \
    (void)p, (void)options, (void)option23, (void)option21, (void)c1, (void)c2, (void)c3, (void)c4, (void)c5;   \
    (void)o13, (void)o15, (void)o16, (void)o17, (void)o18, (void)o19, (void)o20, (void)o21, (void)o22, (void)o23; \
    *o14 = average(&one, *n > 0 ? 1 : 0, idx, *t, H);                                                          \
  }
C_HOST_PURE(GOSA_VTHRM, h_gas)
C_HOST_PURE(GOSA_LTHRM, h_liquid)

int64_t NERO_IDXWAT(int64_t* list, int64_t* n) {
  (void)list, (void)n;
  return 0; /* no water among the components */
}
void LORI_PL001(double* t, int64_t* one_a, int64_t* component, int64_t* one_b, int64_t* one_c, int64_t* option23,
                double* lnp, double* second) {
  (void)one_a, (void)one_b, (void)one_c, (void)option23, (void)second;
  const int64_t i = *component - 1;
  *lnp = i >= 0 && i < C_HOST_NCOMP ? kComponents[i].a - kComponents[i].b / *t : 0.0;
}

/* ---- Output ------------------------------------------------------------------------------------------- */

void UNIT_WRITE(const int32_t* unit, const char* text, const int64_t* nchar) {
  (void)unit;
  printf("%.*s\n", (int)*nchar, text);
}
