// The routines the faults change, defined in the test program so that they take the place of the
// reference host's for the checker; each forwards to the reference host's own and then injects the
// selected fault.
#include "faulty_host.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <csignal>
#include <thread>
#include <vector>

#include "kvt/kvt.h"

Fault fault = Fault::none;
int64_t first_record = 0;

namespace {

template <class F>
F next(F, const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

double word(const int64_t* block, int64_t w) { return std::bit_cast<double>(block[w - 1]); }
void set_word(int64_t* block, int64_t w, double v) { block[w - 1] = std::bit_cast<int64_t>(v); }

// The enthalpy routines' faults.
void enthalpy_faults(bool liquid, const double* x, int64_t n, const int64_t* idx, const int64_t* code, double* h,
                     double* dhdt) {
  if (fault == Fault::heat_capacity_on_request && *code != 2) *dhdt = std::nan("");
  if (fault == Fault::enthalpy_nan_cp_negative && liquid) *dhdt = -*dhdt;
  if (fault == Fault::enthalpy_nan_cp_negative && !liquid) *h = std::nan("");
  if (fault != Fault::enthalpy_per_kg) return;
  // per kg of the mixture instead of per kmol
  double mw = 0.0, sum = 0.0;
  for (int64_t i = 0; i < n; ++i) {
    mw += x[i] * word(VOKA_PLEX, KVT_WORD(VOKA_IPOFF1, KVT_IPOFF1_MOLWT) + idx[i]);
    sum += x[i];
  }
  *h /= mw / sum;
  *dhdt /= mw / sum;
}

}  // namespace

int64_t component_list_position() {
  return KVT_WORD(VOKA_STWKWK, KVT_STWKWK_INT_BASE) + KVT_WORD(TEBU_STWORK, KVT_STWORK_COMPONENT_LIST);
}

extern "C" {

void WEND_FLASH(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, int64_t* options, int64_t* kspec,
                int64_t* kind, int64_t* nphase, int64_t* flash_option, double* real_option, double* spec1,
                double* spec2, double* estimate, int64_t* o22, int64_t* o23, int64_t* mode, int64_t* one,
                double* real_record, int64_t* int_record, int64_t* status) {
  static const auto forward = next(&WEND_FLASH, "WEND_FLASH");
  const int64_t n = VOKA_NCOMP[0];
  const double vf = strm[n + 4];
  const int64_t t_before = KVT_WORD(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE);
  const double h_before = strm[n + 3];
  if (fault == Fault::hanging_vf_flash && *kspec == KVT_SPEC_PV) {
    for (;;) pause();
  }
  const bool refused = (fault == Fault::two_phases_refused && *nphase == 2) ||
                       (fault == Fault::strict_arguments && (!(*real_option > 0.0) || (*kind > 10) != (*nphase == 3)));
  const bool dry = std::all_of(strm, strm + n, [](double flow) { return flow == 0.0; });
  if (fault == Fault::slow_flash) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  if (fault == Fault::vacuum_refused && *kspec == KVT_SPEC_TP && strm[n + 2] < 1e3) {
    *status = 0, VOKA_FLSCM2[0] = 1;
    return;
  }
  const int groups[3] = {KVT_STWORK_ENTHALPY, KVT_STWORK_VOLUME, KVT_STWORK_MOLWT};
  int64_t table[3][KVT_TABLE_PHASES];  // the phase table as it was
  for (int g = 0; g < 3; ++g) std::copy_n(&KVT_WORD(TEBU_STWORK, groups[g]), KVT_TABLE_PHASES, table[g]);
  // PLEX position of a composition (TEBU_STWORK word X, X1, X2, Y or Z)
  const auto composition = [](int w) { return KVT_WORD(VOKA_STWKWK, KVT_STWKWK_REAL_BASE) + KVT_WORD(TEBU_STWORK, w); };
  int64_t* const first_liquid = &KVT_WORD(VOKA_PLEX, composition(KVT_STWORK_X1));
  const std::vector<int64_t> first_liquid_before(first_liquid, first_liquid + n);  // X1 as it was
  int64_t tp = KVT_SPEC_TP;
  double t = strm[n + 1], p = strm[n + 2];
  // A P-H flash as a T-P flash at the stream's temperature (set by TEBU_SETH, or not)
  const bool trusts_seth = fault == Fault::heating_only_seth && *nphase == 2;
  if ((fault == Fault::ignored_enthalpy || trusts_seth) && *kspec == KVT_SPEC_PH) kspec = &tp, spec1 = &t, spec2 = &p;
  forward(strm, nsubs, d1, d2, options, kspec, kind, nphase, flash_option, real_option, spec1, spec2, estimate, o22,
          o23, mode, one, real_record, int_record, fault == Fault::status_beside_argument ? status + 1 : status);
  const int64_t y = composition(KVT_STWORK_Y);
  const int64_t list = component_list_position();
  const int64_t count = KVT_WORD(VOKA_STWKWK, KVT_STWKWK_FLASH_COUNT);
  if (refused) {  // given up midway: what it left in Y is not a composition
    *status = 0, VOKA_FLSCM2[0] = 1;
    for (int64_t i = 0; i < count; ++i) set_word(VOKA_PLEX, y + i, std::nan(""));
  }
  // The compositions of the last good flash, which the flash after a failed one writes again (stale_after_failure).
  static std::vector<int64_t> last_good;
  static bool after_failure = false;
  const int64_t phases_at = composition(KVT_STWORK_X);  // X, X1, X2, Y: 4 N words from X on
  if (fault == Fault::stale_after_failure && *status != 1) {
    after_failure = true;
  } else if (fault == Fault::stale_after_failure && after_failure) {
    std::copy(last_good.begin(), last_good.end(), VOKA_PLEX + phases_at - 1);
    after_failure = false;
  } else if (fault == Fault::stale_after_failure) {
    last_good.assign(VOKA_PLEX + phases_at - 1, VOKA_PLEX + phases_at - 1 + 4 * n);
  }
  switch (fault) {
    case Fault::failure_not_flagged: VOKA_FLSCM2[0] = 0; break;
    case Fault::hot_flash:
      set_word(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE, word(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE) + 0.5);
      break;
    case Fault::duplicate_number: VOKA_PLEX[list] = VOKA_PLEX[list - 1]; break;
    case Fault::vapour_not_normalised:
      for (int64_t i = 0; i < count; ++i) set_word(VOKA_PLEX, y + i, 1.05 * word(VOKA_PLEX, y + i));
      break;
    case Fault::stale_vapour_fraction: strm[n + 4] = vf; break;
    case Fault::heavy_vapour: set_word(TEBU_STWORK, KVT_STWORK_MOLWT, 1.1 * word(TEBU_STWORK, KVT_STWORK_MOLWT)); break;
    case Fault::stale_temperature:
      // A stale temperature that is plausible: the one an earlier flash left.
      if ((*kspec == KVT_SPEC_PH || *kspec == KVT_SPEC_PV) && t_before != 0) {
        KVT_WORD(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE) = t_before;
      }
      break;
    case Fault::volume_per_mol:
      for (int k = KVT_STWORK_VOLUME; k < KVT_STWORK_MOLWT; ++k) {
        set_word(TEBU_STWORK, k, word(TEBU_STWORK, k) / 1000.0);
      }
      break;
    case Fault::stray_word: KVT_WORD(VOKA_PLEX, list + count) = 99; break;
    case Fault::stale_enthalpy:
      if (*kspec == KVT_SPEC_TP) strm[n + 3] = h_before;
      break;
    case Fault::ierr_one_after_good:
      if (*status == 1) VOKA_FLSCOM[0] = 1;
      break;
    case Fault::hot_th_flash:
      if (*kspec == KVT_SPEC_TH) set_word(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE, word(VOKA_STWKWK, KVT_STWKWK_TEMPERATURE) + 0.5);
      break;
    case Fault::vf_beside_spec:
      if (*kspec == KVT_SPEC_PV) {
        set_word(VOKA_STWKWK, KVT_STWKWK_VAPOUR_FRACTION, word(VOKA_STWKWK, KVT_STWKWK_VAPOUR_FRACTION) + 0.01);
        strm[n + 4] += 0.01;
      }
      break;
    case Fault::split_above_one:
      if (word(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT) == 1.0) set_word(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT, 1.5);
      break;
    case Fault::split_of_second_liquid:
      set_word(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT, 1.0 - word(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT));
      break;
    case Fault::zero_pressure_t_flash:
    case Fault::pressure_in_bar:
      if (*kspec == KVT_SPEC_TH || *kspec == KVT_SPEC_TV) {
        const double bar = word(VOKA_STWKWK, KVT_STWKWK_PRESSURE) / 1e5;
        set_word(VOKA_STWKWK, KVT_STWKWK_PRESSURE, fault == Fault::pressure_in_bar ? bar : 0.0);
      }
      break;
    case Fault::stale_second_liquid_row:
      for (int g = 0; g < 3 && *kspec == KVT_SPEC_PV; ++g) {
        KVT_WORD(TEBU_STWORK, groups[g] + KVT_TABLE_LIQUID2) = table[g][KVT_TABLE_LIQUID2];
      }
      break;
    case Fault::dry_flash_good:
      if (dry && *nphase == 3) *status = 1, VOKA_FLSCM2[0] = 0;
      break;
    case Fault::negative_vapour_entry:
      if (const double last = word(VOKA_PLEX, y + count - 1); count >= 2 && last > 0.0) {
        set_word(VOKA_PLEX, y, word(VOKA_PLEX, y) + 2.0 * last);
        set_word(VOKA_PLEX, y + count - 1, -last);
      }
      break;
    case Fault::reversed_vapour: std::reverse(VOKA_PLEX + y - 1, VOKA_PLEX + y - 1 + count); break;
    case Fault::first_liquid_as_liquid: {
      const int64_t x = composition(KVT_STWORK_X), x1 = composition(KVT_STWORK_X1);
      for (int64_t i = 0; i < count; ++i) KVT_WORD(VOKA_PLEX, x1 + i) = KVT_WORD(VOKA_PLEX, x + i);
      break;
    }
    case Fault::specified_slots_kept:
      if (*kspec == KVT_SPEC_PH || *kspec == KVT_SPEC_TH) strm[n + 3] = h_before;
      if (*kspec == KVT_SPEC_PV || *kspec == KVT_SPEC_TV) strm[n + 4] = vf;
      break;
    case Fault::one_liquid_alone:
      if (word(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT) != 1.0) break;
      std::copy(first_liquid_before.begin(), first_liquid_before.end(), first_liquid);
      for (int g = 0; g < 3; ++g) KVT_WORD(TEBU_STWORK, groups[g] + KVT_TABLE_LIQUID1) = table[g][KVT_TABLE_LIQUID1];
      break;
    case Fault::split_short_of_one:
      if (word(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT) != 1.0) break;
      set_word(VOKA_STWKWK, KVT_STWKWK_LIQUID_SPLIT, 1.0 - 1e-12);
      for (int64_t i = 0; i < count; ++i) {
        set_word(VOKA_PLEX, composition(KVT_STWORK_X2) + i, std::nan(""));
      }
      break;
    case Fault::present_components_water_method: {  // the list and compositions closed up over absent ones
      int64_t m = 0;
      for (int64_t j = 0; j < count; ++j) {
        const int64_t c = KVT_WORD(VOKA_PLEX, list + j);
        if (strm[c - 1] == 0.0) continue;
        KVT_WORD(VOKA_PLEX, list + m) = c;
        for (int v : {KVT_STWORK_Z, KVT_STWORK_X, KVT_STWORK_X1, KVT_STWORK_X2, KVT_STWORK_Y}) {
          const int64_t at = composition(v);
          KVT_WORD(VOKA_PLEX, at + m) = KVT_WORD(VOKA_PLEX, at + j);
        }
        ++m;
      }
      KVT_WORD(VOKA_STWKWK, KVT_STWKWK_FLASH_COUNT) = m;
      break;
    }
    case Fault::status_in_first_record:
      if (int_record != &KVT_WORD(VOKA_PLEX, KVT_WORD(VOKA_STWKWK, KVT_STWKWK_INT_BASE) +
                                                 KVT_WORD(TEBU_STWORK, KVT_STWORK_SCRATCH_INT))) {
        ++KVT_WORD(VOKA_PLEX, first_record);
      }
      break;
    case Fault::vapour_volume_per_kg: {
      const int volume = int{KVT_STWORK_VOLUME} + KVT_TABLE_VAPOUR;
      const int molwt = int{KVT_STWORK_MOLWT} + KVT_TABLE_VAPOUR;
      set_word(TEBU_STWORK, volume, word(TEBU_STWORK, volume) / word(TEBU_STWORK, molwt));
      break;
    }
    default: break;
  }
}

void TEBU_SETH(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, int64_t* zero) {
  static const auto forward = next(&TEBU_SETH, "TEBU_SETH");
  double& t = strm[VOKA_NCOMP[0] + 1];  // the stream's temperature
  const double t_before = t;
  if (fault != Fault::ignored_enthalpy) forward(strm, nsubs, d1, d2, zero);
  if (fault == Fault::heating_only_seth) t = std::max(t, t_before);
}

void TEBU_TOTMAS(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  static const auto mass = next(&TEBU_TOTMAS, "TEBU_TOTMAS");
  (fault == Fault::mole_flow_as_mass ? TEBU_TOTFLO : mass)(strm, nsubs, d1, d2, total);
}

void GOSA_ENTHL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                int64_t* o21, int64_t* code, double* h, double* dhdt, int64_t* ierr) {
  static const auto forward = next(&GOSA_ENTHL, "GOSA_ENTHL");
  int64_t count = KVT_WORD(VOKA_STWKWK, KVT_STWKWK_FLASH_COUNT);
  std::vector<double> liquid(static_cast<std::size_t>(count));
  std::vector<int64_t> list(&KVT_WORD(VOKA_PLEX, component_list_position()),
                            &KVT_WORD(VOKA_PLEX, component_list_position()) + count);
  if (fault == Fault::enthalpy_of_flash_liquid) {  // the last flash's liquid and component list, not its arguments
    const int64_t at = KVT_WORD(VOKA_STWKWK, KVT_STWKWK_REAL_BASE) + KVT_WORD(TEBU_STWORK, KVT_STWORK_X);
    for (int64_t i = 0; i < count; ++i) liquid[static_cast<std::size_t>(i)] = word(VOKA_PLEX, at + i);
    x = liquid.data(), idx = list.data(), n = &count;
  }
  forward(t, p, x, n, idx, options, o23, o21, code, h, dhdt, ierr);
  if (fault == Fault::steep_liquid) *dhdt *= 1.2;
  enthalpy_faults(true, x, *n, idx, code, h, dhdt);
}

void GOSA_ENTHV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                int64_t* o21, int64_t* code, double* h, double* dhdt, int64_t* ierr) {
  static const auto forward = next(&GOSA_ENTHV, "GOSA_ENTHV");
  forward(t, p, x, n, idx, options, o23, o21, code, h, dhdt, ierr);
  enthalpy_faults(false, x, *n, idx, code, h, dhdt);
}

