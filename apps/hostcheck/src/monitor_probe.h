// The property monitor's routines called on one phase of a flashed stream the way the library's
// property routines call them, and the checks on one phase's answers: enthalpy and heat capacity,
// transport properties and their error flags, the composition argument, pure-component calls,
// heat of vaporisation, units (bands) and a temperature sweep. check_monitor (monitor.h) drives them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bands.h"
#include "flash_probe.h"
#include "isolate.h"

namespace kvt::hostcheck {

constexpr double kPresent = 1e-10;  // a mole fraction above it: the component is in the phase

using Enthalpy = decltype(&GOSA_ENTHL);
using Transport = decltype(&GOSA_TCONL);
using Pure = decltype(&GOSA_VTHRM);

struct PhaseCall {
  const char* name;
  Pos pos;         // the phase's full composition, handed to the host as the library hands it
  int table;       // its word in the phase property table's groups
  int64_t options[6];
  bool liquid;
  Enthalpy enthalpy() const { return liquid ? GOSA_ENTHL : GOSA_ENTHV; }
  const char* enthalpy_name() const { return liquid ? "GOSA_ENTHL" : "GOSA_ENTHV"; }
};

struct TransportCall {
  Transport routine;
  const char* name;
  Quantity quantity;
};
constexpr TransportCall kVapourTransport[] = {{GOSA_TCONV, "GOSA_TCONV", Quantity::Conductivity},
                                              {GOSA_VISCV, "GOSA_VISCV", Quantity::Viscosity}};
constexpr TransportCall kLiquidTransport[] = {{GOSA_TCONL, "GOSA_TCONL", Quantity::Conductivity},
                                              {GOSA_VISCL, "GOSA_VISCL", Quantity::Viscosity},
                                              {GOSA_SRFTEN, "GOSA_SRFTEN", Quantity::SurfaceTension}};

// The transport routines of a vapour or of a liquid.
std::span<const TransportCall> transports(bool liquid);

struct Probe {
  Context& cx;
  std::string label;
  double t, p;
  int64_t n;
  int64_t* list;
  int64_t option21, option23;
  // At the second pressure only values in a wrong unit count: a value that is no number is property-values'
  // and sweep's to find at the stream's own state.
  bool finite_only = false;

  std::string at(const char* call, const PhaseCall& ph, double temp) const;
  // What a host call is for, in a finding of a crash or a hang.
  std::string during(const PhaseCall& ph, double temp) const;

  double* x(const PhaseCall& ph) const { return cx.real_ptr(ph.pos); }

  // Enthalpy and its temperature derivative at temp, of the phase's composition or of `comp` (N words).
  void enthalpy(const PhaseCall& ph, double temp, double& h, double& dhdt, double* comp = nullptr);

  void check_enthalpy(const PhaseCall& ph);

  // The packed composition the library's flash keeps for the phase.
  struct Packed {
    std::vector<double> x;
    std::vector<int64_t> numbers;
  };
  Packed packed(const PhaseCall& ph) const;

  double transport(const PhaseCall& ph, const TransportCall& call, double temp, int64_t& ierr);
  double transport(const PhaseCall& ph, const TransportCall& call, double temp, int64_t& ierr, Packed k);

  void check_transport(const PhaseCall& ph, const TransportCall& call, Check only);

  // Each routine of the phase with the phase's composition and with each component present alone: a routine
  // that gives one value for all ignores its composition argument.
  template <class Guarded>
  void check_composition_use(const PhaseCall& ph, const Guarded& guarded) {
    std::vector<int64_t> present;
    for (int64_t i = 0; i < n; ++i) {
      if (cx.plex_real(ph.pos + i) > 1e-3) present.push_back(i);
    }
    if (present.size() < 2) return;
    const auto judge = [&](const char* name, const std::vector<double>& values, const char* what, bool mixture = true) {
      cx.report.exercised(Check::CompositionUse);
      // 0 for every composition: a property the host does not compute (a surface tension), not a composition lost.
      if (values[0] == 0.0) return;
      for (double v : values) {
        if (!close(v, values[0], 1e-12)) return;
      }
      std::string comps;
      for (int64_t i : present) comps += (comps.empty() ? "" : ", ") + num(list[i]);
      cx.report.fail(Check::CompositionUse, at(name, ph, t) + ": expected " + what + " that follows the composition "
                                            "argument (" + (mixture ? "the phase's, and components " : "components ") +
                                            comps + (mixture ? " each alone" : "") + "); found " +
                                            num(values[0]) + " for each: the routine ignores its composition "
                                            "(does it use one of its own, such as the last flash's?)");
    };
    guarded([&] {
      std::vector<double> cps(1);
      double h = 0.0;
      enthalpy(ph, t, h, cps[0]);
      for (int64_t i : present) {
        std::vector<double> alone(static_cast<std::size_t>(n), 0.0);
        alone[static_cast<std::size_t>(i)] = 1.0;
        enthalpy(ph, t, h, cps.emplace_back(), alone.data());
      }
      judge(ph.enthalpy_name(), cps, "a heat capacity (argument 11)");
    });
    for (const TransportCall& call : transports(ph.liquid)) {
      guarded([&] {
        int64_t ierr = 0;
        std::vector<double> values{transport(ph, call, t, ierr)};
        for (int64_t i : present) values.push_back(transport(ph, call, t, ierr, Packed{{1.0}, {list[i]}}));
        judge(call.name, values, "a value (argument 8)");
      });
    }
    if (!ph.liquid) return;
    guarded([&] {  // the pure-component enthalpies of the heat of vaporisation, component by component
      std::vector<double> vapour, liquid;
      for (int64_t i : present) {
        const PureState s = pure(ph, list + i, t);
        vapour.push_back(s.hv), liquid.push_back(s.hl);
      }
      judge("GOSA_VTHRM", vapour, "a vapour enthalpy (argument 14)", false);
      judge("GOSA_LTHRM", liquid, "a liquid enthalpy (argument 14)", false);
    });
  }

  // ln of the pure component's pressure function and the vapour and liquid enthalpies at its pressure.
  struct PureState {
    double lnp = 0.0, hv = 0.0, hl = 0.0;
  };
  PureState pure(const PhaseCall& ph, int64_t* component, double temp);

  void check_pure(const PhaseCall& ph, int64_t* component);

  // The heat of vaporisation of the pure component against Clausius-Clapeyron on its own vapour
  // pressure, where the vapour is near ideal (below 10 bar).
  void check_vaporisation(const PhaseCall& ph, int64_t* component);

  // The phase's heat capacity per unit mass and, for a liquid, its density, from the flash's molecular
  // weight and molar volume (phase property table).
  void check_bands(const PhaseCall& ph);

  // Each routine of the phase over a sweep of temperatures around the stream's: finite and in band.
  void check_sweep(const PhaseCall& ph);
};

}  // namespace kvt::hostcheck
