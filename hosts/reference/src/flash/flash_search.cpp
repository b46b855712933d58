#include "flash/flash_search.h"

#include <algorithm>

#include "numerics/constants.h"

namespace kvt::reference {

namespace {

bool narrow(double lo, double hi, Stopping stop) { return hi - lo > stop.tolerance * std::max(1.0, std::abs(hi)); }

}  // namespace

bool solve(const Search& s, State& out, Miss& miss) {
  auto above = [&](double v) { return v > s.target - s.tol; };
  double lo = s.lo, hi = s.hi;
  State slo = s.at(lo), shi = s.at(hi);
  double mlo = s.m(slo), mhi = s.m(shi);
  auto met = [&](double v) { return std::abs(v - s.target) <= s.tol; };
  if (!s.boundary && met(mlo)) {
    // met at the lower end, perhaps on a plateau (an ideal liquid's enthalpy does not depend on
    // pressure): take the plateau's far end, where the phase change begins, as the answer
    out = slo;
    int it = 0;
    for (; it < kBisection.cap && narrow(lo, hi, kBisection); ++it) {
      const double mid = 0.5 * (lo + hi);
      State sm = s.at(mid);
      if (met(s.m(sm))) {
        lo = mid, out = std::move(sm);
      } else {
        hi = mid;
      }
    }
    if (it == kBisection.cap) out.capped = &kBisection;
    return true;
  }
  if (above(mlo)) {
    // A measure that is not monotone (a liquid's enthalpy rises again with pressure; a dense single
    // phase counted as vapour) may start above the target: move the lower end up to the first point
    // of a coarse scan that is below it, else (enthalpy) to the least value near the scan's least.
    auto point = [&](int i) { return s.lo + (s.hi - s.lo) * i / kScanPoints; };
    int i_least = 0;
    miss = {Miss::kLow, mlo, slo};
    for (int i = 1; i < kScanPoints && above(mlo); ++i) {
      State sv = s.at(point(i));
      const double mv = s.m(sv);
      if (!above(mv)) {
        lo = point(i), slo = std::move(sv), mlo = mv;
      } else if (mv < miss.measure) {
        i_least = i, miss.measure = mv, miss.where = std::move(sv);
      }
    }
    if (above(mlo) && !s.boundary) {
      // golden section for the least value between the scan's neighbours of its least point
      const double g = 0.5 * (std::sqrt(5.0) - 1.0);
      double a = point(std::max(0, i_least - 1)), b = point(std::min(kScanPoints, i_least + 1));
      double c = b - g * (b - a), d = a + g * (b - a);
      State sc = s.at(c), sd = s.at(d);
      double mc = s.m(sc), md = s.m(sd);
      int it = 0;
      for (; it < kGoldenSection.cap && above(mc) && above(md) && narrow(a, b, kGoldenSection); ++it) {
        if (mc < md) {
          b = d, d = c, sd = std::move(sc), md = mc;
          c = b - g * (b - a), sc = s.at(c), mc = s.m(sc);
        } else {
          a = c, c = d, sc = std::move(sd), mc = md;
          d = a + g * (b - a), sd = s.at(d), md = s.m(sd);
        }
      }
      const bool at_c = mc < md;
      State& best = at_c ? sc : sd;
      if (it == kGoldenSection.cap) best.capped = &kGoldenSection;
      const double mb = at_c ? mc : md;
      if (met(mb)) {
        out = std::move(best);
        return true;
      }
      if (!above(mb)) {
        lo = at_c ? c : d, slo = std::move(best), mlo = mb;
      } else if (mb < miss.measure) {
        miss.measure = mb, miss.where = std::move(best);
      }
    }
    if (above(mlo)) return false;
  }
  if (!above(mhi)) {
    miss = {Miss::kHigh, mhi, shi};
    return false;
  }
  if (std::isfinite(s.guess) && s.guess > lo && s.guess < hi) {
    // warm start: narrow the bracket around the estimate when it brackets there
    for (double d = kEstimateWindow * std::max(1.0, std::abs(s.guess)); d < hi - lo; d *= kEstimateGrowth) {
      const double a = std::max(lo, s.guess - d), b = std::min(hi, s.guess + d);
      State sa = s.at(a), sb = s.at(b);
      const double ma = s.m(sa), mb = s.m(sb);
      if (!above(ma) && above(mb)) {
        lo = a, hi = b, slo = sa, shi = sb, mlo = ma, mhi = mb;
        break;
      }
    }
  }
  int it = 0;
  for (; it < kBisection.cap && narrow(lo, hi, kBisection); ++it) {
    const double mid = 0.5 * (lo + hi);
    State sm = s.at(mid);
    const double mm = s.m(sm);
    if (above(mm)) {
      hi = mid, shi = std::move(sm), mhi = mm;
    } else {
      lo = mid, slo = std::move(sm), mlo = mm;
    }
  }
  if (it == kBisection.cap) slo.capped = shi.capped = &kBisection;
  if (s.one_fluid && s.one_fluid(slo, shi)) {
    miss = {Miss::kSpurious, mlo, slo};
    return false;
  }
  double lambda = mhi > mlo ? (s.target - mlo) / (mhi - mlo) : 1.0;
  lambda = std::clamp(lambda, 0.0, 1.0);
  out = lambda == 0.0 ? slo : lambda == 1.0 ? shi : combine(slo, shi, lambda);
  return true;
}

}  // namespace kvt::reference
