#include "compute/exchanger.h"

#include <algorithm>
#include <cmath>

namespace hxprops {

namespace {

// Temperature at a fraction of the side's duty from its inlet, linear between profile points.
double temperature_at(const DutyProfile& p, double fraction) {
  const double q = fraction * p.duty;
  const auto& pts = p.points;
  if (q <= pts.front().duty) return pts.front().temperature;
  for (std::size_t k = 1; k < pts.size(); ++k) {
    if (q > pts[k].duty) continue;
    const double span = pts[k].duty - pts[k - 1].duty;
    if (span <= 0.0) return pts[k].temperature;
    return pts[k - 1].temperature + (pts[k].temperature - pts[k - 1].temperature) * (q - pts[k - 1].duty) / span;
  }
  return pts.back().temperature;
}

}  // namespace

std::optional<double> log_mean(double dt1, double dt2) {
  if (!(dt1 > 0.0 && dt2 > 0.0)) return std::nullopt;
  if (std::fabs(dt1 - dt2) <= 1.0e-9 * std::max(dt1, dt2)) return 0.5 * (dt1 + dt2);
  return (dt1 - dt2) / std::log(dt1 / dt2);
}

std::optional<double> ExchangerFigures::ua_lmtd() const {
  if (!lmtd) return std::nullopt;
  return duty / *lmtd;
}

std::optional<double> ExchangerFigures::ua_weighted() const {
  if (!weighted_mtd) return std::nullopt;
  return duty / *weighted_mtd;
}

ExchangerFigures exchanger_figures(const DutyProfile& hot, const DutyProfile& cold, Arrangement a, int hot_side) {
  // Position f along the exchanger: the fraction of the duty from the hot side's inlet. The cold side
  // meets it there at its own fraction g(f): 1 - f counter-current, f co-current.
  const bool counter = a == Arrangement::CounterCurrent;
  const auto cold_fraction = [counter](double f) { return counter ? 1.0 - f : f; };
  std::vector<double> at;
  for (const ProfilePoint& p : hot.points) at.push_back(p.duty / hot.duty);
  for (const ProfilePoint& p : cold.points) at.push_back(cold_fraction(p.duty / cold.duty));
  for (double& f : at) f = std::clamp(f, 0.0, 1.0);
  at.push_back(0.0);
  at.push_back(1.0);
  std::sort(at.begin(), at.end());
  at.erase(std::unique(at.begin(), at.end()), at.end());

  ExchangerFigures x;
  x.arrangement = a;
  x.hot_side = hot_side;
  x.duty = hot.duty;
  std::vector<double> dt;
  for (double f : at) {
    const double th = temperature_at(hot, f), tc = temperature_at(cold, cold_fraction(f));
    dt.push_back(th - tc);
    if (dt.size() == 1 || dt.back() < x.min_approach) {
      x.min_approach = dt.back();
      x.min_approach_duty = f * hot.duty;
      x.hot_temperature = th;
      x.cold_temperature = tc;
    }
  }
  x.lmtd = log_mean(dt.front(), dt.back());
  // Weighted MTD: the duty over the sum of each zone's duty divided by the zone's log mean.
  double resistance = 0.0;
  for (std::size_t k = 1; k < at.size() && !x.crossed(); ++k) {
    const std::optional<double> zone = log_mean(dt[k - 1], dt[k]);
    if (!zone) return x;
    resistance += (at[k] - at[k - 1]) / *zone;
  }
  if (!x.crossed() && resistance > 0.0) x.weighted_mtd = 1.0 / resistance;
  return x;
}

std::optional<ExchangerFigures> exchanger_figures(const std::vector<SideCurve>& curves, const Case& c) {
  if (curves.size() != 2 || imbalance(curves) > c.balance_tolerance) return std::nullopt;
  const int hot = curves[0].cooled() ? 0 : 1;
  const auto profile = [](const SideCurve& s) { return DutyProfile{s.profile, std::fabs(s.duty)}; };
  return exchanger_figures(profile(curves[hot]), profile(curves[1 - hot]), c.arrangement, hot);
}

CaseResult calculate(Session& s, const CurveOptions& o, bool allow_cross) {
  CaseResult r;
  r.curves = compute_curves(s, o);
  r.exchanger = exchanger_figures(r.curves, s.config());
  const std::optional<ExchangerFigures>& x = r.exchanger;
  if (!x || !x->crossed() || allow_cross) return r;
  const int cold = 1 - x->hot_side;
  throw InputError({s.config().origin, 0}, "",
                   "temperature cross: side " + std::to_string(cold) + " (cold) is at " +
                       quantity_text(x->cold_temperature, Dimension::Temperature, o.units) + " where side " +
                       std::to_string(x->hot_side) + " (hot) is at " +
                       quantity_text(x->hot_temperature, Dimension::Temperature, o.units) + ", " +
                       quantity_text(x->min_approach_duty, Dimension::Power, o.units) +
                       " from the hot inlet; --allow-cross reports the case all the same");
}

}  // namespace hxprops
