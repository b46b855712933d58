// The printed report: per side a summary (inlet, outlet, duty, phase boundaries), the stream table
// and one table per phase present (and its composition when asked), then the exchanger's figures.
#pragma once

#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "case/case_model.h"
#include "compute/curve.h"
#include "compute/exchanger.h"
#include "case/units.h"

namespace hxprops {

struct ReportOptions {
  UnitSystem units = UnitSystem::Engineering;
  bool compositions = false;
  std::vector<std::string> components;  // the host's component set, for the composition tables
};

void print_report(std::ostream& out, const Case& c, const std::vector<SideCurve>& curves, const std::optional<ExchangerFigures>& x,
                  const ReportOptions& o);

// "-1405.82 kW (released)" style text of a duty in W.
std::string duty_text(double watts, UnitSystem units);

}  // namespace hxprops
