// A flash's model of one feed under one request: the T-P state (the phase split at T and P) of
// either method, with or without free water, its enthalpy, and the result a finished state gives.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "flash/flash_system.h"
#include "flash/flash_state.h"

namespace kvt::reference {

class Model {
 public:
  Model(const FlashSystem& sys, std::span<const double> z, const FlashRequest& req)
      : sys_(sys), z_(z.begin(), z.end()), req_(req), water_alone_(water_alone(sys, z)) {}

  std::size_t n() const { return z_.size(); }
  bool three_phase() const { return req_.free_water && sys_.water >= 0 && z_[sys_.water] > 0.0; }
  // Whether the equation splits and measures this feed: a feed of water alone takes its saturation
  // and every property from the water formulation under either method, so it flashes as the ideal
  // method has it.
  bool peng_robinson() const { return sys_.method == Method::peng_robinson && !water_alone_; }
  bool nrtl() const { return sys_.method == Method::nrtl && !water_alone_; }

  std::vector<double> psat(double t) const;
  State empty(double t, double p) const;
  // The state at T and P: a forced phase, or the equilibrium split of the request's method.
  State tp(double t, double p) const;
  // Molar enthalpy of a state per kmol of feed: the sum of its phases' enthalpies.
  double enthalpy(const State& s) const;
  // The root of the cubic a phase of the state takes: its own in a split or a forced phase, the
  // stable one for a single phase found by the stability test.
  Root root(const State& s, Phase phase) const;
  // Whether an all-liquid state a and an all-vapour state b either side of a jump are one fluid:
  // under Peng-Robinson, above its critical point a single root passes the density that divides
  // liquid-like from vapour-like, with no phase change and no jump in density (a boiling point,
  // where the two roots coexist, has one); under the other methods, a pure component at or above
  // its critical pressure (tp() changes its label where the two enthalpies meet).
  bool one_fluid(const State& a, const State& b) const;

  FlashResult result(const State& s) const;
  std::vector<Note> limits(const FlashResult& r) const;

  const FlashRequest& request() const { return req_; }

 private:
  void dissolved_gas_limits(const FlashResult& r, std::vector<Note>& out) const;
  State ideal_tp(double t, double p) const;
  // Whether the feed holds water and a gas that dissolves in it by Henry's law.
  bool aqueous() const;
  State aqueous_split(double t, double p, const std::vector<double>& raoult) const;
  State pr_tp(double t, double p) const;
  State nrtl_tp(double t, double p) const;
  // The index of the feed's only component, or -1 for a mixture.
  int sole_component() const;
  // Two-phase Raoult split of a feed zf (fractions) of `amount` kmol into s.v / s.l1.
  static void split_two(State& s, const std::vector<double>& zf, const std::vector<double>& k, double amount);
  void pr_split(State& s, const std::vector<double>& zf, double amount, int water, double p) const;
  double free_water_fugacity(double t, double p) const;

  const FlashSystem& sys_;
  std::vector<double> z_;
  FlashRequest req_;
  bool water_alone_;
};

}  // namespace kvt::reference
