// The C entry points that libkvt imports from its host, on the selected property method. None of them
// throws: bad arguments are reported through the routine's error argument or the flash status, and
// a note is kept for take_notes(): its kind, routine, phase, component, T and P, and its text.
#include <cmath>
#include <sstream>

#include "host/host_state.h"
#include "kvt_reference/reference_host.h"
#include "kvt/host.h"
#include "data/iapws/water.h"
#include "models/mixture.h"
#include "flash/phase_enthalpy.h"
#include "flash/phase_properties.h"
#include "data/pure.h"

using namespace kvt::reference;

namespace {

constexpr std::int64_t kErrArguments = 1;  // property-monitor error: bad arguments, no value
constexpr std::int64_t kErrRange = 2;      // property-monitor error: value from outside a range

std::string where(const char* routine, double t) {
  std::ostringstream s;
  s << routine << " (T = " << t << " K)";
  return s.str();
}

// A note of a property routine at T (and P, when given) whose text starts "routine (T = t K): ".
void note_at(NoteKind kind, const char* routine, NotePhase phase, const std::string& component, double t, double p,
             const std::string& what) {
  host().note({kind, routine, phase, component, t, p > 0.0 ? p : kNoState, where(routine, t) + ": " + what});
}

NotePhase note_phase(Phase phase) { return phase == Phase::kVapour ? NotePhase::vapour : NotePhase::liquid; }

// The mixture named by (x, n, idx), or false after a note when the arguments are unusable.
bool mixture_of(const char* routine, NotePhase phase, const double* x, const std::int64_t* n,
                const std::int64_t* idx, double t, Mixture& m) {
  HostState& h = host();
  if (h.ncomp() <= 0) {
    h.note(NoteKind::bad_argument, routine, "no component set is selected", phase);
    return false;
  }
  if (*n <= 0 || !std::isfinite(t) || t <= 0.0) {
    note_at(NoteKind::bad_argument, routine, phase, "", t, kNoState, "no components or a temperature that is not positive");
    return false;
  }
  for (std::int64_t k = 0; k < *n; ++k) {
    const std::int64_t j = idx[k];
    if (j < 1 || j > h.ncomp()) {
      h.note(NoteKind::bad_argument, routine, "component number " + std::to_string(j) + " is not in the component set",
             phase);
      return false;
    }
    m.components.push_back(h.system.components[j - 1]);
    m.x.push_back(std::max(0.0, load(x, k)));
  }
  return true;
}

// Notes the range problems of one evaluation and of T against the set's flash range.
std::int64_t report(const char* routine, NotePhase phase, double t, const Mixture& m, const RangeNotes& notes) {
  HostState& h = host();
  std::int64_t code = 0;
  const double p = m.p > 0.0 ? m.p : kNoState;
  for (std::size_t i = 0; i < notes.items.size(); ++i) {
    h.note({NoteKind::correlation_range, routine, phase, notes.components[i], t, p,
            std::string(routine) + ": " + notes.items[i] + " (value extrapolated or held at the range end)"});
    code = kErrRange;
  }
  std::vector<const Component*> present;
  for (std::size_t i = 0; i < m.x.size(); ++i) {
    if (m.x[i] >= kNoteFraction) present.push_back(m.components[i]);
  }
  const TRange r = set_range(present);
  if (t < r.min || t > r.max) {
    std::ostringstream s;
    s << "T = " << t << " K is outside the databank range " << r.min << " to " << r.max
      << " K of the mixture (value extrapolated)";
    h.note(NoteKind::correlation_range, routine, s.str(), phase, "", t, p);
    code = kErrRange;
  }
  return code;
}

void enthalpy_routine(const char* routine, Phase phase, double* t, double* p, double* x, int64_t* n, int64_t* idx,
                      double* hv, double* dhdt, int64_t* ierr) {
  Mixture m;
  *hv = 0.0;
  *dhdt = 0.0;
  if (!mixture_of(routine, note_phase(phase), x, n, idx, *t, m)) {
    *ierr = kErrArguments;
    return;
  }
  HostState& h = host();
  // at the pressure given, the last flash's when none is: every method's vapour depends on it (the
  // ideal and NRTL methods' through Lee and Kesler's residual)
  m.p = p != nullptr && *p > 0.0 ? *p : h.last_p;
  std::vector<double> full(h.ncomp(), 0.0);
  for (std::int64_t k = 0; k < *n; ++k) full[idx[k] - 1] += m.x[k];
  const Root root = phase == Phase::kVapour ? Root::kVapour : Root::kLiquid;
  RangeNotes notes;
  *hv = phase_enthalpy(h.system, full, phase, *t, m.p, root, &notes);
  *dhdt = phase_heat_capacity(h.system, full, phase, *t, m.p, root, &notes);
  *ierr = report(routine, note_phase(phase), *t, m, notes);
}

using MixtureProperty = double (*)(const Mixture&, double, RangeNotes*);

using PhaseProperty = double (*)(const FlashSystem&, std::span<const double>, Phase, double, double, RangeNotes*);

// The mixture property f (surface tension) of the phase, or its phase property `by_weight`
// (viscosity, conductivity: on its root, by its liquid weight).
void transport_routine(const char* routine, Phase phase, MixtureProperty f, double* t, double* p, double* x,
                       int64_t* n, int64_t* idx, double* value, int64_t* ierr, PhaseProperty by_weight = nullptr) {
  Mixture m;
  if (!mixture_of(routine, note_phase(phase), x, n, idx, *t, m)) {
    *value = 0.0;
    *ierr = kErrArguments;
    return;
  }
  m.p = p != nullptr ? *p : 0.0;
  RangeNotes notes;
  if (by_weight != nullptr) {
    HostState& h = host();
    std::vector<double> full(h.ncomp(), 0.0);
    for (std::int64_t k = 0; k < *n; ++k) full[idx[k] - 1] += m.x[k];
    *value = by_weight(h.system, full, phase, *t, m.p, &notes);
  } else {
    *value = f(m, *t, &notes);
  }
  const std::int64_t code = report(routine, note_phase(phase), *t, m, notes);
  // the flag is the caller's: raise it, never clear what an earlier call left there
  if (code != 0 && *ierr == 0) *ierr = code;
}

void pure_routine(const char* routine, bool vapour, double* t, double* p, int64_t* n, int64_t* idx, double* o13,
                  double* o14, double* o15, double* o16, double* o17, double* o18, double* o19, double* o20,
                  double* o21, double* o22, double* o23) {
  for (double* o : {o13, o14, o15, o16, o17, o18, o19, o20, o21, o22, o23}) *o = 0.0;
  HostState& h = host();
  if (*n != 1 || *idx < 1 || *idx > h.ncomp() || !(*t > 0.0)) {
    h.note(NoteKind::bad_argument, routine, "expects one component number of the set and a positive temperature",
           vapour ? NotePhase::vapour : NotePhase::liquid);
    return;
  }
  const Component& c = *h.system.components[*idx - 1];
  bool outside = false;
  if (water::is_water(c)) {
    // water on its own at the given pressure (its saturation pressure, for a heat of vaporisation)
    const double pw = p != nullptr ? *p : 0.0;
    const water::Molar w = water::at(c, *t, pw, vapour ? if97::Side::kVapour : if97::Side::kLiquid, &outside);
    *o14 = w.h;
    *o15 = w.cp;
    *o16 = vapour ? 0.0 : w.v;
  } else {
    *o14 = liquid_enthalpy(c, *t, &outside);
    *o15 = liquid_cp(c, *t, &outside);
    if (h.system.method == Method::peng_robinson && *p > 0.0) {
      std::vector<double> x(h.ncomp(), 0.0);
      x[*idx - 1] = 1.0;
      *o14 = phase_enthalpy(h.system, x, Phase::kLiquid, *t, *p, Root::kLiquid);
      *o15 = phase_heat_capacity(h.system, x, Phase::kLiquid, *t, *p, Root::kLiquid);
    }
    if (vapour) {
      // The pure vapour at its saturation, under either method: the liquid plus the measured heat of
      // vaporisation. The ideal gas lacks the real saturated vapour's departure (a third of the
      // latent heat near the critical point), and the equation's vapour and liquid roots meet at its
      // own critical point, not where the correlation's heat of vaporisation ends; so the heat of
      // vaporisation built from these routines is the correlation's, continuous up to its critical
      // point and 0 beyond, while the flash's duties keep each method's own phases.
      *o14 += heat_of_vaporisation(c, *t, &outside);
      *o15 += dheat_of_vaporisation_dt(c, *t);
    }
    *o16 = vapour ? 0.0 : liquid_molar_volume(c, *t, &outside);
  }
  *o17 = c.mw;
  const TRange r = flash_range(c);
  if (outside || *t < r.min || *t > r.max)
    note_at(NoteKind::correlation_range, routine, vapour ? NotePhase::vapour : NotePhase::liquid, c.name, *t,
            p != nullptr ? *p : kNoState, c.name + " outside its databank range");
}

}  // namespace

