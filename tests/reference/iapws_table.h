// The reference table of water and steam, iapws_water.csv (written by iapws_water.py from
// python3-iapws): one row per state, SI per kg; a field the row does not carry is NaN.
#pragma once

#include <string>
#include <vector>

namespace kvt::reference::test {

struct WaterRow {
  std::string kind;  // liquid, vapour, saturated_liquid, saturated_vapour, saturation
  double t, p, h, v, cp, mu, k, sigma;
};

const std::vector<WaterRow>& water_table();

}  // namespace kvt::reference::test
