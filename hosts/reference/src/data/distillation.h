// The laboratory distillation curves an assay may be given by, converted to the true-boiling-point
// curve the cutting takes (docs/hxprops.md, "Assays", cites the methods).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "kvt_reference/reference_host.h"

namespace kvt::reference {

// A figure of an assay's refusal: four significant digits.
std::string assay_figure(double v);

// The temperature of a curve at a share, linear between its points (extended beyond its ends).
double distillation_temperature(const std::vector<std::array<double, 2>>& curve, double percent);

// Refuses a curve of fewer than three points, a share outside 0-100 % or a point that does not rise
// above the one before it in both share and temperature, naming the point (Error "distillation: ...").
void check_distillation(const std::vector<std::array<double, 2>>& curve);

// The true-boiling-point curve ((% volume, K) rising) of a curve of the given kind. A TBP curve is
// returned as it is; a D86 (% volume) or D2887 (% mass) curve, linear between its points, is read at
// the conversion's standard percentages that lie within it and converted there. Throws Error
// ("distillation: ...") when fewer than three standard points lie within the curve (a D2887 curve
// also needs its 50 % point), or when the converted curve does not rise.
std::vector<std::array<double, 2>> true_boiling_curve(DistillationCurve kind, const std::vector<std::array<double, 2>>& curve);

}  // namespace kvt::reference
