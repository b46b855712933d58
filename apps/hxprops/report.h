// The printed report: per side a summary (pressure, inlet, outlet, duty, phase boundaries), the
// stream table and one table per phase present, then the heat balance of the two sides.
#pragma once

#include <array>
#include <ostream>
#include <string>

#include "case_model.h"
#include "curve.h"

namespace hxprops {

void print_report(std::ostream& out, const Case& c, const std::array<SideCurve, 2>& curves);

// "-1480.23 kW (released)" style text of a duty in W.
std::string duty_text(double watts);

}  // namespace hxprops
