#include "data/correlation.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kvt::reference {

namespace {

double coef(const std::vector<double>& c, std::size_t i) { return i < c.size() ? c[i] : 0.0; }

// Central difference for the forms whose derivative is not needed in closed form.
template <class F>
double numeric_derivative(F f, double t) {
  const double h = 1e-4 * std::max(1.0, std::abs(t));
  return (f(t + h) - f(t - h)) / (2.0 * h);
}

}  // namespace

bool parse_form(const std::string& name, Form& form) {
  static const std::pair<const char*, Form> kNames[] = {
      {"dippr100", Form::kDippr100},   {"dippr101", Form::kDippr101},   {"dippr102", Form::kDippr102},
      {"dippr105", Form::kDippr105},   {"dippr106", Form::kDippr106},   {"dippr107", Form::kDippr107},
      {"dippr114", Form::kDippr114},
      {"power_law", Form::kPowerLaw},  {"ppds", Form::kPpds},           {"linear_celsius", Form::kLinearCelsius},
      {"brock_bird", Form::kBrockBird}};
  for (const auto& [n, f] : kNames) {
    if (name == n) {
      form = f;
      return true;
    }
  }
  return false;
}

double Correlation::value(double t) const {
  const double c1 = coef(c, 0), c2 = coef(c, 1), c3 = coef(c, 2), c4 = coef(c, 3), c5 = coef(c, 4);
  switch (form) {
    case Form::kDippr100:
      return c1 + t * (c2 + t * (c3 + t * (c4 + t * c5)));
    case Form::kDippr101:
      return std::exp(c1 + c2 / t + c3 * std::log(t) + c4 * std::pow(t, c5));
    case Form::kDippr102:
      return c1 * std::pow(t, c2) / (1.0 + c3 / t + c4 / (t * t));
    case Form::kDippr105: {
      // Rackett form; it reaches the critical density at t = c3 and is held there above it.
      const double tau = std::max(0.0, 1.0 - t / c3);
      return c1 / std::pow(c2, 1.0 + std::pow(tau, c4));
    }
    case Form::kDippr106: {
      const double tr = t / tc;
      if (tr >= 1.0) return 0.0;
      return c1 * std::pow(1.0 - tr, c2 + tr * (c3 + tr * c4));
    }
    case Form::kDippr107: {
      const double x = c3 / t, y = c5 / t;
      const double a = x / std::sinh(x), b = y / std::cosh(y);
      return c1 + c2 * a * a + c4 * b * b;
    }
    case Form::kDippr114: {
      const double u = 1.0 - t / tc;
      return c1 * c1 / u + c2 - 2.0 * c1 * c3 * u - c1 * c4 * u * u - c3 * c3 * u * u * u / 3.0 -
             c3 * c4 * std::pow(u, 4) / 2.0 - c4 * c4 * std::pow(u, 5) / 5.0;
    }
    case Form::kPowerLaw: {
      const double tau = 1.0 - t / tc;
      if (tau <= 0.0) return 0.0;
      return c1 * std::pow(tau, c2) * (1.0 + c3 * tau);
    }
    case Form::kPpds: {
      const double tau = 1.0 - t / tc;
      if (tau <= 0.0) return 0.0;
      return c1 * std::pow(tau, c2 + tau * (c3 + tau * (c4 + tau * c5)));
    }
    case Form::kLinearCelsius:
      return c1 + c2 * (t - 273.15);
    case Form::kBrockBird: {
      // sigma [dyn/cm] = pc^(2/3) tc^(1/3) Q (1 - Tr)^(11/9), pc in bar; returned in N/m.
      const double tau = 1.0 - t / tc;
      if (tau <= 0.0) return 0.0;
      const double pc_bar = pc / 1e5, tbr = tb / tc;
      const double q = kBrockBirdQ[0] * (1.0 + tbr * std::log(pc_bar / 1.01325) / (1.0 - tbr)) - kBrockBirdQ[1];
      return 1e-3 * std::pow(pc_bar, 2.0 / 3.0) * std::cbrt(tc) * q * std::pow(tau, kBrockBirdExponent);
    }
  }
  return 0.0;
}

double Correlation::derivative(double t) const {
  const double c2 = coef(c, 1), c3 = coef(c, 2), c4 = coef(c, 3), c5 = coef(c, 4);
  switch (form) {
    case Form::kDippr100:
      return c2 + t * (2.0 * c3 + t * (3.0 * c4 + t * 4.0 * c5));
    case Form::kDippr101:
      return value(t) * (-c2 / (t * t) + c3 / t + c4 * c5 * std::pow(t, c5 - 1.0));
    case Form::kDippr106: {
      // d/dT of c1 (1-Tr)^E(Tr): Y (E' ln(1-Tr) - E/(1-Tr)) / tc; zero at and above the critical point.
      const double tr = t / tc;
      if (tr >= 1.0) return 0.0;
      const double e = c2 + tr * (c3 + tr * c4), de = c3 + 2.0 * tr * c4;
      return value(t) * (de * std::log(1.0 - tr) - e / (1.0 - tr)) / tc;
    }
    default:
      return numeric_derivative([this](double x) { return value(x); }, t);
  }
}

double smooth_step(double u) {
  u = std::clamp(u, 0.0, 1.0);
  return u * u * (3.0 - 2.0 * u);
}

double smooth_step_slope(double u) { return u <= 0.0 || u >= 1.0 ? 0.0 : 6.0 * u * (1.0 - u); }

