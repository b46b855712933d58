// The exchanger's figures from the temperature-duty profiles of its two sides: the minimum approach
// temperature and where it is, a temperature cross, the logarithmic mean temperature difference of
// the terminal temperatures, the weighted (zone by zone) mean temperature difference and the UA each
// implies.
#pragma once

#include <optional>
#include <vector>

#include "case/case_model.h"
#include "compute/curve.h"

namespace hxprops {

struct ExchangerFigures {
  Arrangement arrangement = Arrangement::CounterCurrent;
  int hot_side = 0;
  double duty = 0.0;                // W, what the hot side releases
  double min_approach = 0.0;        // K, hot minus cold temperature where they are closest (negative: a cross)
  double min_approach_duty = 0.0;   // W from the hot side's inlet
  double hot_temperature = 0.0;     // K, each side's temperature there
  double cold_temperature = 0.0;
  std::optional<double> lmtd;          // K; none when the terminal differences do not allow one
  std::optional<double> weighted_mtd;  // K; none with a cross
  bool crossed() const { return min_approach < 0.0; }
  std::optional<double> ua_lmtd() const;      // W/K
  std::optional<double> ua_weighted() const;  // W/K
};

// One side's profile: temperature against the duty counted from its inlet (0 to `duty`).
struct DutyProfile {
  std::vector<ProfilePoint> points;
  double duty = 0.0;  // W, the side's whole duty (positive)
};

ExchangerFigures exchanger_figures(const DutyProfile& hot, const DutyProfile& cold, Arrangement a, int hot_side = 0);
// The figures of a case's two sides; none for a single side, or for two whose duties differ by more
// than the case's balance_tolerance (their figures need a balance).
std::optional<ExchangerFigures> exchanger_figures(const std::vector<SideCurve>& curves, const Case& c);

// A case calculated: every side's curve and, for two sides that balance, the exchanger's figures.
struct CaseResult {
  std::vector<SideCurve> curves;
  std::optional<ExchangerFigures> exchanger;
};
// The session's case calculated (compute_curves, then exchanger_figures). Throws InputError as
// compute_curves does, and for a temperature cross (naming where, in the options' units) unless
// `allow_cross`.
CaseResult calculate(Session& s, const CurveOptions& o, bool allow_cross);

// The logarithmic mean of two temperature differences (their common value when equal); none unless
// both are positive.
std::optional<double> log_mean(double dt1, double dt2);

}  // namespace hxprops
