#include "data/iapws/if97.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kvt::reference::if97 {

namespace {

struct Term {
  int i;
  int j;
  double n;
};

// Region 1, gamma = sum n (7.1 - pi)^I (tau - 1.222)^J; p* = 16.53 MPa, T* = 1386 K.
constexpr std::array<Term, 34> kRegion1{{
    {0, -2, 0.14632971213167},      {0, -1, -0.84548187169114},     {0, 0, -0.37563603672040e1},
    {0, 1, 0.33855169168385e1},     {0, 2, -0.95791963387872},      {0, 3, 0.15772038513228},
    {0, 4, -0.16616417199501e-1},   {0, 5, 0.81214629983568e-3},    {1, -9, 0.28319080123804e-3},
    {1, -7, -0.60706301565874e-3},  {1, -1, -0.18990068218419e-1},  {1, 0, -0.32529748770505e-1},
    {1, 1, -0.21841717175414e-1},   {1, 3, -0.52838357969930e-4},   {2, -3, -0.47184321073267e-3},
    {2, 0, -0.30001780793026e-3},   {2, 1, 0.47661393906987e-4},    {2, 3, -0.44141845330846e-5},
    {2, 17, -0.72694996297594e-15}, {3, -4, -0.31679644845054e-4},  {3, 0, -0.28270797985312e-5},
    {3, 6, -0.85205128120103e-9},   {4, -5, -0.22425281908000e-5},  {4, -2, -0.65171222895601e-6},
    {4, 10, -0.14341729937924e-12}, {5, -8, -0.40516996860117e-6},  {8, -11, -0.12734301741641e-8},
    {8, -6, -0.17424871230634e-9},  {21, -29, -0.68762131295531e-18}, {23, -31, 0.14478307828521e-19},
    {29, -38, 0.26335781662795e-22}, {30, -39, -0.11947622640071e-22}, {31, -40, 0.18228094581404e-23},
    {32, -41, -0.93537087292458e-25},
}};

// Region 2, ideal part gamma0 = ln pi + sum n tau^J; p* = 1 MPa, T* = 540 K.
constexpr std::array<Term, 9> kRegion2Ideal{{
    {0, 0, -0.96927686500217e1}, {0, 1, 0.10086655968018e2},  {0, -5, -0.56087911283020e-2},
    {0, -4, 0.71452738081455e-1}, {0, -3, -0.40710498223928}, {0, -2, 0.14240819171444e1},
    {0, -1, -0.43839511319450e1}, {0, 2, -0.28408632460772},  {0, 3, 0.21268463753307e-1},
}};

// Region 2, residual part gammar = sum n pi^I (tau - 0.5)^J.
constexpr std::array<Term, 43> kRegion2Residual{{
    {1, 0, -0.17731742473213e-2},  {1, 1, -0.17834862292358e-1},  {1, 2, -0.45996013696365e-1},
    {1, 3, -0.57581259083432e-1},  {1, 6, -0.50325278727930e-1},  {2, 1, -0.33032641670203e-4},
    {2, 2, -0.18948987516315e-3},  {2, 4, -0.39392777243355e-2},  {2, 7, -0.43797295650573e-1},
    {2, 36, -0.26674547914087e-4}, {3, 0, 0.20481737692309e-7},   {3, 1, 0.43870667284435e-6},
    {3, 3, -0.32277677238570e-4},  {3, 6, -0.15033924542148e-2},  {3, 35, -0.40668253562649e-1},
    {4, 1, -0.78847309559367e-9},  {4, 2, 0.12790717852285e-7},   {4, 3, 0.48225372718507e-6},
    {5, 7, 0.22922076337661e-5},   {6, 3, -0.16714766451061e-10}, {6, 16, -0.21171472321355e-2},
    {6, 35, -0.23895741934104e2},  {7, 0, -0.59059564324270e-17}, {7, 11, -0.12621808899101e-5},
    {7, 25, -0.38946842435739e-1}, {8, 8, 0.11256211360459e-10},  {8, 36, -0.82311340897998e1},
    {9, 13, 0.19809712802088e-7},  {10, 4, 0.10406965210174e-18}, {10, 10, -0.10234747095929e-12},
    {10, 14, -0.10018179379511e-8}, {16, 29, -0.80882908646985e-10}, {16, 50, 0.10693031879409},
    {18, 57, -0.33662250574171},   {20, 20, 0.89185845355421e-24}, {20, 35, 0.30629316876232e-12},
    {20, 48, -0.42002467698208e-5}, {21, 21, -0.59056029685639e-25}, {22, 53, 0.37826947613457e-5},
    {23, 39, -0.12768608934681e-14}, {24, 26, 0.73087610595061e-28}, {24, 40, 0.55414715350778e-16},
    {24, 58, -0.94369707241210e-6},
}};

// Region 3, phi = n1 ln delta + sum n delta^I tau^J; rho* = 322 kg/m3, T* = 647.096 K.
constexpr double kRegion3Log = 0.10658070028513e1;
constexpr std::array<Term, 39> kRegion3{{
    {0, 0, -0.15732845290239e2},  {0, 1, 0.20944396974307e2},   {0, 2, -0.76867707878716e1},
    {0, 7, 0.26185947787954e1},   {0, 10, -0.28080781148620e1}, {0, 12, 0.12053369696517e1},
    {0, 23, -0.84566812812502e-2}, {1, 2, -0.12654315477714e1},  {1, 6, -0.11524407806681e1},
    {1, 15, 0.88521043984318},    {1, 17, -0.64207765181607},   {2, 0, 0.38493460186671},
    {2, 2, -0.85214708824206},    {2, 6, 0.48972281541877e1},   {2, 7, -0.30502617256965e1},
    {2, 22, 0.39420536879154e-1}, {2, 26, 0.12558408424308},    {3, 0, -0.27999329698710},
    {3, 2, 0.13899799569460e1},   {3, 4, -0.20189915023570e1},  {3, 16, -0.82147637173963e-2},
    {3, 26, -0.47596035734923},   {4, 0, 0.43984074473500e-1},  {4, 2, -0.44476435428739},
    {4, 4, 0.90572070719733},     {4, 26, 0.70522450087967},    {5, 1, 0.10770512626332},
    {5, 3, -0.32913623258954},    {5, 26, -0.50871062041158},   {6, 0, -0.22175400873096e-1},
    {6, 2, 0.94260751665092e-1},  {6, 26, 0.16436278447961},    {7, 2, -0.13503372241348e-1},
    {8, 26, -0.14834345352472e-1}, {9, 2, 0.57922953628084e-3},  {9, 26, 0.32308904703711e-2},
    {10, 0, 0.80964802996215e-4}, {10, 1, -0.16557679795037e-3}, {11, 26, -0.44923899061815e-4},
}};

// Region 5 (1073.15-2273.15 K, up to 50 MPa), ideal part gamma0 = ln pi + sum n tau^J and residual
// part gammar = sum n pi^I tau^J; p* = 1 MPa, T* = 1000 K.
constexpr std::array<Term, 6> kRegion5Ideal{{
    {0, 0, -0.13179983674201e2}, {0, 1, 0.68540841634434e1}, {0, -3, -0.24805148933466e-1},
    {0, -2, 0.36901534980333},   {0, -1, -0.31161318213925e1}, {0, 2, -0.32961626538917},
}};
constexpr std::array<Term, 6> kRegion5Residual{{
    {1, 1, 0.15736404855259e-2},  {1, 2, 0.90153761673944e-3}, {1, 3, -0.50270077677648e-2},
    {2, 3, 0.22440037409485e-5},  {2, 9, -0.41163275453471e-5}, {3, 7, 0.37919454822955e-7},
}};

// Saturation line (region 4).
constexpr std::array<double, 10> kSat{0.11670521452767e4,  -0.72421316703206e6, -0.17073846940092e2,
                                      0.12020824702470e5,  -0.32325550322333e7, 0.14915108613530e2,
                                      -0.48232657361591e4, 0.40511340542057e6,  -0.23855557567849,
                                      0.65017534844798e3};

// Boundary between regions 2 and 3.
constexpr std::array<double, 5> kB23{0.34805185628969e3, -0.11671859879975e1, 0.10192970039326e-2,
                                     0.57254459862746e3, 0.13918839778870e2};

// x^k for an integer k of either sign (x > 0 where k < 0).
double ipow(double x, int k) {
  double r = 1.0, b = k < 0 ? 1.0 / x : x;
  for (int e = k < 0 ? -k : k; e > 0; e >>= 1, b *= b) {
    if (e & 1) r *= b;
  }
  return r;
}

// A dimensionless function of two variables (a, b) and its derivatives up to the second order.
struct Derivs {
  double a = 0, b = 0, aa = 0, bb = 0, ab = 0;
};

// sum n x^I y^J and its derivatives in x and y.
Derivs series(const Term* terms, std::size_t count, double x, double y) {
  Derivs d;
  for (std::size_t k = 0; k < count; ++k) {
    const Term& t = terms[k];
    const double xi = ipow(x, t.i), yj = ipow(y, t.j);
    const double xi1 = t.i != 0 ? t.i * ipow(x, t.i - 1) : 0.0;
    const double xi2 = t.i > 1 || t.i < 0 ? t.i * (t.i - 1) * ipow(x, t.i - 2) : 0.0;
    const double yj1 = t.j != 0 ? t.j * ipow(y, t.j - 1) : 0.0;
    const double yj2 = t.j > 1 || t.j < 0 ? t.j * (t.j - 1) * ipow(y, t.j - 2) : 0.0;
    d.a += t.n * xi1 * yj;
    d.aa += t.n * xi2 * yj;
    d.b += t.n * xi * yj1;
    d.bb += t.n * xi * yj2;
    d.ab += t.n * xi1 * yj1;
  }
  return d;
}

// Properties from a Gibbs function gamma(pi, tau) with pi = p/ps (derivatives a: pi, b: tau).
State from_gibbs(double t, double p, double ps, const Derivs& g, double tau) {
  State s;
  s.t = t;
  s.p = p;
  const double v = kR * t * g.a / ps;
  s.rho = 1.0 / v;
  s.h = kR * t * tau * g.b;
  s.cp = -kR * tau * tau * g.bb;
  s.cv = s.cp + kR * (g.a - tau * g.ab) * (g.a - tau * g.ab) / g.aa;
  const double dv_dp = kR * t * g.aa / (ps * ps);
  s.drho_dp = -dv_dp / (v * v);
  s.dh_dp = kR * t * tau * g.ab / ps;
  return s;
}

State region1(double t, double p) {
  const double pi = p / 16.53e6, tau = 1386.0 / t;
  Derivs g = series(kRegion1.data(), kRegion1.size(), 7.1 - pi, tau - 1.222);
  // the series is in (7.1 - pi): d/dpi = -d/dx
  g.a = -g.a;
  g.ab = -g.ab;
  return from_gibbs(t, p, 16.53e6, g, tau);
}

// An ideal-gas part ln pi + sum n tau^J.
template <std::size_t N>
Derivs ideal_part(const std::array<Term, N>& terms, double pi, double tau) {
  Derivs g = series(terms.data(), terms.size(), 1.0, tau);
  g.a = 1.0 / pi;
  g.aa = -1.0 / (pi * pi);
  g.ab = 0.0;
  return g;
}

// A region of ideal plus residual parts (2 and 5): residual series in pi and tau - tau_shift.
template <std::size_t N, std::size_t M>
State ideal_plus_residual(double t, double p, double t_star, double tau_shift,
                          const std::array<Term, N>& ideal, const std::array<Term, M>& residual) {
  const double pi = p / 1.0e6, tau = t_star / t;
  const Derivs g0 = ideal_part(ideal, pi, tau);
  const Derivs gr = series(residual.data(), residual.size(), pi, tau - tau_shift);
  const Derivs g{g0.a + gr.a, g0.b + gr.b, g0.aa + gr.aa, g0.bb + gr.bb, g0.ab + gr.ab};
  return from_gibbs(t, p, 1.0e6, g, tau);
}

State region2(double t, double p) {
  return ideal_plus_residual(t, p, 540.0, 0.5, kRegion2Ideal, kRegion2Residual);
}

// Region 2's second-virial form: the ideal gas and the residual terms linear in pi (the first five).
State region2_virial(double t, double p) {
  constexpr std::size_t kVirialTerms = 5;
  const double pi = p / 1.0e6, tau = 540.0 / t;
  const Derivs g0 = ideal_part(kRegion2Ideal, pi, tau);
  const Derivs gr = series(kRegion2Residual.data(), kVirialTerms, pi, tau - 0.5);
  return from_gibbs(t, p, 1.0e6, {g0.a + gr.a, g0.b + gr.b, g0.aa + gr.aa, g0.bb + gr.bb, g0.ab + gr.ab}, tau);
}

// How region 2's enthalpy departs from its second-virial form's at (T, P) above the saturation
// pressure ps: its departure at ps, whose slope in P fades over a further ps, so that the enthalpy,
// its slope in P and its slope in T (the heat capacity) all meet region 2's at ps, and the departure
// stays bounded beyond.
double enthalpy_departure(double t, double p) {
  const double ps = saturation_pressure(t);
  const State a = region2(t, ps), b = region2_virial(t, ps);
  return a.h - b.h + (a.dh_dp - b.dh_dp) * ps * (1.0 - std::exp(-(p - ps) / ps));
}

// Region 2 above the saturation pressure (a vapour held below its boiling point): the second-virial
// form at (T, P), which holds far beyond the higher terms of the residual (those diverge there: the
// whole equation gives a negative density at 300 K and 0.1 MPa), plus region 2's departure from it
// at the saturation pressure, so that the two meet there.
State region2_above_saturation(double t, double p) {
  const double ps = saturation_pressure(t), d = 1e-3 * t;
  const State sat = region2(t, ps), virial_sat = region2_virial(t, ps);
  State s = region2_virial(t, p);
  const double v = 1.0 / s.rho + 1.0 / sat.rho - 1.0 / virial_sat.rho, v_p = -s.drho_dp / (s.rho * s.rho);
  s.rho = 1.0 / v;
  s.drho_dp = -v_p * s.rho * s.rho;
  s.h += enthalpy_departure(t, p);
  const double cp_departure = (enthalpy_departure(t + d, p) - enthalpy_departure(t - d, p)) / (2.0 * d);
  s.cp += cp_departure;
  s.cv += cp_departure;
  s.dh_dp += (sat.dh_dp - virial_sat.dh_dp) * std::exp(-(p - ps) / ps);
  return s;
}

State region5(double t, double p) {
  return ideal_plus_residual(t, p, 1000.0, 0.0, kRegion5Ideal, kRegion5Residual);
}

// Region 3 at (rho, T): phi(delta, tau) with its derivatives; sets the state's P from the equation.
State region3_rho(double rho, double t) {
  const double delta = rho / kRhoc, tau = kTc / t;
  Derivs f = series(kRegion3.data(), kRegion3.size(), delta, tau);
  f.a += kRegion3Log / delta;
  f.aa -= kRegion3Log / (delta * delta);
  State s;
  s.t = t;
  s.rho = rho;
  s.p = rho * kR * t * delta * f.a;
  s.h = kR * t * (tau * f.b + delta * f.a);
  s.cv = -kR * tau * tau * f.bb;
  const double dp = 2.0 * delta * f.a + delta * delta * f.aa;  // (dp/drho)_T / (R T)
  const double c = delta * f.a - delta * tau * f.ab;
  s.cp = s.cv + kR * c * c / dp;
  s.drho_dp = 1.0 / (kR * t * dp);
  s.dh_dp = (tau * f.ab + f.a + delta * f.aa) / (kRhoc * dp);
  return s;
}

// Region 3 at (T, P): the density root on the asked side, by Newton steps kept inside a bracket.
// A liquid-like root is approached from high density, a vapour-like one from low density, so that
// below the critical temperature each finds its own branch.
State region3(double t, double p, Side side) {
  // Region 1 at 623.15 K and the same pressure bounds the liquid-like density from above.
  const double rho_max = region1(623.15, std::min(p, kPmax)).rho * 1.02;
  double lo = 1.0e-3, hi = rho_max;
  double rho = side == Side::kLiquid ? rho_max / 1.02 : p / (kR * t);
  for (int it = 0; it < 200; ++it) {
    const State s = region3_rho(rho, t);
    const double f = s.p - p;
    if (std::abs(f) <= 1e-13 * p) return s;
    if (f > 0.0) {
      hi = std::min(hi, rho);
    } else {
      lo = std::max(lo, rho);
    }
    const double slope = 1.0 / s.drho_dp;
    double next = slope > 0.0 ? rho - f / slope : -1.0;
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    if (std::abs(next - rho) <= 1e-15 * rho) return region3_rho(next, t);
    rho = next;
  }
  State s = region3_rho(rho, t);
  s.in_range = false;
  return s;
}

}  // namespace