double PiecewiseCorrelation::join_half_width(std::size_t j) const {
  const Correlation &a = pieces[j - 1], &b = pieces[j];
  return std::min({kPieceJoinHalfWidth, 0.5 * (a.tmax - a.tmin), 0.5 * (b.tmax - b.tmin)});
}

std::size_t PiecewiseCorrelation::join_at(double t, double& u, double& width) const {
  for (std::size_t j = 1; j < pieces.size(); ++j) {
    const double half = join_half_width(j);
    if (std::abs(t - pieces[j].tmin) < half) {
      width = 2.0 * half;
      u = (t - pieces[j].tmin + half) / width;
      return j;
    }
  }
  return 0;
}

double PiecewiseCorrelation::value(double t) const {
  double u = 0.0, width = 0.0;
  const std::size_t j = join_at(t, u, width);
  if (j == 0) return at(t).value(t);
  const double s = smooth_step(u);
  return (1.0 - s) * pieces[j - 1].value(t) + s * pieces[j].value(t);
}

double PiecewiseCorrelation::derivative(double t) const {
  double u = 0.0, width = 0.0;
  const std::size_t j = join_at(t, u, width);
  if (j == 0) return at(t).derivative(t);
  const Correlation &a = pieces[j - 1], &b = pieces[j];
  const double s = smooth_step(u);
  return (1.0 - s) * a.derivative(t) + s * b.derivative(t) + smooth_step_slope(u) / width * (b.value(t) - a.value(t));
}

double PiecewiseCorrelation::tmin() const {
  double v = pieces.front().tmin;
  for (const auto& p : pieces) v = std::min(v, p.tmin);
  return v;
}

double PiecewiseCorrelation::tmax() const {
  double v = pieces.front().tmax;
  for (const auto& p : pieces) v = std::max(v, p.tmax);
  return v;
}

const Correlation& PiecewiseCorrelation::at(double t) const {
  if (pieces.empty()) throw std::logic_error("correlation without data");
  const Correlation* nearest = &pieces.front();
  double distance = 1e300;
  for (const auto& p : pieces) {
    if (p.covers(t)) return p;
    const double d = t < p.tmin ? p.tmin - t : t - p.tmax;
    if (d < distance) {
      distance = d;
      nearest = &p;
    }
  }
  return *nearest;
}

}  // namespace kvt::reference

namespace kvt::reference {

namespace {

double antiderivative(const Correlation& k, double t) {
  const auto& c = k.c;
  auto at = [&](std::size_t i) { return i < c.size() ? c[i] : 0.0; };
  switch (k.form) {
    case Form::kDippr100:
      return t * (at(0) + t * (at(1) / 2 + t * (at(2) / 3 + t * (at(3) / 4 + t * at(4) / 5))));
    case Form::kDippr107:
      // d/dT [c2 c3 coth(c3/T)] = c2 ((c3/T)/sinh(c3/T))^2; d/dT [-c4 c5 tanh(c5/T)] = c4 ((c5/T)/cosh(c5/T))^2
      return at(0) * t + at(1) * at(2) / std::tanh(at(2) / t) - at(3) * at(4) * std::tanh(at(4) / t);
    case Form::kDippr114: {
      // in u = 1 - T/tc, dT = -tc du
      const double u = 1.0 - t / k.tc;
      const double a = at(0), b = at(1), cc = at(2), d = at(3);
      return -k.tc * (a * a * std::log(u) + b * u - a * cc * u * u - a * d * std::pow(u, 3) / 3.0 -
                      cc * cc * std::pow(u, 4) / 12.0 - cc * d * std::pow(u, 5) / 10.0 - d * d * std::pow(u, 6) / 30.0);
    }
    default:
      return 0.0;
  }
}

bool closed_form(const Correlation& k) {
  return k.form == Form::kDippr100 || k.form == Form::kDippr107 || k.form == Form::kDippr114;
}

double piece_integral(const Correlation& k, double a, double b) {
  if (closed_form(k)) return antiderivative(k, b) - antiderivative(k, a);
  return simpson([&k](double t) { return k.value(t); }, a, b);
}

}  // namespace

double integral(const PiecewiseCorrelation& pc, double t0, double t1) {
  if (t1 < t0) return -integral(pc, t1, t0);
  // a single piece of a closed form (most heat capacities) holds no cut that would matter
  if (pc.pieces.size() == 1 && closed_form(pc.pieces.front())) return piece_integral(pc.pieces.front(), t0, t1);
  // break the path at every piece's ends and at the edges of the joins' windows
  std::vector<double> cuts{t0, t1};
  for (std::size_t j = 0; j < pc.pieces.size(); ++j) {
    const Correlation& k = pc.pieces[j];
    const double half = j > 0 ? pc.join_half_width(j) : 0.0;
    for (double e : {k.tmin, k.tmax, k.tmin - half, k.tmin + half}) {
      if (e > t0 && e < t1) cuts.push_back(e);
    }
  }
  std::sort(cuts.begin(), cuts.end());
  double total = 0.0;
  for (std::size_t i = 1; i < cuts.size(); ++i) {
    const double a = cuts[i - 1], b = cuts[i], mid = 0.5 * (a + b);
    if (!(b > a)) continue;
    // inside a join's window the blended value, else the piece's own form
    double u = 0.0, width = 0.0;
    total += pc.join_at(mid, u, width) != 0 ? simpson([&pc](double t) { return pc.value(t); }, a, b)
                                              : piece_integral(pc.at(mid), a, b);
  }
  return total;
}

}  // namespace kvt::reference
