// The report page: one self-contained HTML file (plots inline as SVG drawn by gnuplot, no script, no
// style sheet, font or image from elsewhere) with the case, the composite curves, the exchanger's
// figures, the method spread when computed, and per side its summary, property plots, tables and the
// host's notes; laid out to print on A4.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "case/case_model.h"
#include "compute/curve.h"
#include "compute/exchanger.h"
#include "output/method_spread.h"
#include "case/units.h"

namespace hxprops {

struct PageInputs {
  const Case& c;
  const std::vector<SideCurve>& curves;
  const std::optional<ExchangerFigures>& exchanger;
  const std::vector<MethodSpread>& spreads;  // empty: not computed
  UnitSystem units = UnitSystem::Engineering;
};

// The page (runs gnuplot for its plots; throws RunError as render_plot does).
std::string html_page(const PageInputs& in);

// Text with &, <, >, " and ' as character references.
std::string html_escaped(std::string_view text);

}  // namespace hxprops
