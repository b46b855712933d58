// The reference host's model (databank, methods, flash) as the model tests reach it.
#pragma once

#include <cmath>
#include <initializer_list>
#include <stdexcept>

#include "databank.h"
#include "flash.h"
#include "pure.h"

namespace kvt::reference::test {

inline const Databank& bank() {
  static const Databank db = read_databank(KVT_REFERENCE_DATABANK);
  return db;
}

inline const Component& comp(const char* name) {
  const Component* c = bank().find(name);
  if (c == nullptr) throw std::runtime_error(name);
  return *c;
}

inline FlashSystem system_of(const std::vector<const char*>& names, Method method = Method::ideal) {
  std::vector<const Component*> cs;
  for (const char* n : names) cs.push_back(&comp(n));
  return flash_system(bank(), cs, method);
}

inline FlashRequest request(int kspec, double s1, double s2, PhaseModel model = PhaseModel::kEquilibrium,
                            bool free_water = false) {
  FlashRequest r;
  r.kspec = kspec;
  r.spec1 = s1;
  r.spec2 = s2;
  r.estimate = std::nan("");
  r.free_water = free_water;
  r.model = model;
  r.t_min = 60.0;
  r.t_max = 1000.0;
  r.p_min = 1e2;
  r.p_max = 5e7;
  return r;
}

}  // namespace kvt::reference::test
