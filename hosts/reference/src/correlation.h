// One temperature correlation of the databank: an equation form, its coefficients, its validity
// range and the published source of the coefficient set.
#pragma once

#include <string>
#include <vector>

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

// Several entries of one property covering adjacent ranges. An empty set means "no data".
struct PiecewiseCorrelation {
  std::vector<Correlation> pieces;

  bool empty() const { return pieces.empty(); }
  double tmin() const;
  double tmax() const;
  // The piece that covers t, else the nearer end piece.
  const Correlation& at(double t) const;
  double value(double t) const { return at(t).value(t); }
  double derivative(double t) const { return at(t).derivative(t); }
};

}  // namespace kvt::reference

namespace kvt::reference {

// Integral of the correlation from t0 to t1 (closed form for dippr100, dippr107 and dippr114, the
// heat-capacity forms; Simpson's rule otherwise), across the pieces in whose ranges the path lies.
double integral(const PiecewiseCorrelation& pc, double t0, double t1);

}  // namespace kvt::reference
