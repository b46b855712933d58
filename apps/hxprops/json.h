// The whole result as one JSON document for other programs, in SI units (K, Pa, W, J/kg, kg/s,
// J/(kg K), W/(m K), Pa s, N/m, kg/m3, kg/kmol, W/K).
#pragma once

#include <string>
#include <vector>

#include "case_model.h"
#include "curve.h"
#include "exchanger.h"

namespace hxprops {

std::string json_text(const Case& c, const std::vector<SideCurve>& curves, const std::optional<ExchangerFigures>& x,
                      const std::vector<std::string>& components);

}  // namespace hxprops
