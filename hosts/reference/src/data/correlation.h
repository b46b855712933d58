// One temperature correlation of the databank: an equation form, its coefficients, its validity
// range and the published source of the coefficient set.
#pragma once

#include <string>
#include <vector>

#include "numerics/constants.h"

namespace kvt::reference {

enum class Form {
  kDippr100, kDippr101, kDippr102, kDippr105, kDippr106, kDippr107, kDippr114, kPowerLaw, kPpds, kLinearCelsius, kBrockBird
};

// Parses a form name as written in the databank ("dippr101", ...); false when unknown.
bool parse_form(const std::string& name, Form& form);

struct Correlation {
  Form form = Form::kDippr100;
  std::vector<double> c;  // coefficients c1.. in the order of the form
  double tc = 0.0;        // reduced-temperature forms (dippr106, dippr114, power_law, ppds, brock_bird): critical T, K
  double tmin = 0.0;      // validity range, K
  double tmax = 0.0;
  std::string source;
  // brock_bird only: the component's critical pressure (Pa) and normal boiling point (K)
  double pc = 0.0;
  double tb = 0.0;

  bool covers(double t) const { return t >= tmin && t <= tmax; }
  // Value at t (the form evaluated as written; no range test).
  double value(double t) const;
  // Temperature derivative at t.
  double derivative(double t) const;
};

// The smooth step 3 u^2 - 2 u^3 of u clamped to [0, 1] and its derivative in u.
double smooth_step(double u);
double smooth_step_slope(double u);

// Several entries of one property covering adjacent ranges, in ascending order. An empty set means
// "no data".
struct PiecewiseCorrelation {
  std::vector<Correlation> pieces;

  bool empty() const { return pieces.empty(); }
  double tmin() const;
  double tmax() const;
  // The piece that covers t, else the nearer end piece.
  const Correlation& at(double t) const;
  // Within kPieceJoinHalfWidth of a join, the smooth step between the two pieces; else the piece's.
  double value(double t) const;
  double derivative(double t) const;
  // Half the width of the window of the join below piece j (j >= 1): kPieceJoinHalfWidth, or half of
  // the narrower piece's range.
  double join_half_width(std::size_t j) const;
  // The join whose window holds t (the index of the upper piece), else 0; u: t's place in the window.
  std::size_t join_at(double t, double& u, double& width) const;
};

}  // namespace kvt::reference

namespace kvt::reference {

// Integral of the correlation from t0 to t1 (closed form for dippr100, dippr107 and dippr114, the
// heat-capacity forms; Simpson's rule otherwise and across a join's window), across the pieces in
// whose ranges the path lies.
double integral(const PiecewiseCorrelation& pc, double t0, double t1);

// Simpson's rule for a smooth f over [a, b] with 64 intervals.
template <class F>
double simpson(F f, double a, double b) {
  constexpr int kIntervals = 64;
  const double h = (b - a) / kIntervals;
  double s = f(a) + f(b);
  for (int i = 1; i < kIntervals; ++i) s += (i % 2 ? 4.0 : 2.0) * f(a + i * h);
  return s * h / 3.0;
}

}  // namespace kvt::reference
