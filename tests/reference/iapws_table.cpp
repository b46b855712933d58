#include "iapws_table.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace kvt::reference::test {

const std::vector<WaterRow>& water_table() {
  static const std::vector<WaterRow> rows = [] {
    std::vector<WaterRow> out;
    std::ifstream in(KVT_IAPWS_TABLE);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#' || line.starts_with("kind,")) continue;
      std::istringstream fields(line);
      WaterRow r;
      std::getline(fields, r.kind, ',');
      std::string f;
      for (double* d : {&r.t, &r.p, &r.h, &r.v, &r.cp, &r.mu, &r.k, &r.sigma}) {
        std::getline(fields, f, ',');
        *d = f.empty() ? std::nan("") : std::stod(f);
      }
      out.push_back(r);
    }
    return out;
  }();
  return rows;
}

}  // namespace kvt::reference::test