double saturation_pressure(double t) {
  const auto& n = kSat;
  const double th = t + n[8] / (t - n[9]);
  const double a = th * th + n[0] * th + n[1];
  const double b = n[2] * th * th + n[3] * th + n[4];
  const double c = n[5] * th * th + n[6] * th + n[7];
  const double x = 2.0 * c / (-b + std::sqrt(b * b - 4.0 * a * c));
  return 1.0e6 * x * x * x * x;
}

double boundary_23_pressure(double t) { return 1.0e6 * (kB23[0] + kB23[1] * t + kB23[2] * t * t); }

double ideal_gas_enthalpy(double t) {
  const double tau = 540.0 / t;
  return kR * t * tau * ideal_part(kRegion2Ideal, 1.0, tau).b;
}

State state(double t, double p, Side side) {
  if (t < kTmin) {
    // Below the formulation the equations diverge: the state at 273.15 K (its T stays that), the
    // enthalpy continued with the heat capacity there.
    State s = state(kTmin, p, side);
    s.h += s.cp * (t - kTmin);
    s.in_range = false;
    return s;
  }
  double pe = p;
  if (t < kTc) {
    const double ps = saturation_pressure(t);
    if (side == Side::kVapour && p > ps * (1.0 + 1e-9) && t <= 623.15) {
      // a vapour at its asked pressure, beyond the formulation's vapour region
      State s = region2_above_saturation(t, p);
      s.in_range = false;
      return s;
    }
    pe = side == Side::kLiquid ? std::max(p, ps) : std::min(p, ps);
  }
  State s;
  if (t <= 623.15) {
    s = side == Side::kLiquid ? region1(t, pe) : region2(t, pe);
  } else if (t <= 863.15 && pe > boundary_23_pressure(t)) {
    s = region3(t, pe, side);
  } else if (t <= kTmax) {
    s = region2(t, pe);
  } else {
    s = region5(t, pe);
  }
  s.p = pe;
  s.in_range = s.in_range && (t <= kTmax ? p <= kPmax : t <= kTmax5 && p <= kPmax5);
  return s;
}

}  // namespace kvt::reference::if97
