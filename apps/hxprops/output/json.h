// The whole result as one JSON document for other programs, in SI units (K, Pa, W, J/kg, kg/s,
// J/(kg K), W/(m K), Pa s, N/m, kg/m3, kg/kmol, W/K).
#pragma once

#include <string>
#include <vector>

#include "case/case_model.h"
#include "compute/curve.h"
#include "compute/exchanger.h"
#include "output/method_spread.h"

namespace hxprops {

// `spreads`: the method spread of each side, when computed (else the document's method_spread is null).
std::string json_text(const Case& c, const std::vector<SideCurve>& curves, const std::optional<ExchangerFigures>& x,
                      const std::vector<std::string>& components, const std::vector<MethodSpread>& spreads = {});

}  // namespace hxprops
