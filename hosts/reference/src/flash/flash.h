// The flash of both property methods. Ideal solution: Raoult's-law K-values, an ideal-gas vapour, an
// ideal liquid. Peng-Robinson: K-values from the fugacity coefficients of both phases, found by
// successive substitution after a tangent-plane test of the feed (so a single phase is a stable
// one); enthalpy is the ideal gas's plus the equation's residual in each phase, the vapour volume the
// equation's, the liquid volume the density correlations' (ideal mixing). With free water (either
// method) a second liquid of pure water forms once water's partial pressure reaches its vapour
// pressure; water then does not dissolve in the first, organic, liquid, and the organics split at
// the rest of the pressure. A gas dissolves in a water-rich liquid by Henry's law under either method
// (henry.h). Water alone at or above its critical pressure is one fluid (liquid).
//
// A temperature-pressure flash solves the Rachford-Rice equation by Newton's method inside a
// bisection bracket (rachford_rice.h; for Peng-Robinson inside each substitution step, substitution.h,
// after the stability test, stability.h). Every other specification kind (flash_kind.h) is a
// bracketed one-dimensional search (flash_search.h: T at fixed P, or ln P at fixed T) over T-P flashes; where the measured quantity jumps (a pure component
// at its boiling point, a single organic with free water at its three-phase point) the result is
// the lever-rule combination of the two states on either side of the jump. Nothing here touches the
// host's data store: this is the model, tested directly.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "databank.h"
#include "kvt_reference/reference_host.h"
#include "mixture.h"
#include "nrtl.h"
#include "peng_robinson.h"

namespace kvt::reference {

struct FlashSystem {
  std::vector<const Component*> components;
  int water = -1;  // index of water among the components, -1 when absent
  Method method = Method::ideal;
  PengRobinson pr;  // the equation's parameters for these components (used by Method::peng_robinson)
  NrtlData nrtl;    // the NRTL parameters of these components (used by Method::nrtl)
};

// The system of these components under a method (water located, k_ij from the databank).
FlashSystem flash_system(const Databank& db, std::vector<const Component*> components, Method method);

// True when the only component of mole fractions x (one per component of the system) is water.
bool water_alone(const FlashSystem& sys, std::span<const double> x);

// Molar enthalpy (J/kmol) of one phase of mole fractions x (one per component of the system, any
// positive sum) at T and P on the given root, as the flash counts it, and its temperature derivative.
// A phase of water alone takes it from the water formulation under either method; any other phase
// under Peng-Robinson is the ideal gas plus the equation's residual plus, by its liquid weight (see
// PrPhase), the correction to the measured liquid path, under the ideal method the ideal mixture. Range notes go to `notes`
// (under Peng-Robinson, those of the ideal gas at T only).
double phase_enthalpy(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p, Root root,
                      RangeNotes* notes = nullptr);
double phase_heat_capacity(const FlashSystem& sys, std::span<const double> x, Phase phase, double t, double p,
                           Root root, RangeNotes* notes = nullptr);

enum class PhaseModel { kEquilibrium, kVapourOnly, kLiquidOnly };

struct FlashRequest {
  int kspec = 2;          // the specification kind (flash_kind.h: what spec1 and spec2 fix)
  double spec1 = 0.0;     // T or P
  double spec2 = 0.0;     // P, enthalpy or vapour fraction
  double estimate = 0.0;  // the searched T or P to start from; ignored unless finite
  bool free_water = false;
  PhaseModel model = PhaseModel::kEquilibrium;
  double t_min = 0.0, t_max = 0.0;  // temperatures searched / accepted, K
  double p_min = 0.0, p_max = 0.0;  // pressures searched / accepted, Pa
};

// Phase index in the per-phase arrays: vapour, total liquid, first liquid, second liquid.
enum PhaseIndex { kV = 0, kL = 1, kL1 = 2, kL2 = 3 };

struct FlashResult {
  bool converged = false;
  bool bad_input = false;          // the request itself was invalid (message says why)
  bool stopped_at_cap = false;     // an iteration stopped at its cap short of its tolerance (message says which)
  std::string message;             // why it did not converge, or empty
  // Notes without their routine (the entry point that ran the flash adds it): correlations evaluated
  // outside their range (kind correlation_range), and where the answer lies where the method is known
  // to be weak (see README), each with its phase, component (if one), T and P.
  std::vector<Note> notes;
  std::vector<Note> limits;
  double t = 0.0, p = 0.0;
  double vapour_fraction = 0.0;  // mole fraction of the feed in the vapour
  double liquid_split = 1.0;     // first liquid's share of the liquid (1 when there is no liquid)
  double enthalpy = 0.0;         // J/kmol of feed
  double molecular_weight = 0.0; // of the feed
  // Compositions, one entry per component; an absent phase gets its incipient composition (the
  // phase that would first form), the second liquid zeros when free water is not possible.
  std::vector<double> y, x, x1, x2;
  std::array<double, 4> phase_enthalpy{};  // J/kmol, by PhaseIndex
  std::array<double, 4> phase_volume{};    // m3/kmol
  std::array<double, 4> phase_mw{};        // kg/kmol
  std::array<double, 4> phase_amount{};    // kmol per kmol of feed
};

// Flash a feed of mole fractions z (one per component, summing to 1).
FlashResult flash(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req);

}  // namespace kvt::reference