void GOSA_VISCV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                double* value, int64_t* ierr) {
  static const auto forward = next(&GOSA_VISCV, "GOSA_VISCV");
  forward(t, p, x, n, idx, options, o23, value, ierr);
  if (fault == Fault::nan_viscosity) *value = std::nan("");
  if (fault == Fault::viscosity_in_cp) *value *= 1000.0;
  if (fault == Fault::nan_hot_vapour_viscosity && *t > 430.0) *value = std::nan("");
  if (fault == Fault::dense_viscosity_in_cp && *p > 1e6) *value *= 1000.0;
}

void GOSA_VISCL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                double* value, int64_t* ierr) {
  static const auto forward = next(&GOSA_VISCL, "GOSA_VISCL");
  forward(t, p, x, n, idx, options, o23, value, ierr);
  if (fault == Fault::nan_hot_liquid_viscosity && *t > 345.0) *value = std::nan("");
  if (fault == Fault::flag_cleared) *ierr = 0;
  if (fault == Fault::liquid_viscosity_in_cp) *value *= 1000.0;
  if (fault == Fault::one_component_viscosity && *n == 1) *value = std::nan("");
  static const auto water = next(&NERO_IDXWAT, "NERO_IDXWAT");
  const bool water_method = fault == Fault::water_method_needed || fault == Fault::present_components_water_method;
  if (water_method && *n == 1 && water(idx, n) == 1 && options[0] != 2) *value = std::nan("");
}