extern "C" {

void TEBU_TOTFLO(double* strm, int64_t*, int64_t*, int64_t*, double* total) {
  double s = 0.0;
  for (std::int64_t i = 0; i < host().ncomp(); ++i) s += load(strm, i);
  *total = s;
}

void TEBU_TOTMAS(double* strm, int64_t*, int64_t*, int64_t*, double* total) {
  const HostState& h = host();
  double s = 0.0;
  for (std::int64_t i = 0; i < h.ncomp(); ++i) s += load(strm, i) * h.system.components[i]->mw;
  *total = s;
}

void TEBU_TOTENT(double* strm, int64_t* nsubs, int64_t* d1, int64_t* d2, double* total) {
  const std::int64_t n = host().ncomp();
  double flow = 0.0;
  TEBU_TOTFLO(strm, nsubs, d1, d2, &flow);
  const double hm = load(strm, slot_index(n, KVT_SLOT_ENTHALPY));
  *total = hm >= kHostMissing || !std::isfinite(hm) ? kHostMissing : flow * hm;
}

void TEBU_CPACK(double* strm, int64_t* npack, int64_t* idx, double* z, double* w) {
  const std::int64_t n = host().ncomp();
  double flow = 0.0;
  for (std::int64_t i = 0; i < n; ++i) flow += std::max(0.0, load(strm, i));
  std::int64_t k = 0;
  if (flow > 0.0) {
    for (std::int64_t i = 0; i < n; ++i) {
      const double f = load(strm, i);
      if (f > 0.0) {
        idx[k] = i + 1;
        store(z, k, f / flow);
        ++k;
      }
    }
  }
  *npack = k;
  *w = flow;
}

void WEND_CRTCAL(int64_t* nc, double* comp, int64_t* idx, double*, double* tc, double* pc, double* o7, double* o8,
                 int64_t* ierr) {
  // Pseudo-critical point by Kay's rule: mole-fraction averages of the critical constants.
  HostState& h = host();
  double s = 0.0, t = 0.0, p = 0.0, v = 0.0, om = 0.0;
  *ierr = 0;
  for (std::int64_t k = 0; k < *nc; ++k) {
    if (idx[k] < 1 || idx[k] > h.ncomp()) {
      *ierr = 1;
      continue;
    }
    const Component& c = *h.system.components[idx[k] - 1];
    const double x = std::max(0.0, load(comp, k));
    s += x;
    t += x * c.tc;
    p += x * c.pc;
    v += x * c.vc;
    om += x * c.omega;
  }
  if (!(s > 0.0)) {
    *tc = *pc = *o7 = *o8 = 0.0;
    *ierr = 1;
    h.note(NoteKind::bad_argument, "WEND_CRTCAL", "empty composition");
    return;
  }
  *tc = t / s;
  *pc = p / s;
  *o7 = v / s;   // pseudo-critical volume, m3/kmol
  *o8 = om / s;  // mole-fraction mean acentric factor
}

void MUTO_PEQPT1(int64_t*) {
  // The reference host keeps no per-side stream records that would need updating after a flash.
}

void GOSA_ENTHL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t*, int64_t*, int64_t*, int64_t*,
                double* hv, double* dhdt, int64_t* ierr) {
  enthalpy_routine("GOSA_ENTHL", Phase::kLiquid, t, p, x, n, idx, hv, dhdt, ierr);
}

