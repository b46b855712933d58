#include "data/assay.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "data/distillation.h"
#include "kvt_reference/reference_host.h"
#include "data/pure.h"

namespace kvt::reference {

namespace {

constexpr double kRankine = 1.8;                 // degR per K
constexpr double kPsia = 6894.757;               // Pa per psia
constexpr double kCubicFootPerPound = 0.0624280;  // m3/kmol per ft3/lbmol
constexpr double kWater60F = 999.016;             // kg/m3, water at 60 degF (the gravity's reference)
constexpr double kT60F = 288.706;                 // K
constexpr double kBtuPerPoundF = 4186.8;           // J/(kg K) per Btu/(lb degF)
constexpr double kAtm = 101325.0;

// Twu (1984): the n-alkane of the same boiling point (Tb in degR), then the perturbation in the
// gravity. Returns MW, Tc (K), Pc (Pa), Vc (m3/kmol).
struct Critical {
  double mw, tc, pc, vc;
};
Critical twu(double tb_k, double sg) {
  const double tb = tb_k * kRankine;
  const double tco = tb / (0.533272 + 0.191017e-3 * tb + 0.779681e-7 * tb * tb - 0.284376e-10 * tb * tb * tb +
                           0.959468e28 / std::pow(tb, 13));
  const double a = 1.0 - tb / tco;
  const double pco = std::pow(3.83354 + 1.19629 * std::sqrt(a) + 34.8888 * a + 36.1952 * a * a + 104.193 * std::pow(a, 4), 2);
  const double vco = std::pow(1.0 - (0.419869 - 0.505839 * a - 1.56436 * std::pow(a, 3) - 9481.7 * std::pow(a, 14)), -8);
  const double sgo = 0.843593 - 0.128624 * a - 3.36159 * std::pow(a, 3) - 13749.5 * std::pow(a, 12);
  // the n-alkane's molecular weight: Tb(theta = ln M) solved by Newton's method
  auto tb_of = [](double th) {
    return std::exp(5.71419 + 2.71579 * th - 0.286590 * th * th - 39.8544 / th - 0.122488 / (th * th)) - 24.7522 * th +
           35.3155 * th * th;
  };
  // (four steps at most from 250 to 1000 K; a cap reached is said, never taken as the answer)
  double th = std::log(tb / (10.44 - 0.0052 * tb));
  bool met = false;
  for (int i = 0; i < 50 && !met; ++i) {
    const double h = 1e-6, f = tb_of(th) - tb, d = (tb_of(th + h) - tb_of(th - h)) / (2 * h);
    th -= f / d;
    met = std::abs(f) < 1e-9 * tb;
  }
  if (!met) throw Error("a normal boiling point of " + assay_figure(tb_k) + " K: Twu's n-alkane molecular weight stopped at its cap of 50 steps");
  const double mo = std::exp(th), rt = std::sqrt(tb);
  auto ratio = [](double f) { return std::pow((1 + 2 * f) / (1 - 2 * f), 2); };
  const double dt = std::exp(5 * (sgo - sg)) - 1;
  const double tc = tco * ratio(dt * (-0.362456 / rt + (0.0398285 - 0.948125 / rt) * dt));
  const double dv = std::exp(4 * (sgo * sgo - sg * sg)) - 1;
  const double vc = vco * ratio(dv * (0.466590 / rt + (-0.182421 + 3.01721 / rt) * dv));
  const double dp = std::exp(0.5 * (sgo - sg)) - 1;
  const double pc = pco * tc / tco * vco / vc *
                    ratio(dp * (2.53262 - 46.1955 / rt - 0.00127885 * tb + (-11.4277 + 252.140 / rt + 0.00230535 * tb) * dp));
  const double dm = std::exp(5 * (sgo - sg)) - 1;
  const double fm = dm * (std::abs(0.0123420 - 0.328086 / rt) + (-0.0175691 + 0.193168 / rt) * dm);
  return {std::exp(std::log(mo) * ratio(fm)), tc / kRankine, pc * kPsia, vc * kCubicFootPerPound};
}

// Lee-Kesler (1975) to Tbr 0.8, Kesler-Lee (1976) beyond, as the API recommends for fractions.
double acentric(double tb, double tc, double pc, double k) {
  const double tbr = tb / tc;
  if (tbr > 0.8) return -7.904 + 0.1352 * k - 0.007465 * k * k + 8.359 * tbr + (1.408 - 0.01063 * k) / tbr;
  return (-std::log(pc / kAtm) - 5.92714 + 6.09648 / tbr + 1.28862 * std::log(tbr) - 0.169347 * std::pow(tbr, 6)) /
         (15.2518 - 15.6875 / tbr - 13.4721 * std::log(tbr) + 0.43577 * std::pow(tbr, 6));
}

Correlation piece(Form form, std::vector<double> c, double tmin, double tmax, const char* source, double tc = 0.0) {
  Correlation r;
  r.form = form;
  r.c = std::move(c);
  r.tmin = tmin;
  r.tmax = tmax;
  r.tc = tc;
  r.source = source;
  return r;
}

PiecewiseCorrelation one(Correlation c) { return PiecewiseCorrelation{{std::move(c)}}; }

// c1 T^c2 through two values (the dippr102 form without its denominator).
std::vector<double> power_law(double t1, double y1, double t2, double y2) {
  const double n = std::log(y2 / y1) / std::log(t2 / t1);
  return {y1 / std::pow(t1, n), n, 0.0, 0.0};
}

// Abbott, Kaufmann and Domash (1971): kinematic viscosity (cSt) at 100 and 210 degF from the Watson
// factor and the API gravity.
std::array<double, 2> abbott(double k, double api) {
  const double l100 = 4.39371 - 1.94733 * k + 0.12769 * k * k + 3.2629e-4 * api * api - 1.18246e-2 * k * api +
                      (0.171617 * k * k + 10.9943 * api + 9.50663e-2 * api * api - 0.860218 * k * api) /
                          (api + 50.3642 - 4.78231 * k);
  const double l210 = -0.463634 - 0.166532 * api + 5.13447e-4 * api * api - 8.48995e-3 * k * api +
                      (8.0325e-2 * k + 1.24899 * api + 0.19768 * api * api) / (api + 26.786 - 2.6296 * k);
  return {std::pow(10.0, l100), std::pow(10.0, l210)};
}

}  // namespace

Component pseudo_component(const std::string& name, double tb, double sg) {
  if (!(tb >= 250.0 && tb <= 1000.0))
    throw Error(name + ": a normal boiling point of " + assay_figure(tb) + " K is outside the characterisation's 250-1000 K");
  if (!(sg >= 0.55 && sg <= 1.2))
    throw Error(name + ": a specific gravity of " + assay_figure(sg) + " is outside the characterisation's 0.55-1.2");
  Component c;
  c.name = name;
  c.characterised = true;
  c.tb = tb;
  const Critical cr = twu(tb, sg);
  c.mw = cr.mw;
  c.tc = cr.tc;
  c.pc = cr.pc;
  c.vc = cr.vc;
  const double k = std::cbrt(tb * kRankine) / sg, api = 141.5 / sg - 131.5, tbr = tb / c.tc;
  c.omega = acentric(tb, c.tc, c.pc, k);
  c.constants_source = "TWU84 (MW, Tc, Pc, Vc); omega LK75 / KL76";
  const double w = c.omega, tc = c.tc, lo = 0.3 * tc;
  if (!(tbr < 0.9 && w > 0.0)) throw Error(name + ": the characterisation gives no usable critical point");

  // Lee-Kesler's vapour pressure, ln P = ln Pc + f0(Tr) + omega f1(Tr), in the dippr101 form, its
  // constant put so that the curve passes through the normal boiling point.
  const double c2 = (-6.09648 - 15.6875 * w) * tc, c3 = -1.28862 - 13.4721 * w,
               c4 = (0.169347 + 0.43577 * w) / std::pow(tc, 6);
  const double c1 = std::log(kAtm) - c2 / tb - c3 * std::log(tb) - c4 * std::pow(tb, 6);
  c.vapour_pressure = one(piece(Form::kDippr101, {c1, c2, c3, c4, 6.0}, lo, tc, "LK75"));

  // Kesler-Lee's ideal-gas heat capacity, kJ/(kg K) in T (K), with its correction for 10 < K < 12.8.
  const double a0 = -1.41779 + 0.11828 * k, a1 = -(6.99724 - 8.69326 * k + 0.27715 * k * k) * 1e-4, a2 = -2.2582e-6;
  const double b0 = 1.09223 - 2.48245 * w, b1 = -(3.434 - 7.14 * w) * 1e-3, b2 = -(7.2661 - 9.2561 * w) * 1e-7;
  const double cc = k > 10.0 && k < 12.8 && sg > 0.7 && sg < 0.885
                        ? std::pow((12.8 / k - 1) * (1 - 10 / k) * (sg - 0.885) * (sg - 0.7) * 1e4, 2)
                        : 0.0;
  const double m = 1000.0 * c.mw;
  c.ideal_gas_cp = one(piece(Form::kDippr100, {m * (a0 - cc * b0), m * (a1 - cc * b1), m * (a2 - cc * b2)}, 200.0, 1000.0, "KL76"));

  // Vetere's heat of vaporisation at the boiling point (Pc in bar), carried by Watson's 0.38 power.
  // Riedel's, the older choice, runs 5-10 % high from n-hexadecane up.
  const double pcb = c.pc / 1e5;
  const double hvb = kGasConstant * tc * tbr * (0.4343 * std::log(pcb) - 0.69431 + 0.89584 * tbr) /
                     (0.37691 - 0.37306 * tbr + 0.14878 / (pcb * tbr * tbr));
  c.heat_of_vaporisation = one(piece(Form::kDippr106, {hvb / std::pow(1 - tbr, 0.38), 0.38, 0.0, 0.0}, lo, tc, "VETERE79, WATSON43", tc));

  // Rackett's liquid volume with the Yamada-Gunn Z_RA, put through the gravity at 60 degF.
  const double zra = 0.29056 - 0.08775 * w, rho60 = sg * kWater60F / c.mw;
  c.liquid_density = one(piece(Form::kDippr105, {rho60 * std::pow(zra, 1 + std::pow(1 - kT60F / tc, 2.0 / 7.0)), zra, tc, 2.0 / 7.0}, lo, tc, "SPENCER72"));

  // Kesler-Lee's liquid heat capacity, Btu/(lb degF) linear in degF.
  const double f = kBtuPerPoundF * c.mw * (0.055 * k + 0.35), la = 0.6811 - 0.308 * sg, lb = 0.000815 - 0.000306 * sg;
  c.liquid_cp = one(piece(Form::kDippr100, {f * (la - 459.67 * lb), f * lb * kRankine}, lo, 0.85 * tc, "KL76"));

  // Liquid viscosity: Abbott's kinematic viscosities at 100 and 210 degF, ln mu linear in 1/T.
  const auto nu = abbott(k, api);
  const double t1 = 310.928, t2 = 372.039;
  const double mu1 = nu[0] * 1e-6 * c.liquid_density.value(t1) * c.mw, mu2 = nu[1] * 1e-6 * c.liquid_density.value(t2) * c.mw;
  const double bmu = std::log(mu1 / mu2) / (1 / t1 - 1 / t2);
  c.liquid_viscosity = one(piece(Form::kDippr101, {std::log(mu1) - bmu / t1, bmu, 0, 0, 0}, lo, 0.9 * tc, "ABBOTT71"));

  // Low-pressure vapour: Yoon-Thodos viscosity and the modified Eucken conductivity, as power laws
  // through the boiling point and 1.8 times it.
  const double xi = std::pow(tc, 1.0 / 6.0) / std::sqrt(c.mw) / std::pow(c.pc / kAtm, 2.0 / 3.0);
  auto mu_v = [&](double t) {
    const double tr = t / tc;
    return 1e-7 * (4.610 * std::pow(tr, 0.618) - 2.04 * std::exp(-0.449 * tr) + 1.94 * std::exp(-4.058 * tr) + 0.1) / xi;
  };
  auto k_v = [&](double t) {
    const double cv = c.ideal_gas_cp.value(t) - kGasConstant;
    return mu_v(t) / c.mw * (1.32 * cv + 1.77 * kGasConstant);
  };
  const double v1 = tb, v2 = std::min(1.8 * tb, 1000.0);
  c.vapour_viscosity = one(piece(Form::kDippr102, power_law(v1, mu_v(v1), v2, mu_v(v2)), lo, 1000.0, "YOON70"));
  c.vapour_conductivity = one(piece(Form::kDippr102, power_law(v1, k_v(v1), v2, k_v(v2)), lo, 1000.0, "PGL5_EUCKEN"));

  // Sato-Riedel's liquid conductivity, linear through Tr 0.4 and 0.7.
  auto k_l = [&](double t) {
    return 1.11 / std::sqrt(c.mw) * (3 + 20 * std::pow(1 - t / tc, 2.0 / 3.0)) / (3 + 20 * std::pow(1 - tbr, 2.0 / 3.0));
  };
  const double s = (k_l(0.7 * tc) - k_l(0.4 * tc)) / (0.3 * tc);
  c.liquid_conductivity = one(piece(Form::kDippr100, {k_l(0.4 * tc) - s * 0.4 * tc, s}, lo, 0.9 * tc, "SATO_RIEDEL"));

  // Brock and Bird's surface tension from the critical point and the boiling point.
  Correlation st = piece(Form::kBrockBird, {}, lo, tc, "BROCK55", tc);
  st.pc = c.pc;
  st.tb = tb;
  c.surface_tension = one(std::move(st));

  c.ideal_liquid = ideal_liquid_knots(c);
  return c;
}

std::vector<PseudoCut> cut_curve(const std::vector<std::array<double, 2>>& tbp, double sg, int cuts, double cut_width) {
  check_distillation(tbp);
  if (!(sg >= 0.55 && sg <= 1.2)) throw Error("specific_gravity: " + assay_figure(sg) + " is outside 0.55-1.2 (API gravity -14 to 80)");
  // The cut points: the curve's own points, each interval between them divided into equal steps,
  // as many as the width asks, or, for a number of cuts, added one at a time to the interval whose
  // steps are widest; fewer cuts than intervals divide the whole range into equal steps instead.
  const std::size_t m = tbp.size() - 1;
  const double t0 = tbp.front()[1], tn = tbp.back()[1];
  std::vector<int> steps(m, 1);
  auto width = [&](std::size_t i) { return (tbp[i + 1][1] - tbp[i][1]) / steps[i]; };
  if (cut_width > 0.0) {
    cuts = 0;
    for (std::size_t i = 0; i < m; ++i) cuts += steps[i] = std::max(1, static_cast<int>(std::ceil((tbp[i + 1][1] - tbp[i][1]) / cut_width - 1e-9)));
  }
  if (cuts < 1 || cuts > 100) throw Error("cuts: " + std::to_string(cuts) + " cuts; 1 to 100 can be made");
  std::vector<double> bounds;
  if (cut_width <= 0.0 && static_cast<std::size_t>(cuts) < m) {
    for (int j = 0; j <= cuts; ++j) bounds.push_back(t0 + (tn - t0) * j / cuts);
  } else {
    for (int n = static_cast<int>(m); cut_width <= 0.0 && n < cuts; ++n) {
      std::size_t wide = 0;
      for (std::size_t i = 1; i < m; ++i) wide = width(i) > width(wide) ? i : wide;
      ++steps[wide];
    }
    for (std::size_t i = 0; i < m; ++i) {
      for (int k = 0; k < steps[i]; ++k) bounds.push_back(tbp[i][1] + width(i) * k);
    }
    bounds.push_back(tn);
  }
  // the curve's share distilled at a temperature, linear between its points
  auto volume_at = [&](double t) {
    std::size_t i = 1;
    while (i + 1 < tbp.size() && tbp[i][1] < t) ++i;
    return tbp[i - 1][0] + (tbp[i][0] - tbp[i - 1][0]) * (t - tbp[i - 1][1]) / (tbp[i][1] - tbp[i - 1][1]);
  };
  const double span = tbp.back()[0] - tbp.front()[0];
  std::vector<PseudoCut> out;
  double k_sum = 0.0;
  for (std::size_t j = 0; j + 1 < bounds.size(); ++j) {
    const double va = volume_at(bounds[j]), vb = volume_at(bounds[j + 1]);
    PseudoCut c;
    c.t_from = bounds[j];
    c.t_to = bounds[j + 1];
    c.volume_share = (vb - va) / span;
    c.tb = distillation_temperature(tbp, 0.5 * (va + vb));
    k_sum += c.volume_share * std::cbrt(c.tb * kRankine);
    out.push_back(c);
  }
  const double k = k_sum / sg;  // the Watson factor whose cuts' volumes give the bulk gravity
  for (PseudoCut& c : out) c.sg = std::cbrt(c.tb * kRankine) / k;
  return out;
}

}  // namespace kvt::reference