void GOSA_SRFTEN(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                 double* value, int64_t* ierr) {
  static const auto forward = next(&GOSA_SRFTEN, "GOSA_SRFTEN");
  if (fault == Fault::crashing_surface_tension) std::raise(SIGSEGV);
  forward(t, p, x, n, idx, options, o23, value, ierr);
  if (fault == Fault::no_surface_tension) *value = 0.0;
}

#define PURE_ARGS                                                                                                \
  double *t, double *p, int64_t *n, int64_t *idx, int64_t *options, int64_t *o23, int64_t *o21, int64_t *c1,     \
      int64_t *c2, int64_t *c3, int64_t *c4, int64_t *c5, double *o13, double *o14, double *o15, double *o16,    \
      double *o17, double *o18, double *o19, double *o20, double *o21r, double *o22, double *o23r
#define PURE_PASS \
  t, p, n, idx, options, o23, o21, c1, c2, c3, c4, c5, o13, o14, o15, o16, o17, o18, o19, o20, o21r, o22, o23r

void GOSA_VTHRM(PURE_ARGS) {
  static const auto vapour = next(&GOSA_VTHRM, "GOSA_VTHRM");
  static const auto liquid = next(&GOSA_LTHRM, "GOSA_LTHRM");
  (fault == Fault::swapped_pure ? liquid : vapour)(PURE_PASS);
}

