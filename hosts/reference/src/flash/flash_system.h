// What every flash of a feed works with: the system (its components under one property method, with
// the method's parameters), the request (the specification kind and values, the phases allowed, the
// ranges searched) and the result (the state found, per phase).
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "data/databank.h"
#include "kvt_reference/reference_host.h"
#include "models/mixture.h"
#include "models/nrtl.h"
#include "models/peng_robinson.h"

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

}  // namespace kvt::reference
