#include "data/distillation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace kvt::reference {

namespace {

// Riazi and Daubert (1986), the API Technical Data Book's (1987) procedure 3A1.1: TBP = a D86^b,
// both in K, point by point at the standard volume percentages (the constants in K as Riazi (2005)
// table 3.6 gives them).
struct PowerPoint {
  double percent, a, b;
};
constexpr PowerPoint kD86[] = {{0, 0.9177, 1.0019},  {10, 0.5564, 1.0900}, {30, 0.7617, 1.0425}, {50, 0.9013, 1.0176},
                               {70, 0.8821, 1.0226}, {90, 0.9552, 1.0110}, {95, 0.8177, 1.0355}};

// Daubert (1994), the API Technical Data Book's procedure 3A3.1: TBP(50 % volume) = SD(50 % mass),
// and each step of the TBP curve outward from 50 % W = C V^D from the SD curve's step V over the
// same percentages, both in degF (Riazi (2005) table 3.8). The lowest step is 10 to 5 %: the
// procedure's own worked example reads its curve at 5 %, not at the initial point.
struct Step {
  double from, to, c, d;
};
constexpr Step kD2887[] = {{50, 70, 0.19861, 1.3975}, {70, 90, 0.31531, 1.2938}, {90, 95, 0.97476, 0.8723}, {95, 100, 0.02172, 1.9733},
                           {50, 30, 0.05342, 1.6988}, {30, 10, 0.011903, 2.0253}, {10, 5, 0.15779, 1.4296}};

bool within(const std::vector<std::array<double, 2>>& c, double v) { return v >= c.front()[0] - 1e-9 && v <= c.back()[0] + 1e-9; }

}  // namespace

std::string assay_figure(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.4g", v);
  return b;
}

double distillation_temperature(const std::vector<std::array<double, 2>>& c, double v) {
  std::size_t i = 1;
  while (i + 1 < c.size() && c[i][0] < v) ++i;
  return c[i - 1][1] + (c[i][1] - c[i - 1][1]) * (v - c[i - 1][0]) / (c[i][0] - c[i - 1][0]);
}

void check_distillation(const std::vector<std::array<double, 2>>& curve) {
  if (curve.size() < 3) throw Error("distillation: " + std::to_string(curve.size()) + " points given, at least 3 needed");
  for (std::size_t i = 0; i < curve.size(); ++i) {
    const auto& [v, t] = curve[i];
    if (!(v >= 0.0 && v <= 100.0)) throw Error("distillation: point " + std::to_string(i + 1) + ": " + assay_figure(v) + " % is outside 0-100 %");
    if (i > 0 && !(v > curve[i - 1][0] && t > curve[i - 1][1]))
      throw Error("distillation: point " + std::to_string(i + 1) + " (" + assay_figure(v) + " %, " + assay_figure(t) +
                  " K) does not rise above the point before it: the curve must rise in both share and temperature");
  }
}

std::vector<std::array<double, 2>> true_boiling_curve(DistillationCurve kind, const std::vector<std::array<double, 2>>& curve) {
  check_distillation(curve);
  if (kind == DistillationCurve::kTbp) return curve;
  std::vector<std::array<double, 2>> out;
  const char* name = kind == DistillationCurve::kD86 ? "D86" : "D2887";
  if (kind == DistillationCurve::kD86) {
    for (const PowerPoint& p : kD86) {
      if (within(curve, p.percent)) out.push_back({p.percent, p.a * std::pow(distillation_temperature(curve, p.percent), p.b)});
    }
  } else if (within(curve, 50.0)) {
    auto degf = [](double k) { return k * 1.8 - 459.67; };
    out.push_back({50.0, distillation_temperature(curve, 50.0)});
    for (const Step& s : kD2887) {
      if (!within(curve, s.to)) continue;
      const double v = std::abs(degf(distillation_temperature(curve, s.to)) - degf(distillation_temperature(curve, s.from)));
      const auto base = std::find_if(out.begin(), out.end(), [&](const auto& q) { return q[0] == s.from; });
      if (base == out.end()) continue;
      const double w = s.c * std::pow(v, s.d) / 1.8, t = (*base)[1] + (s.to > s.from ? w : -w);  // a step in degF, in K
      out.push_back({s.to, t});
    }
    std::sort(out.begin(), out.end());
  }
  if (out.size() < 3) {
    throw Error(std::string("distillation: a ") + name + " curve is converted at its standard percentages (" +
                (kind == DistillationCurve::kD86 ? "0, 10, 30, 50, 70, 90, 95" : "5, 10, 30, 50, 70, 90, 95, 100; 50 among them") +
                "), and fewer than three of them lie within the curve given");
  }
  for (std::size_t i = 1; i < out.size(); ++i) {
    if (!(out[i][1] > out[i - 1][1]))
      throw Error(std::string("distillation: the ") + name + " curve converts to a true-boiling-point curve that falls between " +
                  assay_figure(out[i - 1][0]) + " and " + assay_figure(out[i][0]) + " % (" + assay_figure(out[i - 1][1]) + " K, " + assay_figure(out[i][1]) + " K)");
  }
  return out;
}

}  // namespace kvt::reference