void GOSA_ENTHV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t*, int64_t*, int64_t*, int64_t*,
                double* hv, double* dhdt, int64_t* ierr) {
  enthalpy_routine("GOSA_ENTHV", Phase::kVapour, t, p, x, n, idx, hv, dhdt, ierr);
}

void GOSA_TCONL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t*, int64_t*, double* value,
                int64_t* ierr) {
  transport_routine("GOSA_TCONL", Phase::kLiquid, nullptr, t, p, x, n, idx, value, ierr, phase_conductivity);
}

void GOSA_TCONV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t*, int64_t*, double* value,
                int64_t* ierr) {
  transport_routine("GOSA_TCONV", Phase::kVapour, nullptr, t, p, x, n, idx, value, ierr, phase_conductivity);
}

void GOSA_VISCL(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t*, int64_t*, double* value,
                int64_t* ierr) {
  transport_routine("GOSA_VISCL", Phase::kLiquid, nullptr, t, p, x, n, idx, value, ierr, phase_viscosity);
}

void GOSA_VISCV(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t*, int64_t*, double* value,
                int64_t* ierr) {
  transport_routine("GOSA_VISCV", Phase::kVapour, nullptr, t, p, x, n, idx, value, ierr, phase_viscosity);
}

void GOSA_SRFTEN(double* t, double* p, double* x, int64_t* n, int64_t* idx, int64_t*, int64_t*, double* value,
                 int64_t* ierr) {
  transport_routine("GOSA_SRFTEN", Phase::kLiquid, surface_tension, t, p, x, n, idx, value, ierr);
}