void GOSA_LTHRM(PURE_ARGS) {
  static const auto vapour = next(&GOSA_VTHRM, "GOSA_VTHRM");
  static const auto liquid = next(&GOSA_LTHRM, "GOSA_LTHRM");
  (fault == Fault::swapped_pure ? vapour : liquid)(PURE_PASS);
  static const auto water = next(&NERO_IDXWAT, "NERO_IDXWAT");
  if (fault == Fault::water_from_310_k && *t < 310.0 && water(idx, n) == 1) *o14 = std::nan("");
}

void LORI_PL001(double* t, int64_t* one_a, int64_t* component, int64_t* one_b, int64_t* one_c, int64_t* option23,
                double* lnp, double* second) {
  static const auto forward = next(&LORI_PL001, "LORI_PL001");
  forward(t, one_a, component, one_b, one_c, option23, lnp, second);
  if (fault == Fault::strict_arguments && (*one_a != 1 || *one_b != 1 || *one_c != 1)) *lnp = std::nan("");
}

int64_t NERO_IDXWAT(int64_t* list, int64_t* n) {
  static const auto forward = next(&NERO_IDXWAT, "NERO_IDXWAT");
  return fault == Fault::no_water ? 0 : forward(list, n);
}

void GOSA_TCONL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                double* value, int64_t* ierr) {
  static const auto forward = next(&GOSA_TCONL, "GOSA_TCONL");
  forward(t, p, x, n, idx, options, o23, value, ierr);
  if (fault == Fault::negative_flag) *ierr = -1;
}

void GOSA_TCONV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t* options, int64_t* o23,
                double* value, int64_t* ierr) {
  static const auto forward = next(&GOSA_TCONV, "GOSA_TCONV");
  forward(t, p, x, n, idx, options, o23, value, ierr);
  if (fault == Fault::zero_conductivity) *value = 0.0;
}

}  // extern "C"
