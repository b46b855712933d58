#include "flash/flash_state.h"

namespace kvt::reference {

double sum(const std::vector<double>& a) {
  double s = 0.0;
  for (double v : a) s += v;
  return s;
}

std::vector<double> fractions(const std::vector<double>& a) {
  const double s = sum(a);
  std::vector<double> out(a.size(), 0.0);
  if (s > 0.0) {
    for (std::size_t i = 0; i < a.size(); ++i) out[i] = a[i] / s;
  }
  return out;
}

double vapour_fraction(const State& s) {
  const double v = sum(s.v), all = v + sum(s.l1) + sum(s.l2);
  return all > 0.0 ? v / all : 0.0;
}

State combine(const State& a, const State& b, double lambda) {
  State s = a;
  if (s.k.empty()) s.k = b.k;
  if (s.incipient_k.empty()) s.incipient_k = b.incipient_k;
  s.t = a.t + lambda * (b.t - a.t);
  s.p = a.p + lambda * (b.p - a.p);
  for (std::size_t i = 0; i < a.v.size(); ++i) {
    s.v[i] = (1 - lambda) * a.v[i] + lambda * b.v[i];
    s.l1[i] = (1 - lambda) * a.l1[i] + lambda * b.l1[i];
    s.l2[i] = (1 - lambda) * a.l2[i] + lambda * b.l2[i];
  }
  if (s.capped == nullptr) s.capped = b.capped;
  return s;
}

}  // namespace kvt::reference