void GOSA_VTHRM(double* t, double* p, int64_t* n, int64_t* idx, int64_t*, int64_t*, int64_t*, int64_t*, int64_t*,
                int64_t*, int64_t*, int64_t*, double* o13, double* o14, double* o15, double* o16, double* o17,
                double* o18, double* o19, double* o20, double* o21, double* o22, double* o23) {
  pure_routine("GOSA_VTHRM", true, t, p, n, idx, o13, o14, o15, o16, o17, o18, o19, o20, o21, o22, o23);
}

void GOSA_LTHRM(double* t, double* p, int64_t* n, int64_t* idx, int64_t*, int64_t*, int64_t*, int64_t*, int64_t*,
                int64_t*, int64_t*, int64_t*, double* o13, double* o14, double* o15, double* o16, double* o17,
                double* o18, double* o19, double* o20, double* o21, double* o22, double* o23) {
  pure_routine("GOSA_LTHRM", false, t, p, n, idx, o13, o14, o15, o16, o17, o18, o19, o20, o21, o22, o23);
}

int64_t NERO_IDXWAT(int64_t* list, int64_t* n) {
  const HostState& h = host();
  if (h.system.water < 0) return 0;
  const std::int64_t water = h.system.water + 1;
  for (std::int64_t k = 0; k < *n; ++k) {
    if (list[k] == water) return k + 1;
  }
  return 0;
}

void LORI_PL001(double* t, int64_t*, int64_t* component, int64_t*, int64_t*, int64_t*, double* lnp, double* second) {
  HostState& h = host();
  *lnp = 0.0;
  *second = 0.0;
  if (*component < 1 || *component > h.ncomp() || !(*t > 0.0)) {
    h.note(NoteKind::bad_argument, "LORI_PL001",
           "component number " + std::to_string(*component) + " or temperature not usable");
    return;
  }
  const Component& c = *h.system.components[*component - 1];
  bool outside = false;
  *lnp = ln_vapour_pressure(c, *t, &outside);
  *second = dln_vapour_pressure_dt(c, *t);
  if (outside)
    note_at(NoteKind::correlation_range, "LORI_PL001", NotePhase::none, c.name, *t, kNoState,
            c.name + " vapour pressure extrapolated");
}

}  // extern "C"
