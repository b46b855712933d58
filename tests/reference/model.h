// The reference host's model (databank, methods, flash) as the model tests reach it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "data/databank.h"
#include "flash/flash.h"
#include "flash/phase_enthalpy.h"
#include "data/pure.h"

namespace kvt::reference::test {

inline const Databank& bank() {
  static const Databank db = read_databank(KVT_REFERENCE_DATABANK);
  return db;
}

inline FlashSystem system_of(const std::vector<const char*>& names, Method method = Method::ideal) {
  std::vector<const Component*> cs;
  for (const char* n : names) cs.push_back(bank().find(n));
  return flash_system(bank(), cs, method);
}

inline FlashRequest request(int kspec, double s1, double s2, PhaseModel model = PhaseModel::kEquilibrium,
                            bool free_water = false) {
  return FlashRequest{kspec, s1, s2, std::nan(""), free_water, model, 60.0, 1000.0, 1e2, 5e7};
}

// The rows of a reference table, its '#' lines left out.
inline std::vector<std::string> table_rows(const char* path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  std::vector<std::string> rows;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') rows.push_back(line);
  }
  return rows;
}

}  // namespace kvt::reference::test
